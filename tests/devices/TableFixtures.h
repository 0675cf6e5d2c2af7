#pragma once

#include "devices/DataTyping.h"

#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvar {

// A grid that keeps what it is shown.
struct FakeGrid : GridView {
    QString cellText(int row, int column) const override { return cells.value({row, column}); }
    void setCellText(int row, int column, const QString &text) override {
        cells[{row, column}] = text;
    }
    QMap<std::pair<int, int>, QString> cells;
};

// One row's cells from column 1 to the last, joined by '|'.
template <typename Cell> QString joined(const EntryTable &table, Cell cell) {
    QStringList texts;
    for (int column = 1; column <= table.lastColumn; ++column)
        texts << cell(column);
    return texts.join(u'|');
}
inline QString tableRow(const GatewayConfig &config, const EntryTable &table, int device, int row) {
    return joined(table, [&](int c) { return (config.*table.cells).cell(device, row, c); });
}
inline QString gridRow(const GridView &grid, const EntryTable &table, int row) {
    return joined(table, [&](int c) { return grid.cellText(row, c); });
}

// Rows of data bytes, one letter a byte from the first data column: '.' empty, 'B' digital
// byte, 'L'/'H' low/high byte of a word, 'x' a text that is no tag. The entry fields hold "f".
// Tags are numbered on from the running positions, as the renumbering numbers them.
using Letters = std::vector<std::string>;
struct Numbering {
    int byte = 1;
    int word = 1;
    QString text(const EntryTable &table, int column, const std::string &letters) {
        const auto i = std::size_t(column - table.firstByteColumn);
        const char letter = column < table.firstByteColumn ? 'f'
                            : i < letters.size()           ? letters[i]
                                                           : '.';
        const auto tag = [](QStringView name, int n) { return QString("%1 %2").arg(name).arg(n); };
        if (letter == 'f' || letter == 'x')
            return letter == 'f' ? QStringLiteral("f") : QStringLiteral("P_D");
        if (letter == 'B')
            return tag(table.byteTag, byte++);
        if (letter == 'L')
            return tag(table.lowTag, word);
        return letter == 'H' ? tag(table.highTag, word++) : QString();
    }
    QString row(const EntryTable &table, const std::string &letters) {
        return joined(table, [&](int c) { return text(table, c, letters); });
    }
};

// Writes the rows of a device and makes them its entries.
inline void putRows(GatewayConfig &config, const EntryTable &table, int device, const Letters &rows,
                    Numbering &numbering) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int column = 1; column <= table.lastColumn; ++column)
            (config.*table.cells).cell(device, int(r + 1), column) =
                numbering.text(table, column, rows[r]);
    }
    (config.*table.rows)[std::size_t(device)] = qint16(rows.size());
}
inline void expectRows(const GatewayConfig &config, const EntryTable &table, int device,
                       const Letters &rows, Numbering &numbering) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(tableRow(config, table, device, int(r + 1)), numbering.row(table, rows[r]));
}
inline void listDevices(GatewayConfig &config, std::initializer_list<qint16> order) {
    std::copy(order.begin(), order.end(), config.DeviceOrder.begin());
}

inline const EntryTable *const kAllTables[] = {&kTxPdoTable, &kRxPdoTable, &kReadSdoTable,
                                               &kWriteSdoTable};
inline bool isPdo(const EntryTable &table) {
    return table.lastColumn == kLastPdoByteColumn;
}

// The typing of the table's family; "-" stands for the chooser's empty item.
inline bool typeInto(GatewayConfig &config, const EntryTable &table, const EditScope &scope,
                     GridCell target, const std::string &choice) {
    const QString item = choice == "-" ? QString() : QString::fromStdString(choice);
    if (isPdo(table))
        return typePdoByte(config, static_cast<const PdoTable &>(table), scope, target, item);
    return typeSdoRow(config, static_cast<const SdoTable &>(table), scope, target, item);
}

} // namespace tolvar
