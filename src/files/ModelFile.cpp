#include "files/ModelFile.h"

#include "files/ConfigurationFile.h"
#include "gateway/ReplyEncoder.h"
#include "link/ReplyParser.h"
#include "mapping/CellNumber.h"
#include "mapping/ListedDevices.h"
#include "mapping/TableStream.h"
#include "model/NumericText.h"

namespace tolvar {
namespace {

constexpr int kDataLengthColumn = 3;

// Thrown inside the conversion only; configurationOf turns it into its message.
struct Refusal {
    QString message;
};

[[noreturn]] void refuse(QString message) {
    throw Refusal{std::move(message)};
}

quint8 byteOf(const QString &text, const QString &field, int lo = 0, int hi = 255) {
    const auto value = strictWholeNumber(text, lo, hi);
    if (!value)
        refuse(QStringLiteral("%1 is \"%2\": type a whole number from %3 to %4.")
                   .arg(field, text)
                   .arg(lo)
                   .arg(hi));
    return quint8(*value);
}

std::array<quint8, 4> octetsOf(const std::array<QString, 4> &texts, const QString &row) {
    std::array<quint8, 4> octets{};
    for (std::size_t i = 0; i < texts.size(); ++i)
        octets[i] = byteOf(texts[i], QStringLiteral("%1 octet %2").arg(row).arg(i + 1));
    return octets;
}

// A device never given a guarding time has the empty text, which a download sends as 0.
quint16 guardTimeOf(const QString &text, int device) {
    if (text.isEmpty())
        return 0;
    const auto value = strictWholeNumber(text, 0, 0xFFFF);
    if (!value)
        refuse(QStringLiteral("Device %1: the guarding time is \"%2\": type a whole number of "
                              "milliseconds from 0 to 65535.")
                   .arg(device)
                   .arg(text));
    return quint16(*value);
}

// The file holds an area code for every byte within the data length, and a word as two
// neighbouring bytes with the word code; anything else could not be read back the same.
void checkPdoRow(const CellTable &table, const QString &name, quint8 wordCode, int device,
                 int row) {
    const QString entry = QStringLiteral("Device %1, %2 row %3").arg(device).arg(name).arg(row);
    const QString &lengthText = table.cell(device, row, kDataLengthColumn);
    const quint8 length = lowByte(cellNumber(lengthText));
    if (length > kPdoDataBytes)
        refuse(QStringLiteral("%1: the data length \"%2\" is over 8. Set it from 1 to 8.")
                   .arg(entry, lengthText));
    const auto cell = [&](int byte) -> const QString & {
        return table.cell(device, row, kFirstPdoByteColumn + byte);
    };
    for (int byte = 0; byte < length; ++byte) {
        if (cell(byte).isEmpty())
            refuse(QStringLiteral("%1: the data length %2 covers Byte%3, which has no type. "
                                  "Give Byte%3 a type, or shorten the data length.")
                       .arg(entry)
                       .arg(length)
                       .arg(byte));
    }
    for (int byte = 0; byte < length; ++byte) {
        if (AreaCode(cell(byte)) != wordCode)
            continue;
        if (byte + 1 >= length || AreaCode(cell(byte + 1)) != wordCode)
            refuse(QStringLiteral("%1: Byte%2 (%3) is half a word; a word takes two "
                                  "neighbouring bytes within the data length. Type the word "
                                  "again, or make Byte%2 a byte.")
                       .arg(entry)
                       .arg(byte)
                       .arg(cell(byte)));
        ++byte;
    }
}

void checkPdoRows(const GatewayConfig &model, int deviceAmount) {
    for (int position = 0; position < listedCount(deviceAmount); ++position) {
        const ListedDevice device = listedDevice(model, position);
        if (device.number == 0)
            refuse(QStringLiteral("Place %1 of the device list has no device: choose the "
                                  "Device Amount again.")
                       .arg(position + 1));
        for (int row = 1; row <= device.txPdoRows; ++row)
            checkPdoRow(model.TxPDOTable, QStringLiteral("TxPDO"), quint8(Area::AnalogInput),
                        device.number, row);
        for (int row = 1; row <= device.rxPdoRows; ++row)
            checkPdoRow(model.RxPDOTable, QStringLiteral("RxPDO"), quint8(Area::AnalogOutput),
                        device.number, row);
    }
}

// The tables as a download sends them, read back by the table reply's own reader.
TableReply tablesOf(const GatewayConfig &model, int deviceAmount) {
    const QByteArray reply = encodeReply(TableReply{}) + buildTableStream(model, deviceAmount);
    ParseOutcome outcome = parseReply(reply, deviceAmount);
    if (outcome.status != ParseOutcome::Status::Complete || outcome.length != reply.size())
        refuse(outcome.problem.isEmpty() ? QStringLiteral("The tables cannot be read back.")
                                         : outcome.problem);
    return std::get<TableReply>(std::move(outcome.reply));
}

StoredConfiguration convert(const GatewayConfig &model, const NetworkTexts &network) {
    StoredConfiguration config;
    config.ethernet = {octetsOf(network.ip, QStringLiteral("IP")),
                       octetsOf(network.mask, QStringLiteral("MASK")),
                       octetsOf(network.gateway, QStringLiteral("Gateway"))};
    const int amount =
        byteOf(network.deviceAmount, QStringLiteral("Device Amount"), 1, kMaxDevices);
    config.serialId = byteOf(network.serialId, QStringLiteral("ID (Tolvar Parameters)"));
    config.canBitRateCode = quint8(network.canBitRateCode);
    config.sync = byteOf(network.sync, QStringLiteral("SYNC"));
    config.syncTime = byteOf(network.syncTime, QStringLiteral("SYNC Time"));
    config.serial = {model.ComPortCode, model.BaudRateCode, model.DataBitsCode,
                     model.ParityCode,  model.StopBitsCode, model.ListenMode};
    checkPdoRows(model, amount);
    const TableReply tables = tablesOf(model, amount);
    config.devices.clear();
    for (int position = 0; position < amount; ++position) {
        const int device = listedDevice(model, position).number;
        const DeviceTables &read = tables.devices[std::size_t(position)];
        config.devices.push_back(
            StoredDevice{read.nodeId, guardTimeOf(model.GuardTime[std::size_t(device)], device),
                         read.txPdo, read.rxPdo, read.readSdo, read.writeSdo});
    }
    return config;
}

} // namespace

std::variant<StoredConfiguration, QString> configurationOf(const GatewayConfig &model,
                                                           const NetworkTexts &network) {
    StoredConfiguration config;
    try {
        config = convert(model, network);
    } catch (const Refusal &refusal) {
        return refusal.message;
    }
    // Whatever is written must load back as it is.
    auto reloaded = parseConfiguration(formatConfiguration(config));
    if (const auto *problem = std::get_if<QString>(&reloaded))
        return QStringLiteral("A configuration file cannot hold this: %1").arg(*problem);
    if (std::get<StoredConfiguration>(reloaded) != config)
        return QStringLiteral("A configuration file cannot hold these tables as they are.");
    return config;
}

ReadBackCopy readBackOf(const StoredConfiguration &config) {
    return readBackOf(ethernetReplyOf(config), generalReplyOf(config), tableReplyOf(config));
}

ReadBackCopy readBackOf(const EthernetReply &ethernet, const GeneralReply &general,
                        const TableReply &tables) {
    ReadBackCopy copy;
    copy.take(ethernet);
    copy.take(general);
    copy.take(tables);
    return copy;
}

} // namespace tolvar
