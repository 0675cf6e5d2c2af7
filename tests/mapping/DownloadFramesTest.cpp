#include "mapping/DownloadFrames.h"
#include "MappingFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// The configuration of a gateway after a connect: serial settings at their defaults.
GatewayConfig connected(std::initializer_list<int> devices) {
    GatewayConfig config = fixtures::listing(devices);
    config.ComPortCode = 1;
    config.BaudRateCode = 3;
    config.DataBitsCode = config.ParityCode = config.StopBitsCode = 1;
    return config;
}

TEST(EthernetFrame, OnlyTickedRowsCarryTheirOctets) {
    SaveValues values{{false, {192, 168, 255, 3}}, {}, {false, {192, 168, 255, 4}}};
    values.unitId = 7;
    EXPECT_FALSE(ethernetSettingsFrame(values).has_value());
    values.mask = {true, {255, 255, 0, 0}};
    const QByteArray header = hex("01020000000601100000000f1e234944");
    EXPECT_EQ(ethernetSettingsFrame(values), header + hex("000100 00000000 ffff0000 00000000"));
    values.ip.write = values.gateway.write = true;
    EXPECT_EQ(ethernetSettingsFrame(values), header + hex("010101 c0a8ff03 ffff0000 c0a8ff04"));
}

TEST(GeneralFrame, OneDeviceIsByteExact) {
    GatewayConfig config = connected({1});
    config.NodeID[0] = 5;
    config.GuardTime[1] = QStringLiteral("1000");
    const SaveValues values; // device amount 1, serial ID 1, unit 1, CAN code 0
    const DownloadPlan plan = planDownload(values, config);
    EXPECT_EQ(plan.generalFrame.toHex(' '),
              hex("01020000000601100000001428235244 01010000000001"
                  "05e803 00000000000000000000000000000000 00000000 010301010100 00")
                  .toHex(' '));
    EXPECT_FALSE(plan.ethernetFrame.has_value());
    ASSERT_EQ(plan.tableFrames.size(), 1u);
    EXPECT_EQ(plan.tableFrames[0].mid(17, 5), hex("0500000000"));
}

TEST(GeneralFrame, LengthAndRegisterCountFollowTheDeviceAmount) {
    const std::vector<std::array<int, 3>> cases{
        {1, 53, 20}, {2, 76, 32}, {3, 99, 43}, {10, 260, 124}};
    const GatewayConfig config = connected({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    for (const auto &[devices, length, registers] : cases) {
        SCOPED_TRACE(devices);
        SaveValues values;
        values.deviceAmount = quint8(devices);
        const QByteArray frame = generalSettingsFrame(values, config, 1);
        ASSERT_EQ(frame.size(), length);
        EXPECT_EQ(quint8(frame[11]), registers);
        EXPECT_EQ(quint8(frame[12]), 2 * registers);
        EXPECT_EQ(quint8(frame[16]), devices);
        EXPECT_EQ(frame.right(7), hex("01030101010000"));
    }
}

// A record takes node ID and counts by list position, guarding time and rows by device number.
TEST(GeneralFrame, RecordsFollowTheDeviceList) {
    GatewayConfig config = connected({2, 1});
    config.GuardTime[2] = QStringLiteral("500.5");
    config.GuardTime[1] = QStringLiteral("70000");
    for (int kind = 0; kind < kItemKinds; ++kind)
        config.counts(ItemKind(kind))[0] = qint16(kind == 6 ? 300 : kind + 1);
    config.TxPDO_rows[2] = 200;
    config.RxPDO_rows[2] = 2;
    config.ReadSDO_rows[2] = 30;
    config.WriteSDO_rows[2] = 4;
    config.TxPDO_rows[1] = 9;
    const SaveValues values{{}, {}, {}, 2, 7, 3, 4};
    const QByteArray frame = generalSettingsFrame(values, config, 0xCD);
    EXPECT_EQ(frame.mid(6, 1) + frame.mid(16, 7), hex("03 020704000000cd"));
    EXPECT_EQ(frame.mid(23, 23).toHex(' '),
              hex("10 f401 0100 0200 0300 0400 0500 0600 2c01 0800 c8 02 1e 04").toHex(' '));
    EXPECT_EQ(frame.mid(46, 23).toHex(' '),
              hex("11 7011 0000 0000 0000 0000 0000 0000 0000 0000 09 00 00 00").toHex(' '));
}

TEST(DownloadPlan, LargestConfigurationIsSentWhole) {
    SaveValues values;
    values.deviceAmount = kMaxDevices;
    values.unitId = 9;
    const DownloadPlan plan = planDownload(values, fixtures::largestConfiguration());
    ASSERT_EQ(plan.tableFrames.size(), 205u);
    EXPECT_EQ(quint8(plan.generalFrame[22]), 205);
    EXPECT_EQ(quint8(plan.tableFrames.back()[16]), 213);
    EXPECT_EQ(plan.tableFrames.back().size(), 17 + 50);
    EXPECT_EQ(plan.tableFrames.front()[6], 9);
}

} // namespace
} // namespace tolvar
