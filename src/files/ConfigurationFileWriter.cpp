#include "files/AtomicFile.h"
#include "files/ConfigurationFile.h"

#include <QStringList>

namespace tolvar {

namespace {

QString hex(quint16 value) {
    return QStringLiteral("\"0x%1\"").arg(QString::number(value, 16).toUpper());
}

template <typename Values> QString list(const Values &values) {
    QStringList numbers;
    for (const auto value : values) {
        numbers << QString::number(static_cast<quint8>(value));
    }
    return QLatin1Char('[') + numbers.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString pdoRow(const PdoEntry &entry, const char *flagKey) {
    return QStringLiteral("{ \"cobId\": %1, \"%2\": %3, \"areas\": %4 }")
        .arg(hex(entry.cobId), QLatin1String(flagKey))
        .arg(entry.flag)
        .arg(list(entry.typeBytes));
}

QString sdoRow(const SdoEntry &entry) {
    return QStringLiteral("{ \"index\": %1, \"subIndex\": %2, \"area\": %3 }")
        .arg(hex(entry.index))
        .arg(entry.subIndex)
        .arg(entry.type);
}

// `"key": [` with one row per line and the closing bracket, or `"key": []`.
void appendTable(QStringList &lines, const QString &indent, const char *key,
                 const QStringList &rows, const char *end) {
    const QString head = indent + QStringLiteral("\"%1\": [").arg(QLatin1String(key));
    if (rows.isEmpty()) {
        lines << head + QLatin1Char(']') + QLatin1String(end);
        return;
    }
    lines << head;
    lines << indent + QStringLiteral("  ") +
                 rows.join(QStringLiteral(",\n") + indent + QStringLiteral("  "));
    lines << indent + QLatin1Char(']') + QLatin1String(end);
}

template <typename Entry, typename Row>
QStringList rowsOf(const std::vector<Entry> &entries, Row row) {
    QStringList rows;
    for (const Entry &entry : entries) {
        rows << row(entry);
    }
    return rows;
}

// `, "write": ["ip", ...]` when a row is marked; nothing otherwise, so that files without marks
// keep their bytes.
QString ethernetWrite(const std::array<bool, 3> &marks) {
    QStringList rows;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (marks[i]) {
            rows << QStringLiteral("\"%1\"").arg(QLatin1String(kEthernetRowKeys[i]));
        }
    }
    return rows.isEmpty()
               ? QString()
               : QStringLiteral(", \"write\": [%1]").arg(rows.join(QStringLiteral(", ")));
}

void appendDevice(QStringList &lines, const StoredDevice &device, bool last) {
    const QString indent = QStringLiteral("      ");
    lines << QStringLiteral("    {");
    lines << indent + QStringLiteral("\"nodeId\": %1,").arg(device.nodeId);
    lines << indent + QStringLiteral("\"guardTime\": %1,").arg(device.guardTime);
    appendTable(lines, indent, "txPdo",
                rowsOf(device.txPdo, [](const PdoEntry &e) { return pdoRow(e, "rtr"); }), ",");
    appendTable(lines, indent, "rxPdo",
                rowsOf(device.rxPdo, [](const PdoEntry &e) { return pdoRow(e, "cycle"); }), ",");
    appendTable(lines, indent, "readSdo", rowsOf(device.readSdo, sdoRow), ",");
    appendTable(lines, indent, "writeSdo", rowsOf(device.writeSdo, sdoRow), "");
    lines << QStringLiteral("    }") + (last ? QString() : QStringLiteral(","));
}

} // namespace

QByteArray formatConfiguration(const StoredConfiguration &config) {
    const EthernetReply &net = config.ethernet;
    const SerialSettings &serial = config.serial;
    QStringList lines{QStringLiteral("{")};
    lines << QStringLiteral("  \"format\": %1,").arg(kConfigurationFormat);
    lines << QStringLiteral("  \"ethernet\": { \"ip\": %1, \"mask\": %2, \"gateway\": %3%4 },")
                 .arg(list(net.ip), list(net.mask), list(net.gateway),
                      ethernetWrite(config.ethernetWrite));
    lines << QStringLiteral("  \"serialId\": %1,").arg(config.serialId);
    lines << QStringLiteral("  \"canBitRateCode\": %1,").arg(config.canBitRateCode);
    lines << QStringLiteral("  \"sync\": %1,").arg(config.sync);
    lines << QStringLiteral("  \"syncTime\": %1,").arg(config.syncTime);
    lines << QStringLiteral("  \"serial\": { \"port\": %1, \"baudRate\": %2, \"dataBits\": %3, "
                            "\"parity\": %4, \"stopBits\": %5, \"listen\": %6 },")
                 .arg(serial.comPort)
                 .arg(serial.baudRate)
                 .arg(serial.dataBits)
                 .arg(serial.parity)
                 .arg(serial.stopBits)
                 .arg(serial.listen);
    lines << QStringLiteral("  \"devices\": [");
    for (std::size_t k = 0; k < config.devices.size(); ++k) {
        appendDevice(lines, config.devices[k], k + 1 == config.devices.size());
    }
    lines << QStringLiteral("  ]") << QStringLiteral("}");
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

std::optional<QString> saveConfigurationFile(const StoredConfiguration &config,
                                             const QString &path) {
    return writeFileAtomically(path, formatConfiguration(config));
}

} // namespace tolvar
