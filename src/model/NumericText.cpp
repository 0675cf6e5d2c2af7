#include "model/NumericText.h"

#include <cmath>
#include <limits>

namespace tolvar {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool isDecimalDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int hexDigitValue(QChar c) {
    if (isDecimalDigit(c))
        return c.unicode() - u'0';
    const char16_t lower = c.toLower().unicode();
    if (lower >= u'a' && lower <= u'f')
        return lower - u'a' + 10;
    return -1;
}

qsizetype skipBlanks(QStringView text, qsizetype pos) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return pos;
}

bool startsHex(QStringView text, qsizetype pos) {
    return pos + 1 < text.size() && text[pos] == u'&' && text[pos + 1].toLower() == u'h';
}

qsizetype countDigits(QStringView text, qsizetype pos) {
    qsizetype n = 0;
    while (pos + n < text.size() && isDecimalDigit(text[pos + n]))
        ++n;
    return n;
}

double readHex(QStringView text, qsizetype pos) {
    double value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = hexDigitValue(text[pos]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

// Length of the longest prefix that forms a decimal literal: sign, digits, fraction, exponent.
qsizetype decimalLiteralLength(QStringView text, qsizetype start) {
    qsizetype pos = start;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    const qsizetype whole = countDigits(text, pos);
    pos += whole;
    qsizetype fraction = 0;
    if (pos < text.size() && text[pos] == u'.') {
        fraction = countDigits(text, pos + 1);
        pos += 1 + fraction;
    }
    if (whole + fraction == 0)
        return 0;
    if (pos < text.size() && QStringLiteral("eEdD").contains(text[pos])) {
        qsizetype exp = pos + 1;
        if (exp < text.size() && (text[exp] == u'+' || text[exp] == u'-'))
            ++exp;
        const qsizetype digits = countDigits(text, exp);
        if (digits > 0)
            pos = exp + digits;
    }
    return pos - start;
}

} // namespace

double readNumber(QStringView text) {
    const qsizetype start = skipBlanks(text, 0);
    if (startsHex(text, start))
        return readHex(text, start + 2);
    const qsizetype length = decimalLiteralLength(text, start);
    if (length == 0)
        return 0;
    QString literal = text.mid(start, length).toString();
    literal.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double value = literal.toDouble(&ok);
    return ok ? value : 0;
}

qint64 roundHalfEven(double value) {
    const double limit = static_cast<double>(std::numeric_limits<qint64>::max());
    if (!std::isfinite(value) || std::fabs(value) >= limit)
        return value < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    const double floor = std::floor(value);
    const double diff = value - floor;
    qint64 result = static_cast<qint64>(floor);
    if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

qint64 readWholeNumber(QStringView text) { return roundHalfEven(readNumber(text)); }

std::optional<qint64> strictWholeNumber(QStringView text, qint64 lo, qint64 hi) {
    const QStringView trimmed = text.trimmed();
    qsizetype pos = 0;
    int base = 10;
    if (startsHex(trimmed, 0)) {
        pos = 2;
        base = 16;
    }
    if (pos == trimmed.size() || trimmed.size() - pos > 12)
        return std::nullopt;
    qint64 value = 0;
    for (; pos < trimmed.size(); ++pos) {
        const int digit = hexDigitValue(trimmed[pos]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
    }
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::optional<qint64> literalWholeNumber(QStringView text, qint64 lo, qint64 hi) {
    const QStringView trimmed = text.trimmed();
    qsizetype end = 0;
    if (startsHex(trimmed, 0)) {
        end = 2;
        while (end < trimmed.size() && hexDigitValue(trimmed[end]) >= 0)
            ++end;
        if (end == 2)
            return std::nullopt;
    } else {
        const qsizetype whole = countDigits(trimmed, 0);
        end = whole;
        if (end < trimmed.size() && trimmed[end] == u'.')
            end += 1 + countDigits(trimmed, end + 1);
        if (end == whole + 1 && whole == 0)
            return std::nullopt; // a point alone
    }
    if (end == 0 || end != trimmed.size())
        return std::nullopt;
    const qint64 value = readWholeNumber(trimmed);
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

QString numberText(qint64 value) {
    const QString digits = QString::number(value);
    return value < 0 ? digits : QLatin1Char(' ') + digits;
}

} // namespace tolvar
