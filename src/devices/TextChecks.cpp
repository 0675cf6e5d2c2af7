#include "devices/TextChecks.h"

namespace tolvar {
namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isDigitOrPoint(QChar c) { return isDigit(c) || c == u'.'; }
bool isHexOrPoint(QChar c) {
    const char16_t lower = c.toLower().unicode();
    return isDigitOrPoint(c) || (lower >= u'a' && lower <= u'f');
}

template <typename Accept> bool allAccepted(QStringView text, Accept accept) {
    for (QChar c : text) {
        if (!accept(c))
            return false;
    }
    return true;
}

// Hexadecimal fields keep only their first `width` characters; those are checked and upper-cased.
QString checkHexField(QStringView text, qsizetype width) {
    const QStringView examined = text.left(width);
    if (!allAccepted(examined, isHexOrPoint))
        return kErrorValue;
    return examined.toString().toUpper();
}

// Decimal fields refuse a text longer than `width` as a whole.
QString checkDigitsField(QStringView text, qsizetype width) {
    if (text.size() > width || !allAccepted(text, isDigit))
        return kErrorValue;
    return text.toString();
}

} // namespace

QString CheckNumericText(QStringView text) {
    return allAccepted(text, isDigitOrPoint) ? QString() : kErrorValue;
}

QString CheckCobIdText(QStringView text) { return checkHexField(text, 3); }

QString CheckDecimalText(QStringView text) { return checkDigitsField(text, 5); }

QString CheckSdoIndexText(QStringView text) { return checkHexField(text, 4); }

QString CheckSdoSubIndexText(QStringView text) { return checkDigitsField(text, 2); }

} // namespace tolvar
