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

// The number of the JSON format read and written here; a file without one is format 1.
inline constexpr int kConfigurationFormat = 1;

// One simulated CANopen slave: what the gateway stores for it.
struct SimDevice {
    quint8 nodeId = 1;
    quint16 guardTime = 1000;
    std::vector<PdoEntry> txPdo;
    std::vector<PdoEntry> rxPdo;
    std::vector<SdoEntry> readSdo;
    std::vector<SdoEntry> writeSdo;
    bool operator==(const SimDevice &) const = default;
};

// The configuration the simulated gateway holds. Defaults are those of a gateway fresh from
// the factory with one slave (node ID 1) and empty tables.
struct SimConfig {
    EthernetReply ethernet{{192, 168, 255, 3}, {255, 255, 0, 0}, {192, 168, 255, 4}};
    quint8 serialId = 1;
    quint8 canBitRateCode = 0;
    quint8 sync = 0;
    quint8 syncTime = 0;
    SerialSettings serial{1, 3, 1, 1, 1, 0};
    std::vector<SimDevice> devices{SimDevice{}};
    bool operator==(const SimConfig &) const = default;
};

// The record counts of a device follow from its tables; they are never stored separately.
DeviceRecord deviceRecordOf(const SimDevice &device);

// The three replies the gateway gives for #PD, #GD and #HD.
EthernetReply ethernetReplyOf(const SimConfig &config);
GeneralReply generalReplyOf(const SimConfig &config);
TableReply tableReplyOf(const SimConfig &config);

// Four octets as the user writes them: "192.168.255.3".
QString dottedOctets(const std::array<quint8, 4> &octets);

// No configuration file is larger; the largest valid one (examples/maximal.json) is far smaller.
inline constexpr qsizetype kMaxConfigurationBytes = 4 * 1024 * 1024;

// Reads a JSON configuration (format in docs/configuration-format.md). Refusals are one line of
// at most 300 characters that names the place in the document, e.g.
// "devices[1].txPdo[4].areas: 9 data bytes; at most 8"; values are cut and shown escaped.
std::variant<SimConfig, QString> loadSimConfig(const QByteArray &json);

// As loadSimConfig; messages start with the file path. Reads only regular files of at most
// kMaxConfigurationBytes, and never more than one byte past that.
std::variant<SimConfig, QString> loadSimConfigFile(const QString &path);

// The configuration as JSON that loadSimConfig reads back equal: every key written, COB-IDs
// and indexes in "0x..." hex, one table row per line.
QByteArray saveSimConfig(const SimConfig &config);

// Writes saveSimConfig to `path` atomically; on failure the message, starting with the path.
std::optional<QString> saveSimConfigFile(const SimConfig &config, const QString &path);

} // namespace tolvar
