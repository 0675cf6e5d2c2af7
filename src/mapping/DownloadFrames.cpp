#include "mapping/DownloadFrames.h"

#include "link/CommandFrame.h"
#include "link/DeviceRecordBytes.h"
#include "mapping/CellNumber.h"
#include "mapping/ListedDevices.h"
#include "mapping/TableStream.h"

namespace tolvar {
namespace {

constexpr int kEthernetFrameLength = 31;
constexpr quint16 kEthernetRegisters = 15;
constexpr quint8 kEthernetByteCount = 30;
constexpr quint8 kEthernetUnitId = 1; // whatever the connection window shows

constexpr int kGeneralFixedLength = 30;
constexpr int kFrameCountOffset = 22;
constexpr int kFirstRecordOffset = 23;

constexpr std::array<ItemKind, kItemKinds> kRecordCountOrder{
    ItemKind::DO,     ItemKind::DI,     ItemKind::AI,     ItemKind::AO,
    ItemKind::SDO_DO, ItemKind::SDO_DI, ItemKind::SDO_AI, ItemKind::SDO_AO};

// Writes bytes into a frame from a given offset on; two-byte values go low byte first.
class FrameWriter {
public:
    FrameWriter(QByteArray &frame, int offset) : m_frame(frame), m_pos(offset) {}
    void byte(quint8 value) { m_frame[m_pos++] = static_cast<char>(value); }
    void word(quint16 value) {
        byte(static_cast<quint8>(value & 0xFF));
        byte(static_cast<quint8>(value >> 8));
    }

private:
    QByteArray &m_frame;
    int m_pos;
};

void writeSerial(FrameWriter &out, const GatewayConfig &config) {
    for (quint8 code : {config.ComPortCode, config.BaudRateCode, config.DataBitsCode,
                        config.ParityCode, config.StopBitsCode, config.ListenMode})
        out.byte(code);
}

} // namespace

std::optional<QByteArray> ethernetSettingsFrame(const SaveValues &values) {
    const std::array<const EthernetSetting *, 3> rows{&values.ip, &values.mask, &values.gateway};
    if (!values.ip.write && !values.mask.write && !values.gateway.write)
        return std::nullopt;
    QByteArray frame = CommandFrame{kEthernetUnitId, 'I', kEthernetRegisters, kEthernetByteCount,
                                    kEthernetFrameLength}
                           .encode();
    FrameWriter out(frame, frame::kCommandData);
    for (const EthernetSetting *row : rows)
        out.byte(row->write ? 1 : 0);
    for (const EthernetSetting *row : rows) {
        for (quint8 octet : row->octets)
            out.byte(row->write ? octet : 0);
    }
    return frame;
}

DeviceRecord deviceRecordAt(const GatewayConfig &config, int position) {
    const auto k = std::size_t(position);
    const ListedDevice device = listedDevice(config, position);
    DeviceRecord record;
    record.nodeId = config.NodeID[k];
    if (device.number != 0)
        record.guardTime = lowWord(cellNumber(config.GuardTime[std::size_t(device.number)]));
    for (std::size_t i = 0; i < kRecordCountOrder.size(); ++i)
        record.counts[i] = static_cast<quint16>(config.counts(kRecordCountOrder[i])[k]);
    record.txPdoRows = static_cast<quint8>(device.txPdoRows);
    record.rxPdoRows = static_cast<quint8>(device.rxPdoRows);
    record.readSdoRows = static_cast<quint8>(device.readSdoRows);
    record.writeSdoRows = static_cast<quint8>(device.writeSdoRows);
    return record;
}

QByteArray generalSettingsFrame(const SaveValues &values, const GatewayConfig &config,
                                int tableFrameCount) {
    const int devices = listedCount(values.deviceAmount);
    const int length = reply::kDeviceRecordSize * devices + kGeneralFixedLength;
    // Registers from the command mark to the last byte, rounded up to whole registers.
    const auto registers = static_cast<quint16>((reply::kDeviceRecordSize * devices + 16) / 2 + 1);
    QByteArray frame =
        CommandFrame{values.unitId, 'R', registers, static_cast<quint8>(2 * registers), length}
            .encode();
    FrameWriter head(frame, frame::kCommandData);
    head.byte(static_cast<quint8>(devices));
    head.byte(values.serialId);
    head.byte(values.canBitRateCode);
    frame[kFrameCountOffset] = static_cast<char>(tableFrameCount);
    // The SYNC value and time stay zero: the gateway keeps its own.
    FrameWriter body(frame, kFirstRecordOffset);
    for (int position = 0; position < devices; ++position)
        for (char recordByte : encodeDeviceRecord(deviceRecordAt(config, position)))
            body.byte(static_cast<quint8>(recordByte));
    writeSerial(body, config);
    return frame;
}

DownloadPlan planDownload(const SaveValues &values, const GatewayConfig &config) {
    const QByteArray stream = buildTableStream(config, values.deviceAmount);
    DownloadPlan plan;
    plan.ethernetFrame = ethernetSettingsFrame(values);
    plan.tableFrames = tableFrames(stream, values.unitId);
    plan.generalFrame = generalSettingsFrame(values, config, int(plan.tableFrames.size()));
    return plan;
}

} // namespace tolvar
