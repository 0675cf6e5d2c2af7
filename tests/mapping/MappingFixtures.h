#pragma once

#include "mapping/MappingLayout.h"
#include "model/GatewayConfig.h"

namespace tolvar::fixtures {

// A configuration listing the given device numbers from position 0 on, node IDs 0x10 + k.
GatewayConfig listing(std::initializer_list<int> devices);

// Appends a row to a device's table: the '|'-separated cells from column 1 on.
void addRow(GatewayConfig &config, SourceTable table, int device, const QString &cells);

} // namespace tolvar::fixtures
