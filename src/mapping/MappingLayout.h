#pragma once

#include "link/Replies.h"
#include "model/GatewayConfig.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

namespace tolvar {

inline constexpr int kMappingColumns = 9; // column 0 holds the row labels
inline constexpr int kMappingCellColumns = 8;

enum class SourceTable { TxPDO, RxPDO, ReadSDO, WriteSDO };

// Where a mapped byte comes from.
struct MappingOrigin {
    int position = 0; // list position 0..N
    int device = 0;   // device number DeviceOrder[position]
    SourceTable table = SourceTable::TxPDO;
    int entryRow = 0;   // 1-based row of the entry table
    int byteColumn = 0; // 0-based: Byte0..Byte7 of a PDO entry, Byte0..Byte1 of an SDO entry
    bool operator==(const MappingOrigin &) const = default;
};

struct MappingCell {
    int row = 0;    // grid row, 1 = first row under the header
    int column = 0; // grid column 1..8
    QString text;   // the tag, as the entry table holds it
    MappingOrigin origin;
    bool operator==(const MappingCell &) const = default;
};

// One grid of the mapping view, complete: a window shows it as it is.
struct MappingArea {
    Area area = Area::DigitalOutput;
    int rows = 0;        // grid rows, header row 0 included
    QStringList headers; // columns 1..8 of the header row
    QStringList labels;  // column 0 of rows 1..labels.size(); the rows below stay unlabelled
    std::vector<MappingCell> cells; // in placing order
};

// The device amount as the mapping view reads the DevicesNumCombo text, within the model.
int mappingDeviceAmount(QStringView text);

// Lays out one area: every typed byte of list positions 0..deviceAmount (the last one
// included, normally empty), PDO entries first, then SDO entries, eight cells a row. The grid
// has at least the rows its totals call for, and every placed cell fits in a labelled row.
MappingArea mappingArea(const GatewayConfig &config, int deviceAmount, Area area);

// The four areas in tab order: DO, DI, AI, AO (indexed by the area code).
std::array<MappingArea, 4> mappingLayout(const GatewayConfig &config, int deviceAmount);

// The entry table a mapped cell came from.
const CellTable &tableOf(const GatewayConfig &config, SourceTable table);

} // namespace tolvar
