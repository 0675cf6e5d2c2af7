#include "support/ModelInvariants.h"

#include <QRegularExpression>

#include <algorithm>

namespace tolvar::testing {
namespace {

// How one table tags its data bytes, written out here rather than taken from the table rules,
// so that the check does not share the code it checks.
struct TableRules {
    const char *name;
    CellTable GatewayConfig::*cells;
    PerDevice<qint16> GatewayConfig::*rows;
    int maxRows;
    int firstData;
    int lastData;
    int lastItemStart; // an SDO item starts in Byte0 only
    QString byteTag, lowTag, highTag;
    ItemKind byteKind, wordKind;
};

const TableRules kTables[] = {
    {"TxPDO", &GatewayConfig::TxPDOTable, &GatewayConfig::TxPDO_rows, kMaxPdoRows, 4, 11, 11,
     "P_DI", "P_AIL", "P_AIH", ItemKind::DI, ItemKind::AI},
    {"RxPDO", &GatewayConfig::RxPDOTable, &GatewayConfig::RxPDO_rows, kMaxPdoRows, 4, 11, 11,
     "P_DO", "P_AOL", "P_AOH", ItemKind::DO, ItemKind::AO},
    {"Read SDO", &GatewayConfig::ReadSDOTable, &GatewayConfig::ReadSDO_rows, kMaxSdoRows, 3, 4, 3,
     "S_DI", "S_AIL", "S_AIH", ItemKind::SDO_DI, ItemKind::SDO_AI},
    {"Write SDO", &GatewayConfig::WriteSDOTable, &GatewayConfig::WriteSDO_rows, kMaxSdoRows, 3, 4,
     3, "S_DO", "S_AOL", "S_AOH", ItemKind::SDO_DO, ItemKind::SDO_AO}};

// A few faults say enough; the rest would only repeat them.
void add(QStringList &faults, const QString &fault) {
    if (faults.size() < 6)
        faults << fault;
}

QString where(const TableRules &t, int device, int row, int column) {
    return QString::asprintf("%s device %d row %d column %d", t.name, device, row, column);
}

// Walks the counted rows of the listed devices in list order: every item stands where its
// table allows, a word's low byte is followed by its high byte, and each kind is numbered
// 1..n. Answers the entry count walked per device (0 for a device not listed).
PerDevice<int> checkNumbering(const GatewayConfig &config, const TableRules &t,
                              QStringList &faults) {
    // "NAME n", n from 1 without leading zeros.
    static const QRegularExpression tagPattern(QStringLiteral("^(\\S+) ([1-9]\\d*)$"));
    const CellTable &cells = config.*t.cells;
    PerDevice<int> walked{};
    int bytes = 0;
    int words = 0;
    for (qint16 device : config.DeviceOrder) {
        if (!isDeviceNumber(device) || walked[std::size_t(device)] != 0)
            continue;
        const int rows = std::clamp<int>((config.*t.rows)[std::size_t(device)], 0, t.maxRows);
        walked[std::size_t(device)] = rows;
        for (int row = 1; row <= rows; ++row) {
            for (int column = t.firstData; column <= t.lastData; ++column) {
                const QString &text = cells.cell(device, row, column);
                if (text.isEmpty())
                    continue;
                const QRegularExpressionMatch tag = tagPattern.match(text);
                const QString name = column <= t.lastItemStart ? tag.captured(1) : QString();
                const bool word =
                    name == t.lowTag && column < t.lastData &&
                    cells.cell(device, row, column + 1) == t.highTag + u' ' + tag.captured(2);
                if (name != t.byteTag && !word) {
                    add(faults, where(t, device, row, column) + " holds \"" + text +
                                    "\", which is no item of the table");
                    continue;
                }
                int &count = word ? words : bytes;
                if (tag.captured(2).toInt() != ++count)
                    add(faults, where(t, device, row, column) + ": " + text + " where " +
                                    QString::number(count) + " was due");
                column += word ? 1 : 0;
            }
        }
    }
    const auto total = [&](ItemKind kind, const QString &tag, int count) {
        if (config.total(kind) != count)
            add(faults, QString::asprintf("%s total of %s is %d, but %d are tagged", t.name,
                                          qPrintable(tag), config.total(kind), count));
    };
    total(t.byteKind, t.byteTag, bytes);
    total(t.wordKind, t.lowTag, words);
    return walked;
}

// Entry counts lie within the table; nothing outside the counted rows of the listed devices
// holds a data byte, and device 0, row 0 and column 0 are never stored.
void checkLimits(const GatewayConfig &config, const TableRules &t, const PerDevice<int> &walked,
                 QStringList &faults) {
    const CellTable &cells = config.*t.cells;
    for (int device = 0; device <= kMaxDevices; ++device) {
        const int count = (config.*t.rows)[std::size_t(device)];
        if (count < 0 || count > t.maxRows || (device == 0 && count != 0))
            add(faults,
                QString::asprintf("%s entry count of device %d is %d", t.name, device, count));
        for (int row = 0; row <= t.maxRows; ++row) {
            for (int column = 0; column < cells.columnCount(); ++column) {
                const bool fixed = device == 0 || row == 0 || column == 0;
                const bool uncounted = column >= t.firstData && row > walked[std::size_t(device)];
                const QString &text = cells.cell(device, row, column);
                if ((fixed || uncounted) && !text.isEmpty())
                    add(faults, where(t, device, row, column) + " holds \"" + text +
                                    "\" outside the counted entries");
            }
        }
    }
}

} // namespace

QStringList modelInvariantFaults(const GatewayConfig &config) {
    QStringList faults;
    PerDevice<int> seen{};
    for (qint16 device : config.DeviceOrder) {
        if (device < 0 || device > kMaxDevices)
            add(faults, QStringLiteral("the device list holds %1").arg(device));
        else if (device != 0 && ++seen[std::size_t(device)] == 2)
            add(faults, QStringLiteral("the device list holds device %1 twice").arg(device));
    }
    for (const TableRules &table : kTables)
        checkLimits(config, table, checkNumbering(config, table, faults), faults);
    return faults;
}

} // namespace tolvar::testing
