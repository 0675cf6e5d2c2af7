#include "devices/Renumbering.h"

#include "devices/TableCells.h"

namespace tolvar {
namespace {

// Running positions of one renumbering; they go on from one device to the next.
struct Positions {
    int byte = 1;
    int word = 1;
};

void numberRow(CellTable &cells, const EntryTable &table, int device, int row, Positions &next,
               GridView *grid) {
    for (int column = 1; column < table.firstByteColumn; ++column)
        showCell(grid, row, column, cells.cell(device, row, column));
    for (int column = table.firstByteColumn; column <= table.lastColumn; ++column) {
        QString &text = cells.cell(device, row, column);
        const CellKind kind = classifyCell(text);
        if (kind == CellKind::Byte) {
            setTag(text, table.byteTag, next.byte++);
            showCell(grid, row, column, text);
        } else if (kind == CellKind::Low) {
            setTag(text, table.lowTag, next.word);
            showCell(grid, row, column, text);
            // The high byte just written classifies as such and is passed over anyway.
            if (column < table.lastColumn) {
                ++column;
                QString &high = cells.cell(device, row, column);
                setTag(high, table.highTag, next.word);
                showCell(grid, row, column, high);
            }
            ++next.word;
        }
    }
}

} // namespace

TagNumbers renumberPositions(GatewayConfig &config, const EntryTable &table,
                             const EditScope &scope) {
    CellTable &cells = config.*table.cells;
    PerDevice<qint16> &byteCounts = config.counts(table.byteKind);
    PerDevice<qint16> &wordCounts = config.counts(table.wordKind);
    Positions next;
    const int listed = std::clamp(scope.amount, 0, kMaxDevices);
    for (int position = 0; position < listed; ++position) {
        const auto k = std::size_t(position);
        const int device = config.DeviceOrder[k];
        if (!isDeviceNumber(device))
            continue;
        GridView *grid = device == scope.device ? scope.grid : nullptr;
        const Positions first = next;
        const int rows = entryRows(config, table, device);
        for (int row = 1; row <= rows; ++row)
            numberRow(cells, table, device, row, next, grid);
        byteCounts[k] = qint16(next.byte - first.byte);
        wordCounts[k] = qint16(next.word - first.word);
    }
    return {next.byte - 1, next.word - 1};
}

} // namespace tolvar
