#include "devices/GridFill.h"

#include <algorithm>

namespace tolvar {

void fillGrid(const GatewayConfig &config, const EntryTable &table, int device, int entryCount,
              GridView &grid) {
    if (!isDeviceNumber(device))
        return;
    const CellTable &cells = config.*table.cells;
    const int rows = std::min(entryCount, cells.rowCount());
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= table.lastColumn; ++column)
            grid.setCellText(row, column, cells.cell(device, row, column));
    }
}

} // namespace tolvar
