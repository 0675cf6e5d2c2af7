#include "link/ReadBackModel.h"
#include "link/ReplyParser.h"
#include "model/Tags.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::chooseDeviceCount;
using fixtures::hexBytes;

// Parses a table reply from its device blocks, as the gateway sends it.
TableReply tableReply(const char *deviceBlocks, int devices) {
    const ParseOutcome parsed =
        parseReply(hexBytes("010200000006197504014800") + hexBytes(deviceBlocks), devices);
    EXPECT_EQ(parsed.status, ParseOutcome::Status::Complete) << parsed.problem.toStdString();
    return std::get<TableReply>(parsed.reply);
}

class TableReadBack : public ::testing::Test {
protected:
    void read(const char *deviceBlocks, int devices) {
        chooseDeviceCount(config, devices);
        counters.resetNumbers();
        const TableReply reply = tableReply(deviceBlocks, devices);
        ASSERT_FALSE(checkTableReply(config, reply).has_value());
        applyTableReply(config, counters, reply);
    }
    QString tx(int device, int row, int column) const {
        return config.TxPDOTable.cell(device, row, column);
    }
    QString rx(int device, int row, int column) const {
        return config.RxPDOTable.cell(device, row, column);
    }

    GatewayConfig config;
    ReadBackCounters counters;
};

TEST_F(TableReadBack, OneDeviceWithTwoDigitalInputs) {
    read("0101810100020101000000", 1);
    EXPECT_EQ(config.NodeID[0], 1);
    EXPECT_EQ(config.TxPDO_rows[1], 1);
    EXPECT_EQ(tx(1, 1, 1), "&H181");
    EXPECT_EQ(tx(1, 1, 2), "0");
    EXPECT_EQ(tx(1, 1, 3), "2");
    EXPECT_EQ(tx(1, 1, 4), "P_DI 1");
    EXPECT_EQ(tx(1, 1, 5), "P_DI 2");
    EXPECT_EQ(tx(1, 1, 6), "");
    EXPECT_EQ(config.DI_total, 2);
    EXPECT_EQ(counters.DI_number, 2);
    EXPECT_EQ(config.RxPDO_rows[1], 0);
    EXPECT_EQ(config.ReadSDO_rows[1], 0);
    EXPECT_EQ(config.WriteSDO_rows[1], 0);
}

TEST_F(TableReadBack, TxPdoWordTakesTwoBytesWithOneNumber) {
    read("01"
         "01"
         "81010002"
         "02ff"
         "000000",
         1);
    EXPECT_EQ(tx(1, 1, 4), "P_AIL 1");
    EXPECT_EQ(tx(1, 1, 5), "P_AIH 1");
    EXPECT_EQ(config.AI_total, 1);
    EXPECT_EQ(config.DI_total, 0);
}

TEST_F(TableReadBack, RxPdoByteThenWord) {
    read("01"
         "00"
         "01"
         "01020103"
         "000377"
         "0000",
         1);
    EXPECT_EQ(rx(1, 1, 1), "Yes");
    EXPECT_EQ(rx(1, 1, 2), "&H201");
    EXPECT_EQ(rx(1, 1, 3), "3");
    EXPECT_EQ(rx(1, 1, 4), "P_DO 1");
    EXPECT_EQ(rx(1, 1, 5), "P_AOL 1");
    EXPECT_EQ(rx(1, 1, 6), "P_AOH 1");
    EXPECT_EQ(config.DO_total, 1);
    EXPECT_EQ(config.AO_total, 1);
}

TEST_F(TableReadBack, CycleByteZeroReadsNo) {
    read("01"
         "00"
         "01"
         "0a020000"
         "0000",
         1);
    EXPECT_EQ(rx(1, 1, 1), "No");
    EXPECT_EQ(rx(1, 1, 2), "&H20A");
}

TEST_F(TableReadBack, ReadSdoWordAndByte) {
    read("01"
         "00"
         "00"
         "02"
         "0060010299"
         "00600201"
         "00",
         1);
    const CellTable &table = config.ReadSDOTable;
    EXPECT_EQ(config.ReadSDO_rows[1], 2);
    EXPECT_EQ(table.cell(1, 1, 1), "&H6000");
    EXPECT_EQ(table.cell(1, 1, 2), "&H01");
    EXPECT_EQ(table.cell(1, 1, 3), "S_AIL 1");
    EXPECT_EQ(table.cell(1, 1, 4), "S_AIH 1");
    EXPECT_EQ(table.cell(1, 2, 2), "&H02");
    EXPECT_EQ(table.cell(1, 2, 3), "S_DI 1");
    EXPECT_EQ(table.cell(1, 2, 4), "");
    EXPECT_EQ(config.SDO_AI_total, 1);
    EXPECT_EQ(config.SDO_DI_total, 1);
}

TEST_F(TableReadBack, WriteSdoWordAndOtherCodesAsBytes) {
    read("01"
         "00"
         "00"
         "00"
         "03"
         "01a0100303"
         "00620002"
         "ffff1000",
         1);
    const CellTable &table = config.WriteSDOTable;
    EXPECT_EQ(config.WriteSDO_rows[1], 3);
    EXPECT_EQ(table.cell(1, 1, 1), "&HA001");
    EXPECT_EQ(table.cell(1, 1, 2), "&H010");
    EXPECT_EQ(table.cell(1, 1, 3), "S_AOL 1");
    EXPECT_EQ(table.cell(1, 1, 4), "S_AOH 1");
    EXPECT_EQ(table.cell(1, 2, 2), "&H00");
    EXPECT_EQ(table.cell(1, 2, 3), "S_DO 1");
    EXPECT_EQ(table.cell(1, 3, 1), "&HFFFF");
    EXPECT_EQ(table.cell(1, 3, 3), "S_DO 2");
    EXPECT_EQ(config.SDO_AO_total, 1);
    EXPECT_EQ(config.SDO_DO_total, 2);
}

TEST_F(TableReadBack, CodesOfTheOtherDirectionLeaveTheirCellsAlone) {
    chooseDeviceCount(config, 1);
    config.TxPDOTable.cell(1, 1, 4) = "kept";
    config.RxPDOTable.cell(1, 1, 5) = "kept too";
    const TableReply reply = tableReply("01"
                                        "01"
                                        "8101000200"
                                        "01"
                                        "01"
                                        "01020002"
                                        "0102"
                                        "0000",
                                        1);
    applyTableReply(config, counters, reply);
    EXPECT_EQ(tx(1, 1, 4), "kept");
    EXPECT_EQ(tx(1, 1, 5), "P_DI 1");
    EXPECT_EQ(rx(1, 1, 4), "");
    EXPECT_EQ(rx(1, 1, 5), "kept too");
    EXPECT_EQ(config.DI_total, 1);
    EXPECT_EQ(config.DO_total, 0);
}

TEST_F(TableReadBack, NumbersContinueOverDevicesInListOrder) {
    // Device 1: two DI bytes and a read word; device 2: one DI byte, one word, one read word.
    read("01"
         "01"
         "81010002"
         "0101"
         "00"
         "01"
         "0060010202"
         "00"
         "02"
         "01"
         "82010003"
         "010202"
         "00"
         "01"
         "0160010202"
         "00",
         2);
    EXPECT_EQ(tx(2, 1, 4), "P_DI 3");
    EXPECT_EQ(tx(2, 1, 5), "P_AIL 1");
    EXPECT_EQ(tx(2, 1, 6), "P_AIH 1");
    EXPECT_EQ(config.ReadSDOTable.cell(2, 1, 3), "S_AIL 2");
    EXPECT_EQ(config.DI_total, 3);
    EXPECT_EQ(config.SDO_AI_total, 2);
}

TEST_F(TableReadBack, DeviceOrderDecidesWhereEachBlockGoes) {
    chooseDeviceCount(config, 2);
    config.DeviceOrder[0] = 2;
    config.DeviceOrder[1] = 1;
    const TableReply reply = tableReply("21"
                                        "01"
                                        "81010001"
                                        "01"
                                        "000000"
                                        "22"
                                        "01"
                                        "82010001"
                                        "01"
                                        "000000",
                                        2);
    applyTableReply(config, counters, reply);
    EXPECT_EQ(config.NodeID[0], 0x21);
    EXPECT_EQ(config.NodeID[1], 0x22);
    EXPECT_EQ(tx(2, 1, 1), "&H181");
    EXPECT_EQ(tx(2, 1, 4), "P_DI 1");
    EXPECT_EQ(tx(1, 1, 1), "&H182");
    EXPECT_EQ(tx(1, 1, 4), "P_DI 2");
}

TEST_F(TableReadBack, ASecondReadBackNumbersFromOneAgain) {
    read("0101810100020101000000", 1);
    read("0101810100020101000000", 1);
    EXPECT_EQ(tx(1, 1, 4), "P_DI 1");
    EXPECT_EQ(config.DI_total, 2);
}

TEST_F(TableReadBack, TagsMatchTheSharedTagForm) {
    read("01"
         "01"
         "81010008"
         "0101010101010101"
         "000000",
         1);
    for (int m = 0; m < kPdoDataBytes; ++m)
        EXPECT_EQ(tx(1, 1, kFirstPdoByteColumn + m), makeTag(u"P_DI", m + 1));
}

TEST(TableReplyCheck, RefusesAPositionWithoutDevice) {
    GatewayConfig config;
    chooseDeviceCount(config, 1);
    const auto problem = checkTableReply(config, TableReply{{DeviceTables{}, DeviceTables{}}});
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(*problem, "Refused a table reply: it holds 2 devices, but place 2 of the device "
                        "list has no device.");
    chooseDeviceCount(config, 2);
    EXPECT_FALSE(checkTableReply(config, TableReply{{DeviceTables{}, DeviceTables{}}}));
}

// ---- General reply records and serial bytes.

GeneralReply generalWith(std::vector<DeviceRecord> records) {
    GeneralReply general;
    general.deviceCount = quint8(records.size());
    general.devices = std::move(records);
    return general;
}

const DeviceRecord kFirst{7, 300, {1, 2, 3, 4, 5, 6, 300, 8}, 9, 10, 11, 12};
const DeviceRecord kSecond{8, 65535, {11, 12, 13, 14, 15, 16, 17, 18}, 200, 199, 30, 29};

TEST(DeviceRecords, FieldsGoToPositionOrDeviceNumber) {
    GatewayConfig config;
    chooseDeviceCount(config, 2);
    config.DeviceOrder[0] = 2;
    config.DeviceOrder[1] = 1;
    storeDeviceRecords(config, generalWith({kFirst, kSecond}));

    EXPECT_EQ(config.NodeID[0], 7);
    EXPECT_EQ(config.NodeID[1], 8);
    EXPECT_EQ(config.GuardTime[2], "300");
    EXPECT_EQ(config.GuardTime[1], "65535");
    const std::array<ItemKind, 8> order{ItemKind::DO,     ItemKind::DI,     ItemKind::AI,
                                        ItemKind::AO,     ItemKind::SDO_DO, ItemKind::SDO_DI,
                                        ItemKind::SDO_AI, ItemKind::SDO_AO};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(config.counts(order[i])[0], kFirst.counts[i]) << i;
        EXPECT_EQ(config.counts(order[i])[1], kSecond.counts[i]) << i;
    }
    EXPECT_EQ(config.SDO_AI_count[0], 300);
    EXPECT_EQ(config.TxPDO_rows[2], 9);
    EXPECT_EQ(config.RxPDO_rows[2], 10);
    EXPECT_EQ(config.ReadSDO_rows[2], 11);
    EXPECT_EQ(config.WriteSDO_rows[2], 12);
    EXPECT_EQ(config.TxPDO_rows[1], 200);
    EXPECT_EQ(config.WriteSDO_rows[1], 29);
}

TEST(DeviceRecords, RecordOfAPositionWithoutDeviceIsSkipped) {
    GatewayConfig config;
    chooseDeviceCount(config, 1);
    const GatewayConfig before = config;
    GatewayConfig expected = config;
    storeDeviceRecords(expected, generalWith({kFirst}));
    storeDeviceRecords(config, generalWith({kFirst, kSecond}));
    EXPECT_EQ(config, expected);
    EXPECT_NE(config, before);
}

TEST(SerialSettings, SixBytesInOrder) {
    GatewayConfig config;
    storeSerialSettings(config, SerialSettings{2, 7, 1, 0, 2, 1});
    EXPECT_EQ(config.ComPortCode, 2);
    EXPECT_EQ(config.BaudRateCode, 7);
    EXPECT_EQ(config.DataBitsCode, 1);
    EXPECT_EQ(config.ParityCode, 0);
    EXPECT_EQ(config.StopBitsCode, 2);
    EXPECT_EQ(config.ListenMode, 1);
}

} // namespace
} // namespace tolvar
