#include "link/ReplyParser.h"

#include "model/GatewayConfig.h"

#include <array>

namespace tolvar {

namespace {

using Status = ParseOutcome::Status;

// Reads the bytes of one reply in order. Running past the end marks the read short (the rest
// has not arrived yet); a refusal marks the reply as one the model cannot hold. Either way the
// table readers stop and the reply is not taken.
class ByteReader {
public:
    ByteReader(QByteArrayView bytes, qsizetype start) : m_bytes(bytes), m_position(start) {}

    quint8 byte() {
        if (m_position >= m_bytes.size()) {
            m_short = true;
            return 0;
        }
        return static_cast<quint8>(m_bytes[m_position++]);
    }
    // Two bytes, low byte first.
    quint16 word() {
        const quint8 low = byte();
        const quint8 high = byte();
        return static_cast<quint16>(low | (high << 8));
    }
    template <std::size_t N> void fill(std::array<quint8, N> &values) {
        for (std::size_t i = 0; i < N; ++i)
            values[i] = byte();
    }
    void refuse(const QString &problem) {
        if (!stopped())
            m_problem = problem;
    }

    bool stopped() const { return m_short || !m_problem.isEmpty(); }
    bool isShort() const { return m_short; }
    const QString &problem() const { return m_problem; }
    qsizetype position() const { return m_position; }

private:
    QByteArrayView m_bytes;
    qsizetype m_position;
    bool m_short = false;
    QString m_problem;
};

enum class Header { Partial, Foreign, Known };

bool isKnownKind(char kind) {
    return kind == reply::kEthernet || kind == reply::kGeneral || kind == reply::kTables;
}

// Judges the envelope from the bytes present so far; bytes 0..5 are not looked at.
Header headerState(QByteArrayView bytes) {
    for (int i = 0; i < int(reply::kSignatureBytes.size()); ++i) {
        const int offset = reply::kSignature + i;
        if (offset >= bytes.size())
            return Header::Partial;
        if (static_cast<quint8>(bytes[offset]) != reply::kSignatureBytes[std::size_t(i)])
            return Header::Foreign;
    }
    if (bytes.size() <= reply::kKind)
        return Header::Partial;
    return isKnownKind(bytes[reply::kKind]) ? Header::Known : Header::Foreign;
}

bool isDeviceAmount(int count) {
    return count >= 1 && count <= kMaxDevices;
}

// ---- Ethernet and general replies ----

EthernetReply readEthernet(ByteReader &in) {
    EthernetReply ethernet;
    in.fill(ethernet.ip);
    in.fill(ethernet.mask);
    in.fill(ethernet.gateway);
    return ethernet;
}

DeviceRecord readDeviceRecord(ByteReader &in) {
    DeviceRecord record;
    record.nodeId = in.byte();
    record.guardTime = in.word();
    for (quint16 &count : record.counts)
        count = in.word();
    record.txPdoRows = in.byte();
    record.rxPdoRows = in.byte();
    record.readSdoRows = in.byte();
    record.writeSdoRows = in.byte();
    return record;
}

SerialSettings readSerial(ByteReader &in) {
    SerialSettings serial;
    serial.comPort = in.byte();
    serial.baudRate = in.byte();
    serial.dataBits = in.byte();
    serial.parity = in.byte();
    serial.stopBits = in.byte();
    serial.listen = in.byte();
    return serial;
}

GeneralReply readGeneral(ByteReader &in) {
    GeneralReply general;
    general.deviceCount = in.byte();
    if (!in.isShort() && !isDeviceAmount(general.deviceCount)) {
        in.refuse(QStringLiteral("Refused a general reply: it lists %1 devices; the gateway "
                                 "supports 1 to 10.")
                      .arg(general.deviceCount));
        return general;
    }
    general.serialId = in.byte();
    general.canBitRateCode = in.byte();
    general.sync = in.byte();
    general.syncTimeHigh = in.byte();
    general.syncTime = in.byte();
    in.byte(); // not used
    for (int k = 0; k < general.deviceCount && !in.stopped(); ++k)
        general.devices.push_back(readDeviceRecord(in));
    general.serial = readSerial(in);
    return general;
}

// ---- Table reply ----

// What differs between the two PDO tables and the two SDO tables on the wire.
struct TableKind {
    const char *name;
    const char *article; // "a TxPDO entry", "an RxPDO entry"
    quint8 wordCode;     // the area code of a word, which takes two data bytes
    int maxRows;
};

constexpr TableKind kTxPdo{"TxPDO", "a", 2, kMaxPdoRows};
constexpr TableKind kRxPdo{"RxPDO", "an", 3, kMaxPdoRows};
constexpr TableKind kReadSdo{"Read SDO", "a", 2, kMaxSdoRows};
constexpr TableKind kWriteSdo{"Write SDO", "a", 3, kMaxSdoRows};

QString tableProblem(int device, const QString &what) {
    return QStringLiteral("Refused a table reply: device %1 %2").arg(device).arg(what);
}

// "device 2 has a TxPDO entry with 9 data bytes; at most 8 fit."
QString entryProblem(const TableKind &table, int device, const QString &what) {
    return tableProblem(device, QStringLiteral("has %1 %2 entry %3")
                                    .arg(QLatin1String(table.article))
                                    .arg(QLatin1String(table.name))
                                    .arg(what));
}

// Type bytes of one PDO entry: a word consumes the next type byte too (it belongs to the
// word's high byte and is not looked at), so an entry may end one byte past its data length.
void readTypeBytes(ByteReader &in, PdoEntry &entry, const TableKind &table, int device) {
    std::array<char, kPdoDataBytes + 1> types{};
    int count = 0;
    for (int m = 0; m < entry.dataLength && !in.stopped(); ++m) {
        const quint8 type = in.byte();
        types[std::size_t(count++)] = static_cast<char>(type);
        if (type != table.wordCode || in.isShort())
            continue;
        if (m == kPdoDataBytes - 1) {
            in.refuse(entryProblem(table, device,
                                   QStringLiteral("with a word starting at Byte7; a word needs "
                                                  "two bytes.")));
            return;
        }
        types[std::size_t(count++)] = static_cast<char>(in.byte());
        ++m;
    }
    entry.typeBytes = QByteArray(types.data(), count);
}

PdoEntry readPdoEntry(ByteReader &in, const TableKind &table, int device) {
    PdoEntry entry;
    entry.cobId = in.word();
    entry.flag = in.byte();
    entry.dataLength = in.byte();
    if (in.isShort())
        return entry;
    if (entry.dataLength > kPdoDataBytes) {
        in.refuse(entryProblem(
            table, device,
            QStringLiteral("with %1 data bytes; at most 8 fit.").arg(entry.dataLength)));
        return entry;
    }
    readTypeBytes(in, entry, table, device);
    return entry;
}

SdoEntry readSdoEntry(ByteReader &in, const TableKind &table) {
    SdoEntry entry;
    entry.index = in.word();
    entry.subIndex = in.byte();
    entry.type = in.byte();
    // A word carries its area code twice; the copy is not looked at.
    entry.word = entry.type == table.wordCode;
    if (entry.word)
        in.byte();
    return entry;
}

// The row count of a table, refused when the model has fewer rows.
int readRowCount(ByteReader &in, const TableKind &table, int device) {
    const int rows = in.byte();
    if (in.isShort())
        return 0;
    if (rows > table.maxRows) {
        in.refuse(tableProblem(device, QStringLiteral("lists %1 %2 entries; at most %3 fit.")
                                           .arg(rows)
                                           .arg(QLatin1String(table.name))
                                           .arg(table.maxRows)));
        return 0;
    }
    return rows;
}

std::vector<PdoEntry> readPdoTable(ByteReader &in, const TableKind &table, int device) {
    std::vector<PdoEntry> entries;
    const int rows = readRowCount(in, table, device);
    entries.reserve(std::size_t(rows));
    for (int j = 0; j < rows && !in.stopped(); ++j)
        entries.push_back(readPdoEntry(in, table, device));
    return entries;
}

std::vector<SdoEntry> readSdoTable(ByteReader &in, const TableKind &table, int device) {
    std::vector<SdoEntry> entries;
    const int rows = readRowCount(in, table, device);
    entries.reserve(std::size_t(rows));
    for (int j = 0; j < rows && !in.stopped(); ++j)
        entries.push_back(readSdoEntry(in, table));
    return entries;
}

DeviceTables readDeviceTables(ByteReader &in, int device) {
    DeviceTables tables;
    tables.nodeId = in.byte();
    tables.txPdo = readPdoTable(in, kTxPdo, device);
    if (!in.stopped())
        tables.rxPdo = readPdoTable(in, kRxPdo, device);
    if (!in.stopped())
        tables.readSdo = readSdoTable(in, kReadSdo, device);
    if (!in.stopped())
        tables.writeSdo = readSdoTable(in, kWriteSdo, device);
    return tables;
}

TableReply readTables(ByteReader &in, int deviceCount) {
    TableReply tables;
    if (!isDeviceAmount(deviceCount)) {
        in.refuse(QStringLiteral("Refused a table reply: the device amount is %1; the gateway "
                                 "supports 1 to 10.")
                      .arg(deviceCount));
        return tables;
    }
    tables.devices.reserve(std::size_t(deviceCount));
    for (int k = 0; k < deviceCount && !in.stopped(); ++k)
        tables.devices.push_back(readDeviceTables(in, k + 1));
    return tables;
}

Reply readContents(ByteReader &in, char kind, int deviceCount) {
    switch (kind) {
    case reply::kEthernet:
        return readEthernet(in);
    case reply::kGeneral:
        return readGeneral(in);
    default:
        return readTables(in, deviceCount);
    }
}

ParseOutcome outcome(Status status, int length = 0, Reply reply = {}, QString problem = {}) {
    return ParseOutcome{status, length, std::move(reply), std::move(problem)};
}

} // namespace

ParseOutcome parseReply(QByteArrayView bytes, int deviceCount) {
    switch (headerState(bytes)) {
    case Header::Partial:
        return outcome(Status::Incomplete);
    case Header::Foreign:
        return outcome(Status::Invalid, 0, {},
                       QStringLiteral("Ignored %1 bytes from the gateway that are not a reply.")
                           .arg(bytes.size()));
    case Header::Known:
        break;
    }
    ByteReader in(bytes, reply::kContents);
    Reply reply = readContents(in, bytes[reply::kKind], deviceCount);
    if (!in.problem().isEmpty())
        return outcome(Status::Invalid, 0, {}, in.problem());
    if (in.isShort())
        return outcome(Status::Incomplete);
    return outcome(Status::Complete, int(in.position()), std::move(reply));
}

bool startsWithReplyHeader(QByteArrayView bytes) {
    return headerState(bytes) == Header::Known;
}

} // namespace tolvar
