#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <variant>
#include <vector>

namespace tolvar {

// Offsets of the reply envelope: bytes 6..9 carry the signature, byte 10 the kind.
namespace reply {
inline constexpr int kSignature = 6;
inline constexpr std::array<quint8, 4> kSignatureBytes{0x19, 0x75, 0x04, 0x01};
inline constexpr int kKind = 10;
inline constexpr int kContents = 12;
inline constexpr char kEthernet = 'I';
inline constexpr char kGeneral = 'G';
inline constexpr char kTables = 'H';
inline constexpr int kEthernetLength = 24;
inline constexpr int kDeviceRecordSize = 23;
inline constexpr int kFirstDeviceRecord = 19;
// A Modbus exception response: MBAP header with a length of 3, the unit identifier, the
// request's function code with the high bit set and the exception code.
inline constexpr int kExceptionLength = 9;
inline constexpr int kExceptionFunction = 7;
inline constexpr quint8 kExceptionBit = 0x80;
// Length of a general reply for N devices: header, N records, six serial bytes.
constexpr int generalLength(int devices) {
    return 25 + kDeviceRecordSize * devices;
}
} // namespace reply

// Area codes: the one-byte form of a data byte's type on the wire.
enum class Area : quint8 {
    DigitalOutput = 0,
    DigitalInput = 1,
    AnalogInput = 2,
    AnalogOutput = 3
};

struct EthernetReply {
    std::array<quint8, 4> ip{};
    std::array<quint8, 4> mask{};
    std::array<quint8, 4> gateway{};
    bool operator==(const EthernetReply &) const = default;
};

// The 23-byte summary record of one device, as the general reply and the download carry it.
struct DeviceRecord {
    quint8 nodeId = 0;
    quint16 guardTime = 0;
    std::array<quint16, 8> counts{}; // DO, DI, AI, AO, SDO DO, SDO DI, SDO AI, SDO AO
    quint8 txPdoRows = 0;
    quint8 rxPdoRows = 0;
    quint8 readSdoRows = 0;
    quint8 writeSdoRows = 0;
    bool operator==(const DeviceRecord &) const = default;
};

struct SerialSettings {
    quint8 comPort = 0;
    quint8 baudRate = 0;
    quint8 dataBits = 0;
    quint8 parity = 0;
    quint8 stopBits = 0;
    quint8 listen = 0;
    bool operator==(const SerialSettings &) const = default;
};

struct GeneralReply {
    quint8 deviceCount = 0; // 1..10, checked by the parser
    quint8 serialId = 0;
    quint8 canBitRateCode = 0;
    quint8 sync = 0;
    quint8 syncTimeHigh = 0; // byte 16: read, not shown
    quint8 syncTime = 0;
    std::vector<DeviceRecord> devices; // list positions 0..N-1
    SerialSettings serial;
    bool operator==(const GeneralReply &) const = default;
};

// One PDO entry as received. `typeBytes` holds the type bytes the entry consumed, in wire
// order; a word's high-byte type byte is kept but carries no meaning.
struct PdoEntry {
    quint16 cobId = 0;
    quint8 flag = 0; // RTR of a TxPDO, cycle of an RxPDO
    quint8 dataLength = 0;
    QByteArray typeBytes;
    bool operator==(const PdoEntry &) const = default;
};

struct SdoEntry {
    quint16 index = 0;
    quint8 subIndex = 0;
    quint8 type = 0;
    bool word = false; // the entry carried the area code twice (5 bytes)
    bool operator==(const SdoEntry &) const = default;
};

// The four tables of the device at one list position.
struct DeviceTables {
    quint8 nodeId = 0;
    std::vector<PdoEntry> txPdo;
    std::vector<PdoEntry> rxPdo;
    std::vector<SdoEntry> readSdo;
    std::vector<SdoEntry> writeSdo;
    bool operator==(const DeviceTables &) const = default;
};

struct TableReply {
    std::vector<DeviceTables> devices; // list positions 0..N-1
    bool operator==(const TableReply &) const = default;
};

// The gateway refused a request: `function` is the request's function code (high bit clear).
struct ExceptionReply {
    quint8 function = 0;
    quint8 code = 0;
    bool operator==(const ExceptionReply &) const = default;
};

using Reply = std::variant<EthernetReply, GeneralReply, TableReply, ExceptionReply>;

} // namespace tolvar
