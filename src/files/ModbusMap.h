#pragma once

#include "mapping/MappingLayout.h"
#include "model/GatewayConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace tolvar {

// One mapped byte of the Modbus map, as the mapping view places it, with where it comes from.
// Column meanings are in docs/configuration-format.md.
struct ModbusMapRow {
    QString area;       // "DO", "DI", "AI", "AO"
    QString rowAddress; // the view's label of the grid row, without its leading blank
    QString byteInRow;  // the grid column's header, "Byte0".."Byte7"
    QString address;    // DO/DI: the first of the byte's eight coils or inputs; AI/AO: its register
    QString registerByte; // AI/AO: "low" or "high" byte of the register; DO/DI: empty
    QString tag;
    int device = 0;
    int nodeId = 0;
    QString table;      // "TxPDO", "RxPDO", "Read SDO", "Write SDO"
    int entryRow = 0;   // 1-based row of the entry table
    QString cobId;      // PDO: "0x181"; SDO: empty
    QString index;      // SDO: "0x6000"; PDO: empty
    QString subIndex;   // SDO: "0x01"; PDO: empty
    QString byteColumn; // the entry's data byte, "Byte0".."Byte7"
    bool operator==(const ModbusMapRow &) const = default;
};

// Every placed cell of the four areas in tab order (DO, DI, AI, AO), each area in placing
// order, from the same layout the mapping view shows.
std::vector<ModbusMapRow> modbusMap(const GatewayConfig &config,
                                    const std::array<MappingArea, 4> &layout);

// The column names of the CSV file, in order.
QStringList modbusMapHeader();

// RFC 4180: one header row, CRLF after every record, fields quoted only when they must be;
// UTF-8.
QByteArray modbusMapCsv(const std::vector<ModbusMapRow> &rows);

QString tableName(SourceTable table);

} // namespace tolvar
