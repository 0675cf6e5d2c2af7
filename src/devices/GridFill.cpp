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

void showTable(const GatewayConfig &config, const EntryTable &table, int device, GridView &grid) {
    if (!isDeviceNumber(device))
        return;
    const CellTable &cells = config.*table.cells;
    for (int row = 1; row <= cells.rowCount(); ++row) {
        for (int column = 1; column <= table.lastColumn; ++column)
            grid.setCellText(row, column, cells.cell(device, row, column));
    }
}

int listPosition(const GatewayConfig &config, int device) {
    for (std::size_t slot = 0; slot < kMaxDevices; ++slot) {
        if (config.DeviceOrder[slot] == device)
            return int(slot);
    }
    return -1;
}

} // namespace tolvar
