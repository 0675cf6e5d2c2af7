#pragma once

#include <QString>
#include <QStringView>

namespace tolvar {

// A type tag: the tag name, one blank and the 1-based item number ("P_DI 3").
QString makeTag(QStringView name, qint64 number);

} // namespace tolvar
