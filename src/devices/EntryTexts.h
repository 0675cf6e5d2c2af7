#pragma once

#include "model/GatewayConfig.h"

#include <QString>
#include <QStringView>

namespace tolvar {

// The texts left by an editor's change: what the editor shows, what the edited cell shows and
// whether the table cell takes the cell's text. Each is the final state, including the second
// pass that a corrected editor text would run; set the editor without running the entry again.
struct EntryTexts {
    QString editorText;
    QString cellText;
    bool storeInTable = false;
    bool operator==(const EntryTexts &) const = default;
};

// COB-ID editor of either PDO table: the cell shows the checked text behind "&H" ("&H" alone
// for an emptied editor). A refused text empties the editor and leaves the table as it was.
EntryTexts cobIdEntry(QStringView editorText);

// Index (column 1) or sub-index (column 2) editor of either SDO table: the checked text behind
// "&H" or "&H0". A refused text empties the editor and leaves the bare prefix in the cell.
EntryTexts sdoFieldEntry(int column, QStringView editorText);

// The cell text of an RTR choice: "1" stays, anything else empties the cell.
QString rtrCellText(QStringView choice);

// The cell text of a cycle or data-length choice: "Null" empties the cell, an item stays.
QString choiceCellText(QStringView choice);

// Node ID box: a refused text or a value outside 1..127 becomes "1". Stores the value into
// NodeID at device-1 and ModuleID at device (device 1..10) and answers the box's text.
QString enterNodeId(GatewayConfig &config, int device, QStringView typed);

// Guarding-time box: a refused text or a value outside 0..65535 becomes "1000". Stores the text
// into GuardTime at the device (1..10) and answers the box's text.
QString enterGuardTime(GatewayConfig &config, int device, QStringView typed);

} // namespace tolvar
