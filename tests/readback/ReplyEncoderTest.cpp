#include "link/ReplyEncoder.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

TEST(ReplyEncoder, EthernetReplyIsEnvelopeAndTwelveAddressBytes) {
    EthernetReply ethernet{{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}};
    EXPECT_EQ(encodeReply(ethernet), hex("010200000006197504014900"
                                         "c0a8ff03ffffff00c0a8ff01"));
}

TEST(ReplyEncoder, GeneralReplyForTwoDevicesIs71BytesWithSerialAtOffset65) {
    GeneralReply general;
    general.deviceCount = 2;
    general.serialId = 7;
    general.canBitRateCode = 3;
    general.sync = 5;
    general.syncTimeHigh = 0x81;
    general.syncTime = 20;
    DeviceRecord first{.nodeId = 1,
                       .guardTime = 1000,
                       .counts = {1, 2, 3, 4, 5, 6, 300, 8},
                       .txPdoRows = 9,
                       .rxPdoRows = 10,
                       .readSdoRows = 11,
                       .writeSdoRows = 12};
    general.devices = {first, DeviceRecord{.nodeId = 2}};
    general.serial = {1, 3, 2, 1, 1, 1};

    const QByteArray bytes = encodeReply(general);
    ASSERT_EQ(bytes.size(), 71);
    EXPECT_EQ(bytes.left(19), hex("01020000000619750401470002070305811400"));
    EXPECT_EQ(bytes.mid(19, 23), hex("01e803010002000300040005000600"
                                     "2c01"
                                     "0800090a0b0c"));
    EXPECT_EQ(bytes.mid(42, 23), hex("02" + QByteArray(44, '0')));
    EXPECT_EQ(bytes.mid(65), hex("010302010101"));
}

TEST(ReplyEncoder, TableReplyWritesEntriesBackToBack) {
    DeviceTables device;
    device.nodeId = 1;
    device.txPdo = {PdoEntry{0x181, 0, 2, hex("0101")}};
    device.rxPdo = {PdoEntry{0x201, 1, 3, hex("000309")}};
    device.readSdo = {SdoEntry{0x6000, 1, 2, true}, SdoEntry{0x6000, 2, 1, false}};
    device.writeSdo = {SdoEntry{0xA001, 0x10, 0, false}};

    EXPECT_EQ(encodeReply(TableReply{{device}}), hex("010200000006197504014800"
                                                     "01"
                                                     "01"
                                                     "81010002"
                                                     "0101"
                                                     "01"
                                                     "01020103"
                                                     "000309"
                                                     "02"
                                                     "0060010202"
                                                     "00600201"
                                                     "01"
                                                     "01a01000"));
}

} // namespace
} // namespace tolvar
