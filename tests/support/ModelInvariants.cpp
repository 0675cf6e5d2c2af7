#include "support/ModelInvariants.h"

#include <algorithm>
#include <optional>

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

struct Tag {
    QString name;
    int number = 0;
};

// "NAME n" with n a whole number from 1 written without leading zeros.
std::optional<Tag> parseTag(const QString &text) {
    const qsizetype blank = text.indexOf(u' ');
    if (blank <= 0)
        return std::nullopt;
    const QString digits = text.mid(blank + 1);
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 1 || digits != QString::number(number))
        return std::nullopt;
    return Tag{text.left(blank), number};
}

class Faults {
public:
    void add(const QString &fault) {
        if (m_list.size() < 6)
            m_list << fault;
    }
    QStringList list() const { return m_list; }

private:
    QStringList m_list;
};

QString where(const TableRules &t, int device, int row, int column) {
    return QStringLiteral("%1 device %2 row %3 column %4")
        .arg(t.name)
        .arg(device)
        .arg(row)
        .arg(column);
}

// Walks the counted rows of the listed devices in list order, checking every tag's place and
// number; answers the devices walked.
std::array<bool, kMaxDevices + 1> checkNumbering(const GatewayConfig &config, const TableRules &t,
                                                 Faults &faults) {
    const CellTable &cells = config.*t.cells;
    std::array<bool, kMaxDevices + 1> walked{};
    int bytes = 0;
    int words = 0;
    const auto numbered = [&](int &count, const Tag &tag, const QString &at) {
        if (tag.number != ++count)
            faults.add(QStringLiteral("%1: %2 %3 where %4 was due")
                           .arg(at, tag.name)
                           .arg(tag.number)
                           .arg(count));
    };
    for (qint16 device : config.DeviceOrder) {
        if (!isDeviceNumber(device) || walked[std::size_t(device)])
            continue;
        walked[std::size_t(device)] = true;
        const int rows = std::clamp<int>((config.*t.rows)[std::size_t(device)], 0, t.maxRows);
        for (int row = 1; row <= rows; ++row) {
            for (int column = t.firstData; column <= t.lastData; ++column) {
                const QString &text = cells.cell(device, row, column);
                if (text.isEmpty())
                    continue;
                const QString at = where(t, device, row, column);
                const std::optional<Tag> tag = parseTag(text);
                const bool starts = tag && column <= t.lastItemStart;
                if (starts && tag->name == t.byteTag) {
                    numbered(bytes, *tag, at);
                } else if (starts && tag->name == t.lowTag && column < t.lastData &&
                           cells.cell(device, row, column + 1) ==
                               QStringLiteral("%1 %2").arg(t.highTag).arg(tag->number)) {
                    numbered(words, *tag, at);
                    ++column;
                } else {
                    faults.add(QStringLiteral("%1 holds \"%2\", which is no item of the table")
                                   .arg(at, text));
                }
            }
        }
    }
    const auto total = [&](ItemKind kind, const QString &tag, int count) {
        if (config.total(kind) != count)
            faults.add(QStringLiteral("%1 total of %2 is %3, but %4 are tagged")
                           .arg(t.name, tag)
                           .arg(config.total(kind))
                           .arg(count));
    };
    total(t.byteKind, t.byteTag, bytes);
    total(t.wordKind, t.lowTag, words);
    return walked;
}

// Nothing outside the counted rows of the listed devices holds a data byte, and the row and
// column numbers of the grids are never stored.
void checkOutside(const GatewayConfig &config, const TableRules &t,
                  const std::array<bool, kMaxDevices + 1> &walked, Faults &faults) {
    const CellTable &cells = config.*t.cells;
    for (int device = 0; device <= kMaxDevices; ++device) {
        const int counted = walked[std::size_t(device)] ? (config.*t.rows)[std::size_t(device)] : 0;
        for (int row = 0; row <= t.maxRows; ++row) {
            for (int column = 0; column < cells.columnCount(); ++column) {
                const bool fixed = device == 0 || row == 0 || column == 0;
                const bool uncountedData = column >= t.firstData && row > counted;
                const QString &text = cells.cell(device, row, column);
                if ((fixed || uncountedData) && !text.isEmpty())
                    faults.add(QStringLiteral("%1 holds \"%2\" outside the counted entries")
                                   .arg(where(t, device, row, column), text));
            }
        }
    }
}

void checkLimits(const GatewayConfig &config, const TableRules &t, Faults &faults) {
    const PerDevice<qint16> &rows = config.*t.rows;
    for (int device = 0; device <= kMaxDevices; ++device) {
        const int count = rows[std::size_t(device)];
        if (count < 0 || count > t.maxRows || (device == 0 && count != 0))
            faults.add(QStringLiteral("%1 entry count of device %2 is %3")
                           .arg(t.name)
                           .arg(device)
                           .arg(count));
    }
}

void checkDeviceList(const GatewayConfig &config, Faults &faults) {
    std::array<int, kMaxDevices + 1> seen{};
    for (qint16 device : config.DeviceOrder) {
        if (device < 0 || device > kMaxDevices)
            faults.add(QStringLiteral("the device list holds %1").arg(device));
        else if (device != 0 && ++seen[std::size_t(device)] == 2)
            faults.add(QStringLiteral("the device list holds device %1 twice").arg(device));
    }
}

} // namespace

QStringList modelInvariantFaults(const GatewayConfig &config) {
    Faults faults;
    checkDeviceList(config, faults);
    for (const TableRules &table : kTables) {
        checkLimits(config, table, faults);
        checkOutside(config, table, checkNumbering(config, table, faults), faults);
    }
    return faults.list();
}

} // namespace tolvar::testing
