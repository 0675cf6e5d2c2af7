#pragma once

#include <QString>
#include <QStringView>

namespace tolvar {

// The refusal marker of the text checks; callers compare with it exactly.
inline const QString kErrorValue = QStringLiteral("ErrorValue");

// Digits and "."; answers the empty text when accepted.
QString CheckNumericText(QStringView text);
// Hexadecimal digits and "."; the first three characters, upper-cased.
QString CheckCobIdText(QStringView text);
// At most five decimal digits; the text unchanged.
QString CheckDecimalText(QStringView text);
// Hexadecimal digits and "."; the first four characters, upper-cased.
QString CheckSdoIndexText(QStringView text);
// At most two decimal digits; the text unchanged.
QString CheckSdoSubIndexText(QStringView text);

} // namespace tolvar
