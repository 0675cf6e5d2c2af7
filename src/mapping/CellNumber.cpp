#include "mapping/CellNumber.h"

#include "model/NumericText.h"

namespace tolvar {
namespace {

// Digits a double holds exactly, so the fast reading gives what readNumber gives.
constexpr qsizetype kExactHexDigits = 13;
constexpr qsizetype kExactDecimalDigits = 15;

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

bool endsDecimalLiteral(QStringView rest) {
    if (rest.isEmpty())
        return true;
    // A fraction or an exponent continues the literal; leave those to readWholeNumber.
    const char16_t next = rest.front().unicode();
    return next != u'.' && next != u'e' && next != u'E' && next != u'd' && next != u'D';
}

} // namespace

qint64 cellNumber(QStringView text) {
    const qsizetype size = text.size();
    if (size > 2 && text[0] == u'&' && (text[1] == u'H' || text[1] == u'h')) {
        quint64 value = 0; // wraps harmlessly on texts too long for the fast reading
        qsizetype pos = 2;
        for (int digit = 0; pos < size && (digit = hexDigit(text[pos].unicode())) >= 0; ++pos)
            value = value * 16 + unsigned(digit);
        if (pos - 2 <= kExactHexDigits)
            return qint64(value);
    } else if (size > 0 && text[0] >= u'0' && text[0] <= u'9') {
        quint64 value = 0;
        qsizetype pos = 0;
        for (; pos < size && text[pos] >= u'0' && text[pos] <= u'9'; ++pos)
            value = value * 10 + unsigned(text[pos].unicode() - u'0');
        if (pos <= kExactDecimalDigits && endsDecimalLiteral(text.mid(pos)))
            return qint64(value);
    } else if (size == 0) {
        return 0;
    }
    return readWholeNumber(text);
}

} // namespace tolvar
