#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

namespace tolvar {

inline constexpr int kMaxDevices = 10;
inline constexpr int kMaxPdoRows = 200;
inline constexpr int kMaxSdoRows = 30;
inline constexpr int kPdoDataBytes = 8;
// Column 0 of every table is the row number of the grid and is never stored.
inline constexpr int kPdoColumns = 12; // 1..3 entry fields, 4..11 Byte0..Byte7
inline constexpr int kSdoColumns = 5;  // 1 index, 2 sub-index, 3..4 the two data bytes
inline constexpr int kFirstPdoByteColumn = 4;
// Item counts and totals are 16-bit signed numbers.
inline constexpr int kMaxItemCount = 0x7FFF;

// One entry table of all devices: device (0..10) x row x column cell texts.
// Index 0 of devices and rows is never used, so the numbers the user sees index directly.
// A cell outside the table reads as empty text, and what is written to it goes nowhere.
class CellTable {
public:
    CellTable(int rows, int columns);

    QString &cell(int device, int row, int column);
    const QString &cell(int device, int row, int column) const;
    bool contains(int device, int row, int column) const;
    void clear();

    // Every cell in storage order, for walking whole tables without their shape.
    int cellCount() const { return static_cast<int>(m_cells.size()); }
    QString &at(int index) { return m_cells[static_cast<std::size_t>(index)]; }
    const QString &at(int index) const { return m_cells[static_cast<std::size_t>(index)]; }

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }

    bool operator==(const CellTable &) const = default;

private:
    int index(int device, int row, int column) const;

    int m_rows;
    int m_columns;
    std::vector<QString> m_cells;
};

// Arrays indexed by device number (1..10) or by list position (0..9); each field says which.
template <typename T> using PerDevice = std::array<T, kMaxDevices + 1>;

// The eight kinds of mapped items, in the order the gateway exchanges their counts.
enum class ItemKind { DO, DI, AI, AO, SDO_DO, SDO_DI, SDO_AI, SDO_AO };
inline constexpr int kItemKinds = 8;

// The gateway's configuration as the windows edit it. One instance lives as long as the program.
struct GatewayConfig {
    GatewayConfig();

    PerDevice<qint16> DeviceOrder{}; // position -> device number, 0 = empty place
    PerDevice<quint8> NodeID{};      // position
    PerDevice<qint16> ModuleID{};    // device number
    PerDevice<QString> GuardTime{};  // device number, milliseconds as decimal text

    PerDevice<qint16> TxPDO_rows{}; // device number
    PerDevice<qint16> RxPDO_rows{};
    PerDevice<qint16> ReadSDO_rows{};
    PerDevice<qint16> WriteSDO_rows{};

    PerDevice<qint16> DO_count{}; // position
    PerDevice<qint16> DI_count{};
    PerDevice<qint16> AI_count{};
    PerDevice<qint16> AO_count{};
    PerDevice<qint16> SDO_DO_count{};
    PerDevice<qint16> SDO_DI_count{};
    PerDevice<qint16> SDO_AI_count{};
    PerDevice<qint16> SDO_AO_count{};

    qint16 DO_total = 0;
    qint16 DI_total = 0;
    qint16 AI_total = 0;
    qint16 AO_total = 0;
    qint16 SDO_DO_total = 0;
    qint16 SDO_DI_total = 0;
    qint16 SDO_AI_total = 0;
    qint16 SDO_AO_total = 0;

    qint16 CurrentDevice = 0;

    quint8 ComPortCode = 0;
    quint8 BaudRateCode = 0;
    quint8 DataBitsCode = 0;
    quint8 ParityCode = 0;
    quint8 StopBitsCode = 0;
    quint8 ListenMode = 0;

    CellTable TxPDOTable;
    CellTable RxPDOTable;
    CellTable ReadSDOTable;
    CellTable WriteSDOTable;

    qint16 &total(ItemKind kind);
    qint16 total(ItemKind kind) const;
    PerDevice<qint16> &counts(ItemKind kind);
    const PerDevice<qint16> &counts(ItemKind kind) const;

    bool operator==(const GatewayConfig &) const = default;
};

bool isDeviceNumber(int device);

} // namespace tolvar
