#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace tolvar {

// The largest configuration (10 devices with full tables) holds 50500 JSON values and no
// object of the format has more than 8 keys; beyond these limits a file is refused before it is
// parsed, which keeps the parse of any accepted file short.
inline constexpr qsizetype kMaxJsonValues = 60000;
inline constexpr qsizetype kMaxObjectKeys = 16;

// What the scan of the raw text refuses, at a byte offset of the text.
struct JsonScanProblem {
    qsizetype offset = 0;
    QString problem;
};

// One linear pass over the raw text: the first control character (U+0000..U+001F, U+007F, raw or
// escaped) in a string or key, the first key that appears twice in one object, or the value or
// key past the limits above. Text that is not JSON is left to the parser: the scan then stops
// and reports nothing.
std::optional<JsonScanProblem> scanJson(const QByteArray &json);

// The number at `place` ("devices[0].txPdo[1].cobId") as written in valid JSON `json`; empty if
// there is none.
QByteArray numberTextAt(const QByteArray &json, const QString &place);

// A value as a message shows it: on one line (control characters as \n, \t, \r or \uXXXX) and at
// most `max` characters, the cut marked with "…".
QString shownText(const QString &text, qsizetype max = 40);

} // namespace tolvar
