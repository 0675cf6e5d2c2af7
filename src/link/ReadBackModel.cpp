#include "link/ReadBackModel.h"

#include "model/Tags.h"

#include <algorithm>

namespace tolvar {

namespace {

constexpr std::array<ItemKind, kItemKinds> kRecordCountOrder{
    ItemKind::DO,     ItemKind::DI,     ItemKind::AI,     ItemKind::AO,
    ItemKind::SDO_DO, ItemKind::SDO_DI, ItemKind::SDO_AI, ItemKind::SDO_AO};

// A cell text of a prefix and a number, built straight into its one allocation: a full
// read-back writes some 50 000 cells.
template <unsigned Base> QString prefixedNumber(QStringView prefix, unsigned value) {
    int digits = 1;
    for (unsigned rest = value / Base; rest != 0; rest /= Base)
        ++digits;
    QString text(prefix.size() + digits, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    std::copy_n(prefix.utf16(), prefix.size(), out);
    for (char16_t *digit = out + text.size() - 1; digits-- > 0; value /= Base)
        *digit-- = char16_t(u"0123456789ABCDEF"[value % Base]);
    return text;
}

// RTR and data length texts, shared instead of built for every row.
const QString &byteText(quint8 value) {
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> all;
        for (unsigned i = 0; i < all.size(); ++i)
            all[i] = QString::number(i);
        return all;
    }();
    return texts[value];
}

QString hexText(quint16 value) {
    return prefixedNumber<16>(u"&H", value);
}

QString subIndexText(quint8 value) {
    return prefixedNumber<16>(u"&H0", value);
}

// makeTag's text, built faster; item numbers of the read-back start at 1.
QString tagText(QStringView name, qint16 number) {
    if (number < 0)
        return makeTag(name, number);
    // The tag name is at most five characters: "P_AIL".
    std::array<char16_t, 6> prefix{};
    std::copy_n(name.utf16(), name.size(), prefix.begin());
    prefix[std::size_t(name.size())] = u' ';
    return prefixedNumber<10>(QStringView(prefix.data(), name.size() + 1), unsigned(number));
}

qint16 &runningNumber(ReadBackCounters &counters, ItemKind kind) {
    switch (kind) {
    case ItemKind::DO:
        return counters.DO_number;
    case ItemKind::DI:
        return counters.DI_number;
    case ItemKind::AI:
        return counters.AI_number;
    case ItemKind::AO:
        return counters.AO_number;
    case ItemKind::SDO_DO:
        return counters.SDO_DO_number;
    case ItemKind::SDO_DI:
        return counters.SDO_DI_number;
    case ItemKind::SDO_AI:
        return counters.SDO_AI_number;
    case ItemKind::SDO_AO:
        break;
    }
    return counters.SDO_AO_number;
}

// How one table tags its data bytes: a byte item and a word item, each with its own counter.
struct TableTags {
    quint8 byteCode; // PDO tables only: SDO tables take every non-word code as a byte
    QStringView byteTag;
    ItemKind byteKind;
    quint8 wordCode;
    QStringView lowTag;
    QStringView highTag;
    ItemKind wordKind;
};

constexpr TableTags kTxPdoTags{1, u"P_DI", ItemKind::DI, 2, u"P_AIL", u"P_AIH", ItemKind::AI};
constexpr TableTags kRxPdoTags{0, u"P_DO", ItemKind::DO, 3, u"P_AOL", u"P_AOH", ItemKind::AO};
constexpr TableTags kReadSdoTags{0,        u"S_DI",  ItemKind::SDO_DI, 2,
                                 u"S_AIL", u"S_AIH", ItemKind::SDO_AI};
constexpr TableTags kWriteSdoTags{0,        u"S_DO",  ItemKind::SDO_DO, 3,
                                  u"S_AOL", u"S_AOH", ItemKind::SDO_AO};

// Writes the tags of the next item of one kind into the model.
class Tagger {
public:
    Tagger(GatewayConfig &config, ReadBackCounters &counters)
        : m_config(config), m_counters(counters) {}

    // Advances the item's counter, copies it into the total and answers the new item number.
    qint16 advance(ItemKind kind) {
        qint16 &number = runningNumber(m_counters, kind);
        ++number;
        m_config.total(kind) = number;
        return number;
    }
    void tagByte(QString &cell, const TableTags &tags) {
        cell = tagText(tags.byteTag, advance(tags.byteKind));
    }
    void tagWord(QString &low, QString &high, const TableTags &tags) {
        const qint16 number = advance(tags.wordKind);
        low = tagText(tags.lowTag, number);
        high = tagText(tags.highTag, number);
    }

private:
    GatewayConfig &m_config;
    ReadBackCounters &m_counters;
};

// Walks the type bytes as the gateway sent them: a word covers two data bytes, and the type
// byte of its high byte is passed over. Codes of neither kind leave their cell as it is.
void tagPdoBytes(CellTable &table, int device, int row, const PdoEntry &entry,
                 const TableTags &tags, Tagger &tagger) {
    const int length = std::min<int>(entry.dataLength, int(entry.typeBytes.size()));
    for (int m = 0; m < length; ++m) {
        const auto type = static_cast<quint8>(entry.typeBytes[m]);
        const int column = kFirstPdoByteColumn + m;
        if (type == tags.byteCode) {
            tagger.tagByte(table.cell(device, row, column), tags);
        } else if (type == tags.wordCode && m + 1 < kPdoDataBytes) {
            tagger.tagWord(table.cell(device, row, column), table.cell(device, row, column + 1),
                           tags);
            ++m;
        }
    }
}

void fillTxPdo(GatewayConfig &config, int device, const std::vector<PdoEntry> &entries,
               Tagger &tagger) {
    const int rows = std::min<int>(int(entries.size()), kMaxPdoRows);
    config.TxPDO_rows[std::size_t(device)] = qint16(rows);
    for (int j = 1; j <= rows; ++j) {
        const PdoEntry &entry = entries[std::size_t(j - 1)];
        config.TxPDOTable.cell(device, j, 1) = hexText(entry.cobId);
        config.TxPDOTable.cell(device, j, 2) = byteText(entry.flag);
        config.TxPDOTable.cell(device, j, 3) = byteText(entry.dataLength);
        tagPdoBytes(config.TxPDOTable, device, j, entry, kTxPdoTags, tagger);
    }
}

void fillRxPdo(GatewayConfig &config, int device, const std::vector<PdoEntry> &entries,
               Tagger &tagger) {
    const int rows = std::min<int>(int(entries.size()), kMaxPdoRows);
    config.RxPDO_rows[std::size_t(device)] = qint16(rows);
    for (int j = 1; j <= rows; ++j) {
        const PdoEntry &entry = entries[std::size_t(j - 1)];
        config.RxPDOTable.cell(device, j, 1) =
            entry.flag != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
        config.RxPDOTable.cell(device, j, 2) = hexText(entry.cobId);
        config.RxPDOTable.cell(device, j, 3) = byteText(entry.dataLength);
        tagPdoBytes(config.RxPDOTable, device, j, entry, kRxPdoTags, tagger);
    }
}

// Fills one SDO table and answers its row count.
qint16 fillSdo(CellTable &table, int device, const std::vector<SdoEntry> &entries,
               const TableTags &tags, Tagger &tagger) {
    const int rows = std::min<int>(int(entries.size()), kMaxSdoRows);
    for (int j = 1; j <= rows; ++j) {
        const SdoEntry &entry = entries[std::size_t(j - 1)];
        table.cell(device, j, 1) = hexText(entry.index);
        table.cell(device, j, 2) = subIndexText(entry.subIndex);
        if (entry.type == tags.wordCode)
            tagger.tagWord(table.cell(device, j, 3), table.cell(device, j, 4), tags);
        else
            tagger.tagByte(table.cell(device, j, 3), tags);
    }
    return qint16(rows);
}

void fillDevice(GatewayConfig &config, int device, const DeviceTables &tables, Tagger &tagger) {
    const auto d = std::size_t(device);
    fillTxPdo(config, device, tables.txPdo, tagger);
    fillRxPdo(config, device, tables.rxPdo, tagger);
    config.ReadSDO_rows[d] =
        fillSdo(config.ReadSDOTable, device, tables.readSdo, kReadSdoTags, tagger);
    config.WriteSDO_rows[d] =
        fillSdo(config.WriteSDOTable, device, tables.writeSdo, kWriteSdoTags, tagger);
}

int positionsOf(std::size_t listed) {
    return int(std::min<std::size_t>(listed, kMaxDevices));
}

constexpr std::array<const char *, kItemKinds> kCountNames{
    "DO items",     "DI items",     "AI items",     "AO items",
    "SDO DO items", "SDO DI items", "SDO AI items", "SDO AO items"};

} // namespace

std::optional<QString> deviceRecordProblem(const DeviceRecord &record, int device) {
    struct Field {
        const char *name;
        int value;
        int limit;
    };
    std::vector<Field> fields{{"TxPDO rows", record.txPdoRows, kMaxPdoRows},
                              {"RxPDO rows", record.rxPdoRows, kMaxPdoRows},
                              {"Read SDO rows", record.readSdoRows, kMaxSdoRows},
                              {"Write SDO rows", record.writeSdoRows, kMaxSdoRows}};
    for (std::size_t i = 0; i < record.counts.size(); ++i)
        fields.push_back({kCountNames[i], record.counts[i], kMaxItemCount});
    for (const Field &field : fields) {
        if (field.value > field.limit)
            return QStringLiteral("Refused a general reply: device %1 lists %2 %3; at most %4 "
                                  "fit.")
                .arg(device)
                .arg(field.value)
                .arg(QLatin1String(field.name))
                .arg(field.limit);
    }
    return std::nullopt;
}

void storeDeviceRecords(GatewayConfig &config, const GeneralReply &reply) {
    for (int k = 0; k < positionsOf(reply.devices.size()); ++k) {
        const auto position = std::size_t(k);
        const int device = config.DeviceOrder[position];
        const DeviceRecord &record = reply.devices[position];
        if (!isDeviceNumber(device) || deviceRecordProblem(record, k + 1))
            continue;
        const auto d = std::size_t(device);
        config.NodeID[position] = record.nodeId;
        config.GuardTime[d] = QString::number(record.guardTime);
        for (std::size_t i = 0; i < kRecordCountOrder.size(); ++i)
            config.counts(kRecordCountOrder[i])[position] = qint16(record.counts[i]);
        config.TxPDO_rows[d] = record.txPdoRows;
        config.RxPDO_rows[d] = record.rxPdoRows;
        config.ReadSDO_rows[d] = record.readSdoRows;
        config.WriteSDO_rows[d] = record.writeSdoRows;
    }
}

void storeSerialSettings(GatewayConfig &config, const SerialSettings &serial) {
    config.ComPortCode = serial.comPort;
    config.BaudRateCode = serial.baudRate;
    config.DataBitsCode = serial.dataBits;
    config.ParityCode = serial.parity;
    config.StopBitsCode = serial.stopBits;
    config.ListenMode = serial.listen;
}

std::optional<QString> checkTableReply(const GatewayConfig &config, const TableReply &reply) {
    const std::size_t listed = reply.devices.size();
    if (listed > std::size_t(kMaxDevices))
        return QStringLiteral("Refused a table reply: it holds %1 devices; the gateway "
                              "supports 1 to 10.")
            .arg(listed);
    for (std::size_t k = 0; k < listed; ++k) {
        if (!isDeviceNumber(config.DeviceOrder[k]))
            return QStringLiteral("Refused a table reply: it holds %1 devices, but place %2 of "
                                  "the device list has no device.")
                .arg(listed)
                .arg(k + 1);
    }
    return std::nullopt;
}

void applyTableReply(GatewayConfig &config, ReadBackCounters &counters, const TableReply &reply) {
    counters.resetNumbers();
    for (int kind = 0; kind < kItemKinds; ++kind)
        config.total(ItemKind(kind)) = 0;
    Tagger tagger(config, counters);
    for (int k = 0; k < positionsOf(reply.devices.size()); ++k) {
        const auto position = std::size_t(k);
        const int device = config.DeviceOrder[position];
        if (!isDeviceNumber(device))
            continue;
        config.NodeID[position] = reply.devices[position].nodeId;
        fillDevice(config, device, reply.devices[position], tagger);
    }
}

} // namespace tolvar
