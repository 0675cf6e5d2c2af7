#include "link/ReplyParser.h"
#include "gateway/ReplyEncoder.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::hexBytes;
using Status = ParseOutcome::Status;

const QByteArray kTableEnvelope = hexBytes("010200000006197504014800");

// N = 2: header (count, ID, bit rate, SYNC, byte 16, SYNC time, spare), two 23-byte records,
// the serial bytes at 65. Every 16-bit field of the first record differs, low byte first
// (2C 01 is 300).
const DeviceRecord kRecord{1, 1000, {1, 2, 3, 4, 5, 6, 300, 8}, 9, 10, 11, 12};
const GeneralReply kGeneralTwo{2, 7, 3, 5, 0x81, 20, {kRecord, {.nodeId = 2}}, {2, 7, 1, 3, 2, 1}};
const QByteArray kGeneralTwoBytes =
    hexBytes("010200000006197504014700 02 07 03 05 81 14 00"
             "01 e803 0100 0200 0300 0400 0500 0600 2c01 0800 09 0a 0b 0c 02") +
    QByteArray(22, '\0') + hexBytes("02 07 01 03 02 01");

// A word takes the type byte after it, also past the data length; only its own table's word
// code makes a word.
const DeviceTables kEveryEntryForm{
    7,
    {PdoEntry{0x1AB, 0, 2, hexBytes("02ee")}, PdoEntry{0x7FF, 1, 8, hexBytes("0202010102ff0103")},
     PdoEntry{0x182, 0, 1, hexBytes("02ee")}},
    {PdoEntry{0x201, 1, 3, hexBytes("000309")}, PdoEntry{0x202, 0, 2, hexBytes("0202")},
     PdoEntry{0xFFFF, 0, 0, {}}},
    {SdoEntry{0x6000, 1, 2, true}, SdoEntry{0x6000, 2, 1, false}, SdoEntry{0x6001, 2, 3, false}},
    {SdoEntry{0xA001, 0x10, 3, true}, SdoEntry{0x6200, 0, 2, false}}};
const QByteArray kEveryEntryFormBytes =
    hexBytes("07 03 ab010002 02ee ff070108 0202010102ff0103 82010001 02ee"
             "03 01020103 000309 02020002 0202 ffff0000"
             "03 0060010202 00600201 01600203"
             "02 01a0100303 00620002");

// Encoder and parser agree with the bytes, and bytes after the reply are left for the next one;
// cut replies are the answer windows' corpus.
TEST(ReplyParser, EveryShapeEncodesAndParsesByteExactly) {
    // name, reply, the device amount shown when it arrives, its bytes
    const std::tuple<const char *, Reply, int, QByteArray> shapes[] = {
        {"ethernet", EthernetReply{{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}}, 1,
         hexBytes("010200000006197504014900c0a8ff03ffffff00c0a8ff01")},
        {"general_two_devices", kGeneralTwo, 1, kGeneralTwoBytes},
        {"tables_every_entry_form", TableReply{{kEveryEntryForm, DeviceTables{3, {}, {}, {}, {}}}},
         2, kTableEnvelope + kEveryEntryFormBytes + hexBytes("0300000000")}};
    for (const auto &[name, reply, deviceCount, bytes] : shapes) {
        SCOPED_TRACE(name);
        EXPECT_EQ(encodeReply(reply).toHex(), bytes.toHex());
        const ParseOutcome parsed = parseReply(bytes + "\x19garbage", deviceCount);
        ASSERT_EQ(parsed.status, Status::Complete) << parsed.problem.toStdString();
        EXPECT_EQ(parsed.length, bytes.size());
        EXPECT_EQ(parsed.reply, reply);
    }
}

} // namespace
} // namespace tolvar
