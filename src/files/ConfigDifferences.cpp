#include "files/ConfigDifferences.h"

#include "files/ModbusMap.h"
#include "files/ModelFile.h"
#include "network/CanBitRates.h"
#include "network/SerialCodes.h"

#include <algorithm>

namespace tolvar {
namespace {

const QString kNone = QStringLiteral("(none)");

QString hex(int value, int digits) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString canBitRate(int code) {
    if (const auto rate = canBitRateByCode(code))
        return rate->kbits + QStringLiteral(" kbit/s");
    return QStringLiteral("code %1").arg(code);
}

QString serial(SerialSetting setting, int code) {
    return serialText(setting, code).value_or(QStringLiteral("code %1").arg(code));
}

QString areaText(int code) {
    static const QStringList names{QStringLiteral("DO"), QStringLiteral("DI"), QStringLiteral("AI"),
                                   QStringLiteral("AO")};
    return names.value(code, QStringLiteral("code %1").arg(code));
}

class Comparer {
public:
    explicit Comparer(std::vector<ConfigDifference> &out) : m_out(out) {}

    // Compares within one place: the device, table and row given.
    void at(int device, const QString &table, int row) {
        m_device = device;
        m_table = table;
        m_row = row;
    }
    void field(const QString &name, const QString &gateway, const QString &utility) {
        if (gateway != utility)
            m_out.push_back({m_device, m_table, m_row, name, gateway, utility});
    }
    void number(const QString &name, int gateway, int utility) {
        field(name, QString::number(gateway), QString::number(utility));
    }

private:
    std::vector<ConfigDifference> &m_out;
    int m_device = 0;
    QString m_table;
    int m_row = 0;
};

void compareGateway(Comparer &c, const StoredConfiguration &g, const StoredConfiguration &u) {
    c.at(0, {}, 0);
    c.field(QStringLiteral("IP"), dottedOctets(g.ethernet.ip), dottedOctets(u.ethernet.ip));
    c.field(QStringLiteral("MASK"), dottedOctets(g.ethernet.mask), dottedOctets(u.ethernet.mask));
    c.field(QStringLiteral("Gateway"), dottedOctets(g.ethernet.gateway),
            dottedOctets(u.ethernet.gateway));
    c.number(QStringLiteral("Device Amount"), int(g.devices.size()), int(u.devices.size()));
    c.number(QStringLiteral("ID"), g.serialId, u.serialId);
    c.field(QStringLiteral("CAN bit rate"), canBitRate(g.canBitRateCode),
            canBitRate(u.canBitRateCode));
    c.number(QStringLiteral("SYNC"), g.sync, u.sync);
    c.number(QStringLiteral("SYNC Time"), g.syncTime, u.syncTime);
    const std::array<std::tuple<const char *, SerialSetting, quint8, quint8>, 5> codes{{
        {"Com Port", SerialSetting::ComPort, g.serial.comPort, u.serial.comPort},
        {"Baudrate", SerialSetting::Baud, g.serial.baudRate, u.serial.baudRate},
        {"DATA Bit", SerialSetting::DataBits, g.serial.dataBits, u.serial.dataBits},
        {"Parity", SerialSetting::Parity, g.serial.parity, u.serial.parity},
        {"STOP Bit", SerialSetting::StopBits, g.serial.stopBits, u.serial.stopBits},
    }};
    for (const auto &[name, setting, gateway, utility] : codes)
        c.field(QLatin1String(name), serial(setting, gateway), serial(setting, utility));
    c.number(QStringLiteral("Listen mode"), g.serial.listen, u.serial.listen);
}

QString pdoSummary(const PdoEntry &entry) {
    return QStringLiteral("COB-ID %1, %2 data byte(s)")
        .arg(hex(entry.cobId, 3))
        .arg(entry.dataLength);
}

QString sdoSummary(const SdoEntry &entry) {
    return QStringLiteral("index %1 sub-index %2, %3")
        .arg(hex(entry.index, 4), hex(entry.subIndex, 2), areaText(entry.type));
}

void comparePdo(Comparer &c, const PdoEntry &g, const PdoEntry &u, bool receive) {
    c.field(QStringLiteral("COB-ID"), hex(g.cobId, 3), hex(u.cobId, 3));
    c.number(receive ? QStringLiteral("Cycle") : QStringLiteral("RTR"), g.flag, u.flag);
    c.number(QStringLiteral("DLen"), g.dataLength, u.dataLength);
    const qsizetype bytes = std::max(g.typeBytes.size(), u.typeBytes.size());
    for (qsizetype m = 0; m < bytes; ++m) {
        const auto area = [m](const PdoEntry &e) {
            return m < e.typeBytes.size() ? areaText(quint8(e.typeBytes[m])) : kNone;
        };
        c.field(QStringLiteral("Byte%1").arg(m), area(g), area(u));
    }
}

void compareSdo(Comparer &c, const SdoEntry &g, const SdoEntry &u, bool) {
    c.field(QStringLiteral("Index"), hex(g.index, 4), hex(u.index, 4));
    c.field(QStringLiteral("Sub-index"), hex(g.subIndex, 2), hex(u.subIndex, 2));
    c.field(QStringLiteral("Type"), areaText(g.type), areaText(u.type));
}

template <typename Entry, typename Compare, typename Summary>
void compareTable(Comparer &c, int device, SourceTable table, const std::vector<Entry> &g,
                  const std::vector<Entry> &u, Compare compare, Summary summary) {
    const QString name = tableName(table);
    c.at(device, name, 0);
    c.number(QStringLiteral("rows"), int(g.size()), int(u.size()));
    const bool receive = table == SourceTable::RxPDO;
    for (std::size_t j = 0; j < std::max(g.size(), u.size()); ++j) {
        c.at(device, name, int(j + 1));
        if (j < g.size() && j < u.size())
            compare(c, g[j], u[j], receive);
        else
            c.field(QStringLiteral("entry"), j < g.size() ? summary(g[j]) : kNone,
                    j < u.size() ? summary(u[j]) : kNone);
    }
}

void compareDevice(Comparer &c, int device, const StoredDevice &g, const StoredDevice &u) {
    c.at(device, {}, 0);
    c.number(QStringLiteral("node ID"), g.nodeId, u.nodeId);
    c.number(QStringLiteral("guarding time"), g.guardTime, u.guardTime);
    compareTable(c, device, SourceTable::TxPDO, g.txPdo, u.txPdo, comparePdo, pdoSummary);
    compareTable(c, device, SourceTable::RxPDO, g.rxPdo, u.rxPdo, comparePdo, pdoSummary);
    compareTable(c, device, SourceTable::ReadSDO, g.readSdo, u.readSdo, compareSdo, sdoSummary);
    compareTable(c, device, SourceTable::WriteSDO, g.writeSdo, u.writeSdo, compareSdo, sdoSummary);
}

QString deviceSummary(const std::vector<StoredDevice> &devices, std::size_t k) {
    return k < devices.size() ? QStringLiteral("node ID %1").arg(devices[k].nodeId) : kNone;
}

} // namespace

std::vector<ConfigDifference> compareConfigurations(const StoredConfiguration &gateway,
                                                    const StoredConfiguration &utility) {
    std::vector<ConfigDifference> differences;
    Comparer c(differences);
    compareGateway(c, gateway, utility);
    const std::size_t devices = std::max(gateway.devices.size(), utility.devices.size());
    for (std::size_t k = 0; k < devices; ++k) {
        const int device = int(k + 1);
        if (k < gateway.devices.size() && k < utility.devices.size()) {
            compareDevice(c, device, gateway.devices[k], utility.devices[k]);
        } else {
            c.at(device, {}, 0);
            c.field(QStringLiteral("device"), deviceSummary(gateway.devices, k),
                    deviceSummary(utility.devices, k));
        }
    }
    return differences;
}

Comparison compareWithGateway(const ReadBackCopy &gateway, const GatewayConfig &model,
                              const NetworkTexts &network) {
    if (gateway.refusal())
        return QStringLiteral("The gateway's tables could not be read: %1").arg(*gateway.refusal());
    if (!gateway.complete())
        return QStringLiteral("The gateway did not answer all three read commands (#PD, #GD, "
                              "#HD); nothing was compared.");
    const auto held = configurationOf(gateway.model, gateway.network);
    if (const auto *problem = std::get_if<QString>(&held))
        return QStringLiteral("The gateway's configuration cannot be compared: %1").arg(*problem);
    const auto shown = configurationOf(model, network);
    if (const auto *problem = std::get_if<QString>(&shown))
        return QStringLiteral("This configuration cannot be compared: %1").arg(*problem);
    return compareConfigurations(std::get<StoredConfiguration>(held),
                                 std::get<StoredConfiguration>(shown));
}

QString sentAndVerifiedText(const Comparison &comparison) {
    if (const auto *reason = std::get_if<QString>(&comparison))
        return QStringLiteral("Configuration sent, but not verified: %1").arg(*reason);
    const auto &differences = std::get<std::vector<ConfigDifference>>(comparison);
    if (differences.empty())
        return QStringLiteral("Configuration sent and verified: the gateway holds it.");
    return QStringLiteral("Configuration sent, but the gateway holds something else: %1 "
                          "differences (first: %2).")
        .arg(differences.size())
        .arg(differenceText(differences.front()));
}

QString differenceText(const ConfigDifference &difference) {
    return differenceText(difference, QStringLiteral("gateway"), QStringLiteral("utility"));
}

QString differenceText(const ConfigDifference &difference, const QString &gatewaySide,
                       const QString &utilitySide) {
    QStringList place;
    if (difference.device != 0)
        place << QStringLiteral("Device %1").arg(difference.device);
    if (!difference.table.isEmpty())
        place << (difference.row != 0
                      ? QStringLiteral("%1 row %2").arg(difference.table).arg(difference.row)
                      : difference.table);
    place << difference.field;
    return QStringLiteral("%1: %2 %3, %4 %5")
        .arg(place.join(QStringLiteral(", ")), gatewaySide, difference.gatewayValue, utilitySide,
             difference.utilityValue);
}

} // namespace tolvar
