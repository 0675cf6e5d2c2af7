#include "support/ModelInvariants.h"

#include <QRegularExpression>

#include <algorithm>

namespace tolvar::testing {
namespace {

// How one table tags its data bytes, written out here rather than taken from the table rules,
// so that the check does not share the code it checks. An SDO item starts in Byte0 only.
struct TableRules {
    CellTable GatewayConfig::*cells;
    PerDevice<qint16> GatewayConfig::*rows;
    int maxRows, firstData, lastData, lastItemStart;
    QString byteTag, lowTag, highTag;
    ItemKind byteKind, wordKind;
};

const TableRules kTables[] = {
    {&GatewayConfig::TxPDOTable, &GatewayConfig::TxPDO_rows, kMaxPdoRows, 4, 11, 11, "P_DI",
     "P_AIL", "P_AIH", ItemKind::DI, ItemKind::AI},
    {&GatewayConfig::RxPDOTable, &GatewayConfig::RxPDO_rows, kMaxPdoRows, 4, 11, 11, "P_DO",
     "P_AOL", "P_AOH", ItemKind::DO, ItemKind::AO},
    {&GatewayConfig::ReadSDOTable, &GatewayConfig::ReadSDO_rows, kMaxSdoRows, 3, 4, 3, "S_DI",
     "S_AIL", "S_AIH", ItemKind::SDO_DI, ItemKind::SDO_AI},
    {&GatewayConfig::WriteSDOTable, &GatewayConfig::WriteSDO_rows, kMaxSdoRows, 3, 4, 3, "S_DO",
     "S_AOL", "S_AOH", ItemKind::SDO_DO, ItemKind::SDO_AO}};

QString where(const TableRules &t, int device, int row, int column) {
    return QString::asprintf("%s table, device %d row %d column %d: ", qPrintable(t.byteTag),
                             device, row, column);
}

// Entry counts lie within the table, and no data byte stands outside the counted rows of the
// listed devices; device 0, row 0 and column 0 are never written. Walked in list order, every
// tag is an item of the table, a word's low byte is followed by its high byte, and each kind is
// numbered 1..n with n its total.
void checkTable(const GatewayConfig &config, const TableRules &t, QStringList &faults) {
    static const QRegularExpression tagPattern(QStringLiteral("^(\\S+) ([1-9]\\d*)$"));
    const CellTable &cells = config.*t.cells;
    for (int device = 0; device <= kMaxDevices; ++device) {
        const int count = (config.*t.rows)[std::size_t(device)];
        if (count < 0 || count > t.maxRows || (device == 0 && count != 0))
            faults << where(t, device, 0, 0) + "entry count " + QString::number(count);
        const bool listed = std::ranges::count(config.DeviceOrder, device) == 1;
        for (int row = 0; row <= t.maxRows; ++row) {
            for (int column = 0; column < cells.columnCount(); ++column) {
                const bool unwritten = device == 0 || row == 0 || column == 0 ||
                                       (column >= t.firstData && (!listed || row > count));
                if (unwritten && !cells.cell(device, row, column).isEmpty())
                    faults << where(t, device, row, column) + "written outside the entries";
            }
        }
    }
    int tagged[2] = {0, 0}; // bytes, words
    for (qint16 device : config.DeviceOrder) {
        const int rows = isDeviceNumber(device) ? (config.*t.rows)[std::size_t(device)] : 0;
        for (int row = 1; row <= std::min(rows, t.maxRows); ++row) {
            for (int column = t.firstData; column <= t.lastData; ++column) {
                const QString &text = cells.cell(device, row, column);
                const QRegularExpressionMatch tag = tagPattern.match(text);
                const QString name = column <= t.lastItemStart ? tag.captured(1) : QString();
                const bool word =
                    name == t.lowTag && column < t.lastData &&
                    cells.cell(device, row, column + 1) == t.highTag + u' ' + tag.captured(2);
                if (text.isEmpty())
                    continue;
                if (name != t.byteTag && !word)
                    faults << where(t, device, row, column) + text + " is no item of the table";
                else if (tag.captured(2).toInt() != ++tagged[word])
                    faults << where(t, device, row, column) + text + " is out of turn";
                column += word ? 1 : 0;
            }
        }
    }
    if (config.total(t.byteKind) != tagged[0] || config.total(t.wordKind) != tagged[1])
        faults << where(t, 0, 0, 0) + "the totals are not the numbers of tags";
}

} // namespace

QStringList modelInvariantFaults(const GatewayConfig &config) {
    QStringList faults;
    for (const TableRules &table : kTables)
        checkTable(config, table, faults);
    return faults.mid(0, 6); // a few faults say enough; the rest would only repeat them
}

} // namespace tolvar::testing
