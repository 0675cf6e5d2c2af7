#include "link/ReadBackModel.h"
#include "gateway/ReplyEncoder.h"
#include "network/DeviceList.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::hexBytes;

// Every filled row of one device's four tables, its cells joined by '|'.
QStringList shownRows(const GatewayConfig &config, int device) {
    QStringList rows;
    const auto add = [&](const char *name, const CellTable &table, qint16 count) {
        for (int row = 1; row <= count; ++row) {
            QStringList cells;
            for (int column = 1; column < table.columnCount(); ++column)
                cells << table.cell(device, row, column);
            rows << QLatin1String(name) + cells.join(u'|');
        }
    };
    const auto d = std::size_t(device);
    add("Tx: ", config.TxPDOTable, config.TxPDO_rows[d]);
    add("Rx: ", config.RxPDOTable, config.RxPDO_rows[d]);
    add("Read: ", config.ReadSDOTable, config.ReadSDO_rows[d]);
    add("Write: ", config.WriteSDOTable, config.WriteSDO_rows[d]);
    return rows;
}

using Totals = std::array<qint16, kItemKinds>; // DO, DI, AI, AO, SDO DO, SDO DI, SDO AI, SDO AO

Totals totalsOf(const GatewayConfig &config) {
    Totals totals{};
    for (int kind = 0; kind < kItemKinds; ++kind)
        totals[std::size_t(kind)] = config.total(ItemKind(kind));
    return totals;
}

// Two devices, the second listed first.
GatewayConfig swappedPair() {
    GatewayConfig config;
    changeDeviceAmount(config, 2);
    config.DeviceOrder = {2, 1};
    return config;
}

// Words take two cells with one number; codes of the other direction leave PDO cells as they
// were (Byte2 of the first TxPDO row is written between the general and the table reply) and
// count as digital in SDO tables.
TEST(TableReadBack, EveryTypeCodeInEveryTable) {
    fixtures::ReadBackHarness harness;
    harness.feed(encodeReply(fixtures::generalListing(1)));
    harness.config.TxPDOTable.cell(1, 1, kFirstPdoByteColumn + 2) = "kept";
    harness.feed(encodeReply(
        TableReply{{{1,
                     {PdoEntry{0x1AB, 1, 5, hexBytes("02ff000301")}},
                     {PdoEntry{0x201, 0x80, 5, hexBytes("0003770102")}, PdoEntry{0x20A, 0, 0, {}}},
                     {SdoEntry{0x6000, 1, 2, true}, SdoEntry{0x6000, 2, 1, false},
                      SdoEntry{0x6001, 0x1F, 3, false}},
                     {SdoEntry{0xA001, 0x10, 3, true}, SdoEntry{0x6200, 0, 2, false},
                      SdoEntry{0xFFFF, 0, 0, false}}}}}));
    EXPECT_EQ(shownRows(harness.config, 1),
              (QStringList{"Tx: &H1AB|1|5|P_AIL 1|P_AIH 1|kept||P_DI 1|||",
                           "Rx: Yes|&H201|5|P_DO 1|P_AOL 1|P_AOH 1|||||", "Rx: No|&H20A|0||||||||",
                           "Read: &H6000|&H01|S_AIL 1|S_AIH 1", "Read: &H6000|&H02|S_DI 1|",
                           "Read: &H6001|&H01F|S_DI 2|", "Write: &HA001|&H010|S_AOL 1|S_AOH 1",
                           "Write: &H6200|&H00|S_DO 1|", "Write: &HFFFF|&H00|S_DO 2|"}));
    EXPECT_EQ(totalsOf(harness.config), (Totals{1, 1, 1, 1, 2, 2, 1, 1}));
}

// Each table reply numbers its items from 1, continuing over the devices in list order.
TEST(TableReadBack, NumbersContinueOverDevicesInListOrderFromOneInEveryReply) {
    GatewayConfig config = swappedPair();
    ReadBackCounters counters;
    const TableReply reply{{{0x21, {PdoEntry{0x181, 0, 2, hexBytes("0101")}}, {}, {}, {}},
                            {0x22, {PdoEntry{0x182, 0, 3, hexBytes("010202")}}, {}, {}, {}}}};
    applyTableReply(config, counters, reply);
    applyTableReply(config, counters, reply);
    EXPECT_EQ(shownRows(config, 2), QStringList{"Tx: &H181|0|2|P_DI 1|P_DI 2||||||"});
    EXPECT_EQ(shownRows(config, 1), QStringList{"Tx: &H182|0|3|P_DI 3|P_AIL 1|P_AIH 1|||||"});
    EXPECT_EQ((std::array{config.NodeID[0], config.NodeID[1]}),
              (std::array<quint8, 2>{0x21, 0x22}));
    EXPECT_EQ(totalsOf(config), (Totals{0, 3, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(counters.DI_number, 3);
}

// Node ID and item counts go to the list position, guard time and row counts to the device.
TEST(GeneralReadBack, RecordsGoBySlotOrByDevice) {
    GatewayConfig config = swappedPair();
    GeneralReply general;
    general.devices = {{7, 300, {1, 2, 3, 4, 5, 6, 300, 8}, 9, 10, 11, 12},
                       {8, 65535, {11, 12, 13, 14, 15, 16, 17, 0x7FFF}, 200, 199, 30, 29}};
    storeDeviceRecords(config, general);

    for (std::size_t k = 0; k < 2; ++k) {
        const DeviceRecord &record = general.devices[k];
        const auto d = std::size_t(config.DeviceOrder[k]);
        EXPECT_EQ(config.NodeID[k], record.nodeId);
        EXPECT_EQ(config.GuardTime[d], QString::number(record.guardTime));
        for (int kind = 0; kind < kItemKinds; ++kind)
            EXPECT_EQ(config.counts(ItemKind(kind))[k], record.counts[std::size_t(kind)]);
        EXPECT_EQ((std::array{config.TxPDO_rows[d], config.RxPDO_rows[d], config.ReadSDO_rows[d],
                              config.WriteSDO_rows[d]}),
                  (std::array<qint16, 4>{record.txPdoRows, record.rxPdoRows, record.readSdoRows,
                                         record.writeSdoRows}));
    }
}

} // namespace
} // namespace tolvar
