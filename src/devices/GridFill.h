#pragma once

#include "devices/EntryTables.h"

namespace tolvar {

// Shows rows 1..entryCount of a device's table in the grid, every column but the row number;
// rows after the count are left as they are. Serves both PDO and both SDO grids.
void fillGrid(const GatewayConfig &config, const EntryTable &table, int device, int entryCount,
              GridView &grid);

} // namespace tolvar
