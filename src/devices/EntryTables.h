#pragma once

#include "devices/GridView.h"
#include "model/GatewayConfig.h"

#include <QStringView>

namespace tolvar {

inline constexpr int kLastPdoByteColumn = kFirstPdoByteColumn + kPdoDataBytes - 1; // Byte7
inline constexpr int kPdoLengthColumn = 3;
inline constexpr int kSdoIndexColumn = 1;
inline constexpr int kSdoSubIndexColumn = 2;
inline constexpr int kSdoByteColumn = 3;     // Byte0: a digital byte or the low byte of a word
inline constexpr int kSdoHighByteColumn = 4; // Byte1: only ever the high byte of a word

// One entry table: where its cells and entry counts live, which columns hold typed data bytes
// and how those bytes are tagged and counted.
struct EntryTable {
    CellTable GatewayConfig::*cells;
    PerDevice<qint16> GatewayConfig::*rows; // entry count per device number
    int firstByteColumn;
    int lastColumn; // the last data column, also the last column of the table
    QStringView byteTag;
    QStringView lowTag;
    QStringView highTag;
    ItemKind byteKind;
    ItemKind wordKind;
};

// The two PDO tables differ only in where they keep the COB-ID and their flag (RTR or cycle).
struct PdoTable : EntryTable {
    int cobIdColumn;
    int flagColumn;
};

// The two SDO tables: index, sub-index, then one byte or one word in Byte0/Byte1.
struct SdoTable : EntryTable {};

inline constexpr PdoTable kTxPdoTable{{&GatewayConfig::TxPDOTable, &GatewayConfig::TxPDO_rows,
                                       kFirstPdoByteColumn, kLastPdoByteColumn, u"P_DI", u"P_AIL",
                                       u"P_AIH", ItemKind::DI, ItemKind::AI},
                                      1,
                                      2};
inline constexpr PdoTable kRxPdoTable{{&GatewayConfig::RxPDOTable, &GatewayConfig::RxPDO_rows,
                                       kFirstPdoByteColumn, kLastPdoByteColumn, u"P_DO", u"P_AOL",
                                       u"P_AOH", ItemKind::DO, ItemKind::AO},
                                      2,
                                      1};
inline constexpr SdoTable kReadSdoTable{{&GatewayConfig::ReadSDOTable, &GatewayConfig::ReadSDO_rows,
                                         kSdoByteColumn, kSdoHighByteColumn, u"S_DI", u"S_AIL",
                                         u"S_AIH", ItemKind::SDO_DI, ItemKind::SDO_AI}};
inline constexpr SdoTable kWriteSdoTable{
    {&GatewayConfig::WriteSDOTable, &GatewayConfig::WriteSDO_rows, kSdoByteColumn,
     kSdoHighByteColumn, u"S_DO", u"S_AOL", u"S_AOH", ItemKind::SDO_DO, ItemKind::SDO_AO}};

// What a data-byte cell holds, told by its characters: the third is "D" for a digital byte,
// the fifth "L" or "H" for the low or high byte of a word. Shorter texts are no tags.
enum class CellKind { Empty, Byte, Low, High, Other };
CellKind classifyCell(QStringView text);

// Where an edit lands: the device being edited (CurrentDevice), the device amount whose list
// positions are numbered, and the grid that shows the device's table (null when none does).
struct EditScope {
    int device = 0;
    int amount = 0;
    GridView *grid = nullptr;
};

// Writes one cell of a device's table when device, row and column lie inside the table
// (device 1..10, row 1..rows, column 1..last); answers whether it wrote.
bool storeCell(CellTable &table, int device, GridCell cell, const QString &text);

} // namespace tolvar
