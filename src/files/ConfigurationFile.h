#pragma once

#include "gateway/StoredConfiguration.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <variant>

namespace tolvar {

// The number of the JSON format read and written here; a file without one is format 1.
inline constexpr int kConfigurationFormat = 1;

// No configuration file is larger; the largest valid one (examples/maximal.json) is far smaller.
inline constexpr qsizetype kMaxConfigurationBytes = 4 * 1024 * 1024;

// The Ethernet rows in the order of the file's "ethernet" keys and of ethernetWrite.
inline constexpr std::array<const char *, 3> kEthernetRowKeys{"ip", "mask", "gateway"};

// Reads a JSON configuration (format in docs/configuration-format.md). Refusals are one line of
// at most 300 characters that names the place in the document, e.g.
// "devices[1].txPdo[4].areas: 9 data bytes; at most 8"; values are cut and shown escaped.
std::variant<StoredConfiguration, QString> parseConfiguration(const QByteArray &json);

// As parseConfiguration; messages start with the file path. Reads only regular files of at most
// kMaxConfigurationBytes, and never more than one byte past that.
std::variant<StoredConfiguration, QString> loadConfigurationFile(const QString &path);

// The configuration as JSON that parseConfiguration reads back equal: every key written, COB-IDs
// and indexes in "0x..." hex, one table row per line.
QByteArray formatConfiguration(const StoredConfiguration &config);

// Writes formatConfiguration to `path` atomically; on failure the message, starting with the path.
std::optional<QString> saveConfigurationFile(const StoredConfiguration &config,
                                             const QString &path);

} // namespace tolvar
