#pragma once

#include "link/Replies.h"
#include "model/GatewayConfig.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

namespace tolvar {

// One row of the Ethernet parameters: whether it is written, and its four octets.
struct EthernetSetting {
    bool write = false;
    std::array<quint8, 4> octets{}; // zero when the row is not written
    bool operator==(const EthernetSetting &) const = default;
};

// What a download takes from the windows, once checked (see checkSave).
struct SaveValues {
    EthernetSetting ip;
    EthernetSetting mask;
    EthernetSetting gateway;
    quint8 deviceAmount = 1; // 1..10
    quint8 serialId = 1;
    quint8 unitId = 1;
    quint8 canBitRateCode = 0;
    bool operator==(const SaveValues &) const = default;
};

// Every frame of one download, in sending order: the Ethernet frame when a row is written, the
// general settings frame, then the table frames.
struct DownloadPlan {
    std::optional<QByteArray> ethernetFrame;
    QByteArray generalFrame;
    std::vector<QByteArray> tableFrames;
};

// The 31-byte #ID frame; none when no Ethernet row is written.
std::optional<QByteArray> ethernetSettingsFrame(const SaveValues &values);

// The record of list position k: node ID and counts at k, guarding time and row counts of the
// device DeviceOrder[k].
DeviceRecord deviceRecordAt(const GatewayConfig &config, int position);

// The #RD frame of 23·N + 30 bytes announcing `tableFrameCount` #SD frames.
QByteArray generalSettingsFrame(const SaveValues &values, const GatewayConfig &config,
                                int tableFrameCount);

DownloadPlan planDownload(const SaveValues &values, const GatewayConfig &config);

} // namespace tolvar
