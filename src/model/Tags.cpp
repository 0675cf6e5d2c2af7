#include "model/Tags.h"

#include "model/NumericText.h"

namespace tolvar {

QString makeTag(QStringView name, qint64 number) { return name.toString() + numberText(number); }

} // namespace tolvar
