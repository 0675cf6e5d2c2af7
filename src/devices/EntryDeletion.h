#pragma once

#include "devices/EntryTables.h"

namespace tolvar {

// The rows selected in a grid: the row the selection started on and the row it ended on.
struct RowSelection {
    int first = 0;
    int last = 0;
    bool operator==(const RowSelection &) const = default;
};

// Deletes the selected entries of the device being edited and moves the following entries up,
// in the table and in the grid; the entry count shrinks by the rows deleted. A selection made
// upwards is ordered first. A selection starting after the last entry does nothing; one
// starting outside the table deletes nothing but still renumbers. Afterwards the table is
// renumbered across all devices and the totals of its two kinds are set to the numbers of
// their tags. Answers the selection as it is left: its first row ends after the rows moved up
// (the last row is raised to it when below), so deleting again without a new selection does
// nothing.
RowSelection deleteEntries(GatewayConfig &config, const EntryTable &table, const EditScope &scope,
                           RowSelection selection);

} // namespace tolvar
