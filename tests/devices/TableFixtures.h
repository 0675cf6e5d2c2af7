#pragma once

#include "devices/EntryTables.h"

#include <map>
#include <string_view>
#include <utility>

namespace tolvar {

// A grid that keeps what it is shown.
class FakeGrid : public GridView {
public:
    QString cellText(int row, int column) const override {
        const auto found = cells.find({row, column});
        return found == cells.end() ? QString() : found->second;
    }
    void setCellText(int row, int column, const QString &text) override {
        cells[{row, column}] = text;
    }
    std::map<std::pair<int, int>, QString> cells;
};

// Data bytes written as one letter each, from the table's first data column: '.' empty,
// 'B' digital byte, 'L'/'H' low/high byte of a word, 'x' a text that is no tag.
// Tags are numbered on from the running positions, the way a renumbering numbers them.
struct Numbering {
    int byte = 1;
    int word = 1;
    QString text(const EntryTable &table, char letter) {
        switch (letter) {
        case 'B': return QString("%1 %2").arg(table.byteTag).arg(byte++);
        case 'L': return QString("%1 %2").arg(table.lowTag).arg(word);
        case 'H': return QString("%1 %2").arg(table.highTag).arg(word++);
        case 'x': return QStringLiteral("P_D");
        }
        return QString();
    }
};

// The table row as the letters say, with every entry field filled.
inline std::vector<QString> rowTexts(const EntryTable &table, std::string_view letters,
                                     Numbering &numbering) {
    std::vector<QString> row(std::size_t(table.lastColumn + 1));
    for (int column = 1; column < table.firstByteColumn; ++column)
        row[std::size_t(column)] = QString("f%1").arg(column);
    for (std::size_t i = 0; i < letters.size(); ++i)
        row[std::size_t(table.firstByteColumn) + i] = numbering.text(table, letters[i]);
    return row;
}

inline std::vector<QString> tableRow(const GatewayConfig &config, const EntryTable &table,
                                     int device, int row) {
    std::vector<QString> texts(std::size_t(table.lastColumn + 1));
    for (int column = 1; column <= table.lastColumn; ++column)
        texts[std::size_t(column)] = (config.*table.cells).cell(device, row, column);
    return texts;
}

inline std::vector<QString> gridRow(const GridView &grid, const EntryTable &table, int row) {
    std::vector<QString> texts(std::size_t(table.lastColumn + 1));
    for (int column = 1; column <= table.lastColumn; ++column)
        texts[std::size_t(column)] = grid.cellText(row, column);
    return texts;
}

inline void putRow(GatewayConfig &config, const EntryTable &table, int device, int row,
                   const std::vector<QString> &texts) {
    for (int column = 1; column <= table.lastColumn; ++column)
        (config.*table.cells).cell(device, row, column) = texts[std::size_t(column)];
}

inline void listDevices(GatewayConfig &config, std::initializer_list<qint16> order) {
    std::copy(order.begin(), order.end(), config.DeviceOrder.begin());
}

} // namespace tolvar
