#pragma once

#include "devices/EntryTables.h"

namespace tolvar {

// How many items of the table's two kinds a renumbering numbered over all listed devices.
struct TagNumbers {
    int bytes = 0;
    int words = 0;
    bool operator==(const TagNumbers &) const = default;
};

// Numbers the tags of one table from 1 across the devices at list positions 0..amount-1, in
// that order, then by row and column; a word takes one position for its two bytes. Sets the
// per-device counts of both kinds at each list position. For the device being edited the
// entry fields and every retagged cell are redrawn into the grid. Totals are left alone.
TagNumbers renumberPositions(GatewayConfig &config, const EntryTable &table,
                             const EditScope &scope);

} // namespace tolvar
