#pragma once

#include "devices/EntryTables.h"

namespace tolvar {

// Shows rows 1..entryCount of a device's table in the grid, every column but the row number;
// rows after the count are left as they are. Serves both PDO and both SDO grids.
void fillGrid(const GatewayConfig &config, const EntryTable &table, int device, int entryCount,
              GridView &grid);

// Shows every row of a device's table as the table holds it, past its entries too (a COB-ID
// typed after the last entry stays in the table, and in the grid that showed it).
void showTable(const GatewayConfig &config, const EntryTable &table, int device, GridView &grid);

// The list position of a listed device, -1 when the device list does not hold it.
int listPosition(const GatewayConfig &config, int device);

} // namespace tolvar
