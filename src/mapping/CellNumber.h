#pragma once

#include <QStringView>
#include <QtGlobal>

namespace tolvar {

// A table cell read as a whole number, exactly as readWholeNumber reads it. Plain decimal and
// "&H" texts, which is what the tables hold, are read without going through a double: a
// download reads some 13 000 cells.
qint64 cellNumber(QStringView text);

// The low eight and the low sixteen bits of a number, as the frames carry them.
inline quint8 lowByte(qint64 value) {
    return static_cast<quint8>(static_cast<quint64>(value) & 0xFF);
}
inline quint16 lowWord(qint64 value) {
    return static_cast<quint16>(static_cast<quint64>(value) & 0xFFFF);
}

} // namespace tolvar
