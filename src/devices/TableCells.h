#pragma once

#include "devices/EntryTables.h"

#include <algorithm>

namespace tolvar {

// Helpers shared by the table rules of this folder.

// The entry count of a device, kept inside the table so that no loop leaves it.
inline int entryRows(const GatewayConfig &config, const EntryTable &table, int device) {
    const int count = (config.*table.rows)[std::size_t(device)];
    return std::clamp(count, 0, (config.*table.cells).rowCount());
}

inline void showCell(GridView *grid, int row, int column, const QString &text) {
    if (grid)
        grid->setCellText(row, column, text);
}

// Sets a cell to a tag, reusing the cell's own storage: a renumbering rewrites thousands.
void setTag(QString &cell, QStringView name, int number);

} // namespace tolvar
