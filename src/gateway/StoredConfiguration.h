#pragma once

#include "link/Replies.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace tolvar {

// One CANopen slave: what the gateway stores for it.
struct StoredDevice {
    quint8 nodeId = 1;
    quint16 guardTime = 1000;
    std::vector<PdoEntry> txPdo;
    std::vector<PdoEntry> rxPdo;
    std::vector<SdoEntry> readSdo;
    std::vector<SdoEntry> writeSdo;
    bool operator==(const StoredDevice &) const = default;
};

// The configuration a gateway holds. Defaults are those of a gateway fresh from
// the factory with one slave (node ID 1) and empty tables.
struct StoredConfiguration {
    EthernetReply ethernet{{192, 168, 255, 3}, {255, 255, 0, 0}, {192, 168, 255, 4}};
    quint8 serialId = 1;
    quint8 canBitRateCode = 0;
    quint8 sync = 0;
    quint8 syncTime = 0;
    SerialSettings serial{1, 3, 1, 1, 1, 0};
    std::vector<StoredDevice> devices{StoredDevice{}};
    // The Ethernet rows (IP, mask, gateway) a command-line download with --ethernet writes. The
    // gateway does not store this: it is how a file tells such a download which rows to send.
    std::array<bool, 3> ethernetWrite{};
    bool operator==(const StoredConfiguration &) const = default;
};

// The record counts of a device follow from its tables; they are never stored separately.
DeviceRecord deviceRecordOf(const StoredDevice &device);

// The three replies the gateway gives for #PD, #GD and #HD.
EthernetReply ethernetReplyOf(const StoredConfiguration &config);
GeneralReply generalReplyOf(const StoredConfiguration &config);
TableReply tableReplyOf(const StoredConfiguration &config);

// Four octets as the user writes them: "192.168.255.3".
QString dottedOctets(const std::array<quint8, 4> &octets);

} // namespace tolvar
