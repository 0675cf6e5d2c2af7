#pragma once

#include "devices/EntryTables.h"

namespace tolvar {

// Types the data byte at `target` of a PDO row with the type chooser's item ("Byte", "Word",
// "Null"; any other item only counts the row as an entry). A word takes the chosen byte and the
// next one, so it is not offered in Byte7; a "Word" there is handled as an item not offered.
// Keeps the totals of the table's two kinds equal to their number of tags, grows the entry
// count to the row, then renumbers the table across all devices. Answers whether it renumbered
// (a cell holding no tag, and "Null" on an empty byte, change nothing and do not).
bool typePdoByte(GatewayConfig &config, const PdoTable &table, const EditScope &scope,
                 GridCell target, QStringView choice);

// Types an SDO row at its Byte0 cell: a digital byte there, or a word over Byte0 and Byte1.
// Same contract as the PDO typing; an item other than "Byte", "Word" and "Null" only grows the
// entry count and does not renumber.
bool typeSdoRow(GatewayConfig &config, const SdoTable &table, const EditScope &scope,
                GridCell target, QStringView choice);

} // namespace tolvar
