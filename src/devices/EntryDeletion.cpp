#include "devices/EntryDeletion.h"

#include "devices/Renumbering.h"
#include "devices/TableCells.h"

#include <utility>

namespace tolvar {
namespace {

// The rows of one device's table between the deleted block and the old last entry.
class RowMover {
public:
    RowMover(CellTable &cells, int device, int lastColumn, GridView *grid)
        : m_cells(cells), m_device(device), m_lastColumn(lastColumn), m_grid(grid) {}

    void clearRow(int row) {
        for (int column = 1; column <= m_lastColumn; ++column)
            set(row, column, QString());
    }
    void moveRow(int from, int to) {
        for (int column = 1; column <= m_lastColumn; ++column) {
            set(to, column, std::exchange(m_cells.cell(m_device, from, column), QString()));
            showCell(m_grid, from, column, QString());
        }
    }

private:
    void set(int row, int column, QString text) {
        showCell(m_grid, row, column, text);
        m_cells.cell(m_device, row, column) = std::move(text);
    }

    CellTable &m_cells;
    int m_device;
    int m_lastColumn;
    GridView *m_grid;
};

// Deletes rows first..last (both inside the entries) and answers where the moved rows end.
int removeRows(CellTable &cells, const EntryTable &table, const EditScope &scope, int first,
               int last, int entries) {
    RowMover mover(cells, scope.device, table.lastColumn, scope.grid);
    for (int row = first; row <= last; ++row)
        mover.clearRow(row);
    int to = first;
    for (int from = last + 1; from <= entries; ++from)
        mover.moveRow(from, to++);
    return to;
}

} // namespace

RowSelection deleteEntries(GatewayConfig &config, const EntryTable &table, const EditScope &scope,
                           RowSelection selection) {
    if (!isDeviceNumber(scope.device))
        return selection;
    if (selection.last < selection.first)
        std::swap(selection.first, selection.last);
    CellTable &cells = config.*table.cells;
    const int entries = entryRows(config, table, scope.device);
    if (selection.first > entries)
        return selection;
    int remaining = entries;
    if (selection.first >= 1) {
        selection.last = std::min(selection.last, entries);
        remaining -= selection.last - selection.first + 1;
        selection.first = removeRows(cells, table, scope, selection.first, selection.last, entries);
        // Left as it is, a first row below the last would read as an upward selection and
        // be ordered into the entries by the next Delete.
        selection.last = std::max(selection.last, selection.first);
    }
    (config.*table.rows)[std::size_t(scope.device)] = qint16(remaining);
    const TagNumbers numbers = renumberPositions(config, table, scope);
    config.total(table.byteKind) = qint16(numbers.bytes);
    config.total(table.wordKind) = qint16(numbers.words);
    return selection;
}

} // namespace tolvar
