#include "link/ReplyReader.h"

#include "link/ReadBackModel.h"
#include "model/GatewayConfig.h"

#include <type_traits>

namespace tolvar {

namespace {

bool isKnownKind(char kind) {
    return kind == reply::kEthernet || kind == reply::kGeneral || kind == reply::kTables;
}

bool isDeviceAmount(int count) {
    return count >= 1 && count <= kMaxDevices;
}

quint8 byteAt(QByteArrayView bytes, qsizetype offset) {
    return static_cast<quint8>(bytes[offset]);
}

// Two bytes, low byte first.
quint16 wordAt(QByteArrayView bytes, qsizetype offset) {
    return static_cast<quint16>(byteAt(bytes, offset) | (byteAt(bytes, offset + 1) << 8));
}

template <std::size_t N>
void fill(std::array<quint8, N> &values, QByteArrayView bytes, qsizetype offset) {
    for (std::size_t i = 0; i < N; ++i)
        values[i] = byteAt(bytes, offset + qsizetype(i));
}

// What differs between the two PDO tables and the two SDO tables on the wire.
struct TableKind {
    const char *name;
    const char *article; // "a TxPDO entry", "an RxPDO entry"
    quint8 wordCode;     // the area code of a word, which takes two data bytes
    int maxRows;
    bool pdo;
};

constexpr std::array<TableKind, 4> kTables{{{"TxPDO", "a", 2, kMaxPdoRows, true},
                                            {"RxPDO", "an", 3, kMaxPdoRows, true},
                                            {"Read SDO", "a", 2, kMaxSdoRows, false},
                                            {"Write SDO", "a", 3, kMaxSdoRows, false}}};

constexpr qsizetype kPdoHeadSize = 4;
constexpr qsizetype kSdoEntrySize = 4; // one more for a word
constexpr qsizetype kGeneralHeaderSize = 6;
constexpr qsizetype kSerialSize = 6;

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

DeviceRecord recordAt(QByteArrayView bytes) {
    DeviceRecord record;
    record.nodeId = byteAt(bytes, 0);
    record.guardTime = wordAt(bytes, 1);
    for (std::size_t i = 0; i < record.counts.size(); ++i)
        record.counts[i] = wordAt(bytes, 3 + 2 * qsizetype(i));
    record.txPdoRows = byteAt(bytes, 19);
    record.rxPdoRows = byteAt(bytes, 20);
    record.readSdoRows = byteAt(bytes, 21);
    record.writeSdoRows = byteAt(bytes, 22);
    return record;
}

SerialSettings serialAt(QByteArrayView bytes) {
    return SerialSettings{byteAt(bytes, 0), byteAt(bytes, 1), byteAt(bytes, 2),
                          byteAt(bytes, 3), byteAt(bytes, 4), byteAt(bytes, 5)};
}

} // namespace

Envelope envelopeOf(QByteArrayView bytes) {
    for (std::size_t i = 0; i < reply::kSignatureBytes.size(); ++i) {
        const qsizetype offset = reply::kSignature + qsizetype(i);
        if (offset >= bytes.size())
            return Envelope::Partial;
        if (byteAt(bytes, offset) != reply::kSignatureBytes[i])
            return Envelope::Foreign;
    }
    if (bytes.size() <= reply::kKind)
        return Envelope::Partial;
    return isKnownKind(bytes[reply::kKind]) ? Envelope::Known : Envelope::Foreign;
}

Envelope exceptionEnvelopeOf(QByteArrayView bytes) {
    constexpr std::array<quint8, 4> kHeader{0x00, 0x00, 0x00, 0x03}; // protocol 0, length 3
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        const qsizetype offset = 2 + qsizetype(i);
        if (offset >= bytes.size())
            return Envelope::Partial;
        if (byteAt(bytes, offset) != kHeader[i])
            return Envelope::Foreign;
    }
    if (bytes.size() <= reply::kExceptionFunction)
        return Envelope::Partial;
    if (!(byteAt(bytes, reply::kExceptionFunction) & reply::kExceptionBit))
        return Envelope::Foreign;
    return bytes.size() < reply::kExceptionLength ? Envelope::Partial : Envelope::Known;
}

ExceptionReply exceptionOf(QByteArrayView bytes) {
    return {quint8(byteAt(bytes, reply::kExceptionFunction) & ~reply::kExceptionBit),
            byteAt(bytes, reply::kExceptionFunction + 1)};
}

ReplyReader::ReplyReader(char kind, int deviceCount)
    : m_kind(kind), m_deviceCount(deviceCount), m_position(reply::kContents) {
    switch (kind) {
    case reply::kEthernet:
        m_stage = Stage::Ethernet;
        m_reply = EthernetReply{};
        break;
    case reply::kGeneral:
        m_stage = Stage::GeneralCount;
        m_reply = GeneralReply{};
        break;
    default:
        m_stage = Stage::NodeId;
        m_reply = TableReply{};
        if (!isDeviceAmount(deviceCount))
            refuse(QStringLiteral("Refused a table reply: the device amount is %1; the gateway "
                                  "supports 1 to 10.")
                       .arg(deviceCount));
        break;
    }
}

// Takes one field at a time, and only once all its bytes are present.
ReplyReader::Status ReplyReader::read(QByteArrayView bytes) {
    while (m_problem.isEmpty() && m_stage != Stage::Done) {
        const QByteArrayView ahead = bytes.sliced(std::min(m_position, bytes.size()));
        const qsizetype size = bytesForStage(ahead);
        if (size > ahead.size())
            return Status::NeedMore;
        take(ahead.first(size));
        m_position += size;
    }
    return m_problem.isEmpty() ? Status::Complete : Status::Refused;
}

// The size of the next field; a word's second type byte is known once its first is present.
qsizetype ReplyReader::bytesForStage(QByteArrayView ahead) const {
    const quint8 wordCode = kTables[std::size_t(m_table)].wordCode;
    switch (m_stage) {
    case Stage::Ethernet:
        return reply::kEthernetLength - reply::kContents;
    case Stage::GeneralHeader:
        return kGeneralHeaderSize;
    case Stage::DeviceRecord:
        return reply::kDeviceRecordSize;
    case Stage::Serial:
        return kSerialSize;
    case Stage::PdoHead:
        return kPdoHeadSize;
    case Stage::PdoType:
        // A word cannot start at Byte7; that type byte alone is enough to refuse the entry.
        return !ahead.isEmpty() && byteAt(ahead, 0) == wordCode && m_dataByte < kPdoDataBytes - 1
                   ? 2
                   : 1;
    case Stage::SdoEntry:
        return ahead.size() >= kSdoEntrySize && byteAt(ahead, 3) == wordCode ? kSdoEntrySize + 1
                                                                             : kSdoEntrySize;
    case Stage::GeneralCount:
    case Stage::NodeId:
    case Stage::RowCount:
    case Stage::Done:
        break;
    }
    return 1;
}

void ReplyReader::take(QByteArrayView field) {
    switch (m_kind) {
    case reply::kEthernet: {
        auto &ethernet = std::get<EthernetReply>(m_reply);
        fill(ethernet.ip, field, 0);
        fill(ethernet.mask, field, 4);
        fill(ethernet.gateway, field, 8);
        m_stage = Stage::Done;
        break;
    }
    case reply::kGeneral:
        takeGeneral(field);
        break;
    default:
        takeTables(field);
        break;
    }
}

void ReplyReader::takeGeneral(QByteArrayView field) {
    auto &general = std::get<GeneralReply>(m_reply);
    switch (m_stage) {
    case Stage::GeneralCount:
        general.deviceCount = byteAt(field, 0);
        if (!isDeviceAmount(general.deviceCount))
            return refuse(QStringLiteral("Refused a general reply: it lists %1 devices; the "
                                         "gateway supports 1 to 10.")
                              .arg(general.deviceCount));
        m_stage = Stage::GeneralHeader;
        break;
    case Stage::GeneralHeader:
        general.serialId = byteAt(field, 0);
        general.canBitRateCode = byteAt(field, 1);
        general.sync = byteAt(field, 2);
        general.syncTimeHigh = byteAt(field, 3);
        general.syncTime = byteAt(field, 4);
        // byte 18 is not used
        m_stage = Stage::DeviceRecord;
        break;
    case Stage::DeviceRecord: {
        general.devices.push_back(recordAt(field));
        const int device = int(general.devices.size());
        if (auto problem = deviceRecordProblem(general.devices.back(), device))
            return refuse(*problem);
        if (device == general.deviceCount)
            m_stage = Stage::Serial;
        break;
    }
    default:
        general.serial = serialAt(field);
        m_stage = Stage::Done;
        break;
    }
}

void ReplyReader::takeTables(QByteArrayView field) {
    switch (m_stage) {
    case Stage::NodeId:
        std::get<TableReply>(m_reply).devices.emplace_back().nodeId = byteAt(field, 0);
        m_table = 0;
        m_stage = Stage::RowCount;
        break;
    case Stage::RowCount:
        takeRowCount(byteAt(field, 0));
        break;
    case Stage::PdoHead:
        takePdoHead(field);
        break;
    case Stage::PdoType:
        takePdoType(field);
        break;
    default:
        takeSdoEntry(field);
        break;
    }
}

void ReplyReader::takeRowCount(quint8 rows) {
    const TableKind &table = kTables[std::size_t(m_table)];
    const int device = int(std::get<TableReply>(m_reply).devices.size());
    if (rows > table.maxRows)
        return refuse(tableProblem(device, QStringLiteral("lists %1 %2 entries; at most %3 fit.")
                                               .arg(rows)
                                               .arg(QLatin1String(table.name))
                                               .arg(table.maxRows)));
    m_rowsLeft = rows;
    if (rows == 0)
        return nextTable();
    m_stage = table.pdo ? Stage::PdoHead : Stage::SdoEntry;
}

namespace {

// The entries of the table being read in the last device begun.
template <typename Entry> std::vector<Entry> &currentTable(TableReply &tables, int table) {
    DeviceTables &device = tables.devices.back();
    if constexpr (std::is_same_v<Entry, PdoEntry>)
        return table == 0 ? device.txPdo : device.rxPdo;
    else
        return table == 2 ? device.readSdo : device.writeSdo;
}

} // namespace

void ReplyReader::takePdoHead(QByteArrayView field) {
    auto &entries = currentTable<PdoEntry>(std::get<TableReply>(m_reply), m_table);
    PdoEntry &entry =
        entries.emplace_back(PdoEntry{wordAt(field, 0), byteAt(field, 2), byteAt(field, 3), {}});
    if (entry.dataLength > kPdoDataBytes) {
        const int device = int(std::get<TableReply>(m_reply).devices.size());
        return refuse(entryProblem(
            kTables[std::size_t(m_table)], device,
            QStringLiteral("with %1 data bytes; at most 8 fit.").arg(entry.dataLength)));
    }
    if (entry.dataLength == 0)
        return finishRow();
    // A word at the last data byte takes one type byte more.
    entry.typeBytes.reserve(entry.dataLength + 1);
    m_dataByte = 0;
    m_stage = Stage::PdoType;
}

// A word's type byte is followed by the one of its high byte, which is kept unread.
void ReplyReader::takePdoType(QByteArrayView field) {
    const TableKind &table = kTables[std::size_t(m_table)];
    PdoEntry &entry = currentTable<PdoEntry>(std::get<TableReply>(m_reply), m_table).back();
    if (byteAt(field, 0) == table.wordCode && field.size() == 1) {
        const int device = int(std::get<TableReply>(m_reply).devices.size());
        return refuse(
            entryProblem(table, device,
                         QStringLiteral("with a word starting at Byte7; a word needs two bytes.")));
    }
    entry.typeBytes.append(field);
    m_dataByte += int(field.size());
    if (m_dataByte >= entry.dataLength)
        finishRow();
}

void ReplyReader::takeSdoEntry(QByteArrayView field) {
    currentTable<SdoEntry>(std::get<TableReply>(m_reply), m_table)
        .push_back(SdoEntry{wordAt(field, 0), byteAt(field, 2), byteAt(field, 3),
                            field.size() > kSdoEntrySize});
    finishRow();
}

void ReplyReader::finishRow() {
    if (--m_rowsLeft > 0) {
        m_stage = kTables[std::size_t(m_table)].pdo ? Stage::PdoHead : Stage::SdoEntry;
        return;
    }
    nextTable();
}

void ReplyReader::nextTable() {
    if (++m_table < int(kTables.size())) {
        m_stage = Stage::RowCount;
        return;
    }
    m_table = 0;
    const auto read = int(std::get<TableReply>(m_reply).devices.size());
    m_stage = read < m_deviceCount ? Stage::NodeId : Stage::Done;
}

void ReplyReader::refuse(QString problem) {
    m_problem = std::move(problem);
}

std::optional<qsizetype> ReplyReader::expectedLength() const {
    if (m_kind == reply::kEthernet)
        return reply::kEthernetLength;
    if (m_kind == reply::kGeneral && m_stage != Stage::GeneralCount)
        return reply::generalLength(std::get<GeneralReply>(m_reply).deviceCount);
    return std::nullopt;
}

QString ReplyReader::kindName() const {
    switch (m_kind) {
    case reply::kEthernet:
        return QStringLiteral("Ethernet reply");
    case reply::kGeneral:
        return QStringLiteral("general reply");
    default:
        return QStringLiteral("table reply");
    }
}

} // namespace tolvar
