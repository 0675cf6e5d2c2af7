#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tolvar {

// Reads a text as a numeric literal: leading blanks are skipped, "&H" starts a hexadecimal
// number, otherwise a signed decimal with optional fraction and exponent. Reading stops at the
// first character that does not belong to the number; a text without a number reads as 0.
// A hexadecimal literal keeps its bit pattern as an unsigned value (&HA001 reads as 40961).
double readNumber(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint64 roundHalfEven(double value);

// readNumber followed by roundHalfEven: how the windows turn a text into a whole number.
qint64 readWholeNumber(QStringView text);

// The value of a text that is a whole number and nothing else (decimal digits, or "&H" and hex
// digits, blanks around allowed), when it lies in lo..hi; otherwise nothing.
std::optional<qint64> strictWholeNumber(QStringView text, qint64 lo, qint64 hi);

// The value of a text that is one number literal and nothing else ("&H" and hex digits, or
// decimal digits with an optional point and fraction: "2." and "2.5" both qualify), rounded
// halves to even, when it lies in lo..hi; otherwise nothing. "1..2" is no literal.
std::optional<qint64> literalWholeNumber(QStringView text, qint64 lo, qint64 hi);

// The decimal text of a number with one leading blank, as grids and tags show numbers.
QString numberText(qint64 value);

} // namespace tolvar
