#include "link/ReplyParser.h"
#include "link/ReplyEncoder.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::hexBytes;
using Status = ParseOutcome::Status;

const QByteArray kTableEnvelope = hexBytes("010200000006197504014800");
const QByteArray kGeneralEnvelope = hexBytes("010200000006197504014700");

DeviceRecord recordFor(quint8 node) {
    return DeviceRecord{node, quint16(node * 100), {1, 2, 3, 4, 5, 6, 7, 0xFFFF}, 1, 2, 3, 4};
}

GeneralReply generalFor(int devices) {
    GeneralReply general{.deviceCount = quint8(devices),
                         .serialId = 9,
                         .canBitRateCode = 7,
                         .sync = 255,
                         .syncTimeHigh = 200,
                         .syncTime = 17,
                         .devices = {},
                         .serial = {2, 7, 2, 3, 2, 1}};
    for (int k = 0; k < devices; ++k)
        general.devices.push_back(recordFor(quint8(k + 1)));
    return general;
}

DeviceTables mixedDevice(quint8 node) {
    DeviceTables device;
    device.nodeId = node;
    device.txPdo = {PdoEntry{0x181, 1, 2, hexBytes("0102ee")}, // word at the last byte: one more
                    PdoEntry{0x7FF, 0, 8, hexBytes("0202010102ff0101")}, PdoEntry{0x182, 0, 0, {}}};
    device.rxPdo = {PdoEntry{0x201, 1, 3, hexBytes("000309")}};
    device.readSdo = {SdoEntry{0x6000, 1, 2, true}, SdoEntry{0xFFFF, 0xFF, 3, false}};
    device.writeSdo = {SdoEntry{0xA001, 0x10, 3, true}, SdoEntry{0x6200, 0, 2, false}};
    return device;
}

// ---- Round trips: every reply the encoder writes reads back the same, and no shorter part of
// it is taken as a reply.

struct RoundTrip {
    const char *name;
    Reply reply;
    int deviceCount;
};

void PrintTo(const RoundTrip &param, std::ostream *os) {
    *os << param.name;
}

class ReplyRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ReplyRoundTrip, ParsesBackExactly) {
    const QByteArray bytes = encodeReply(GetParam().reply);
    const ParseOutcome parsed = parseReply(bytes, GetParam().deviceCount);
    ASSERT_EQ(parsed.status, Status::Complete) << parsed.problem.toStdString();
    EXPECT_EQ(parsed.length, bytes.size());
    EXPECT_EQ(parsed.reply, GetParam().reply);
    EXPECT_EQ(encodeReply(parsed.reply), bytes);
}

TEST_P(ReplyRoundTrip, EveryShorterPartIsIncomplete) {
    const QByteArray bytes = encodeReply(GetParam().reply);
    for (qsizetype length = 0; length < bytes.size(); ++length)
        ASSERT_EQ(parseReply(bytes.first(length), GetParam().deviceCount).status,
                  Status::Incomplete)
            << "length " << length;
}

TEST_P(ReplyRoundTrip, BytesAfterTheReplyAreLeftAlone) {
    const QByteArray bytes = encodeReply(GetParam().reply);
    const ParseOutcome parsed = parseReply(bytes + "\x19garbage", GetParam().deviceCount);
    ASSERT_EQ(parsed.status, Status::Complete);
    EXPECT_EQ(parsed.length, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyRoundTrip,
    ::testing::Values(
        RoundTrip{"ethernet", EthernetReply{{10, 0, 0, 1}, {255, 0, 0, 0}, {0, 0, 0, 0}}, 1},
        RoundTrip{"general_one", generalFor(1), 1}, RoundTrip{"general_ten", generalFor(10), 1},
        RoundTrip{"tables_empty_device", TableReply{{DeviceTables{3, {}, {}, {}, {}}}}, 1},
        RoundTrip{"tables_mixed", TableReply{{mixedDevice(1), mixedDevice(2)}}, 2},
        RoundTrip{"tables_ten", TableReply{std::vector<DeviceTables>(10, mixedDevice(127))}, 10}),
    [](const auto &param) { return std::string(param.param.name); });

// ---- Decoding the examples of the gateway's replies.

TEST(ReplyParser, EthernetReplyGivesTheThreeAddresses) {
    const ParseOutcome parsed =
        parseReply(hexBytes("0102000000061975040149ffc0a8ff03ffffff00c0a8ff01"), 1);
    ASSERT_EQ(parsed.status, Status::Complete);
    EXPECT_EQ(parsed.length, 24);
    EXPECT_EQ(std::get<EthernetReply>(parsed.reply),
              (EthernetReply{{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}}));
}

TEST(ReplyParser, GeneralReplyForTwoDevicesTakes71BytesWithSerialBytesAt65) {
    QByteArray bytes = kGeneralEnvelope + hexBytes("02050306000a00") + QByteArray(46, '\0') +
                       hexBytes("020701030201");
    bytes[19] = 0x21; // node ID of the first record
    bytes[42] = 0x22; // node ID of the second record
    const ParseOutcome parsed = parseReply(bytes, 1);
    ASSERT_EQ(parsed.status, Status::Complete);
    EXPECT_EQ(parsed.length, 71);
    const auto &general = std::get<GeneralReply>(parsed.reply);
    EXPECT_EQ(general.serialId, 5);
    EXPECT_EQ(general.canBitRateCode, 3);
    EXPECT_EQ(general.sync, 6);
    EXPECT_EQ(general.syncTime, 10);
    ASSERT_EQ(general.devices.size(), 2u);
    EXPECT_EQ(general.devices[0].nodeId, 0x21);
    EXPECT_EQ(general.devices[1].nodeId, 0x22);
    EXPECT_EQ(general.serial, (SerialSettings{2, 7, 1, 3, 2, 1}));
}

TEST(ReplyParser, SyncTimeHighByteOfAnyValueIsReadAndDecodingGoesOn) {
    for (int high = 0; high <= 255; ++high) {
        GeneralReply general = generalFor(1);
        general.syncTimeHigh = quint8(high);
        QByteArray bytes = encodeReply(general);
        ASSERT_EQ(quint8(bytes[16]), high);
        const ParseOutcome parsed = parseReply(bytes, 1);
        ASSERT_EQ(parsed.status, Status::Complete) << high;
        EXPECT_EQ(std::get<GeneralReply>(parsed.reply), general) << high;
    }
}

// Every 16-bit field of a device record, set to 2C 01, reads as 300.
class DeviceRecordField : public ::testing::TestWithParam<int> {};

TEST_P(DeviceRecordField, IsLowByteFirst) {
    QByteArray bytes = encodeReply(generalFor(1));
    const int offset = reply::kFirstDeviceRecord + GetParam();
    bytes[offset] = 0x2C;
    bytes[offset + 1] = 0x01;
    const ParseOutcome parsed = parseReply(bytes, 1);
    ASSERT_EQ(parsed.status, Status::Complete);
    const DeviceRecord &record = std::get<GeneralReply>(parsed.reply).devices.at(0);
    if (GetParam() == 1)
        EXPECT_EQ(record.guardTime, 300);
    else
        EXPECT_EQ(record.counts.at(std::size_t((GetParam() - 3) / 2)), 300);
}

INSTANTIATE_TEST_SUITE_P(GuardTimeAndEightCounts, DeviceRecordField,
                         ::testing::Values(1, 3, 5, 7, 9, 11, 13, 15, 17));

TEST(ReplyParser, OneDeviceTableBlock) {
    const ParseOutcome parsed = parseReply(kTableEnvelope + hexBytes("0101810100020101000000"), 1);
    ASSERT_EQ(parsed.status, Status::Complete);
    EXPECT_EQ(parsed.length, 23);
    DeviceTables expected;
    expected.nodeId = 1;
    expected.txPdo = {PdoEntry{0x181, 0, 2, hexBytes("0101")}};
    EXPECT_EQ(std::get<TableReply>(parsed.reply), TableReply{{expected}});
}

struct EntryLayout {
    const char *name;
    const char *deviceBlock; // one device, after the envelope
    int length;              // of the whole reply
    DeviceTables expected;
};

void PrintTo(const EntryLayout &param, std::ostream *os) {
    *os << param.name;
}

class TableEntryLayout : public ::testing::TestWithParam<EntryLayout> {};

TEST_P(TableEntryLayout, ConsumesTheRightBytes) {
    const ParseOutcome parsed = parseReply(kTableEnvelope + hexBytes(GetParam().deviceBlock), 1);
    ASSERT_EQ(parsed.status, Status::Complete) << parsed.problem.toStdString();
    EXPECT_EQ(parsed.length, GetParam().length);
    EXPECT_EQ(std::get<TableReply>(parsed.reply).devices.at(0), GetParam().expected);
}

DeviceTables withTx(PdoEntry entry) {
    return DeviceTables{7, {entry}, {}, {}, {}};
}
DeviceTables withRx(PdoEntry entry) {
    return DeviceTables{7, {}, {entry}, {}, {}};
}
DeviceTables withRead(SdoEntry entry) {
    return DeviceTables{7, {}, {}, {entry}, {}};
}
DeviceTables withWrite(SdoEntry entry) {
    return DeviceTables{7, {}, {}, {}, {entry}};
}

INSTANTIATE_TEST_SUITE_P(
    Entries, TableEntryLayout,
    ::testing::Values(EntryLayout{"tx_word_pair",
                                  "07"
                                  "01"
                                  "8101000202ee"
                                  "000000",
                                  12 + 11, withTx(PdoEntry{0x181, 0, 2, hexBytes("02ee")})},
                      EntryLayout{"tx_word_at_last_byte_takes_one_more",
                                  "07"
                                  "01"
                                  "81010001"
                                  "02ee"
                                  "000000",
                                  12 + 11, withTx(PdoEntry{0x181, 0, 1, hexBytes("02ee")})},
                      EntryLayout{"tx_output_code_is_one_byte",
                                  "07"
                                  "01"
                                  "8101000203"
                                  "03"
                                  "000000",
                                  12 + 11, withTx(PdoEntry{0x181, 0, 2, hexBytes("0303")})},
                      EntryLayout{"rx_byte_then_word",
                                  "07"
                                  "00"
                                  "01"
                                  "0102010300"
                                  "0309"
                                  "0000",
                                  12 + 12, withRx(PdoEntry{0x201, 1, 3, hexBytes("000309")})},
                      EntryLayout{"rx_input_word_code_is_one_byte",
                                  "07"
                                  "00"
                                  "01"
                                  "0102000202"
                                  "02"
                                  "0000",
                                  12 + 11, withRx(PdoEntry{0x201, 0, 2, hexBytes("0202")})},
                      EntryLayout{"rx_empty_entry",
                                  "07"
                                  "00"
                                  "01"
                                  "ffff0000"
                                  "0000",
                                  12 + 9, withRx(PdoEntry{0xFFFF, 0, 0, {}})},
                      EntryLayout{"read_sdo_word_takes_5",
                                  "07"
                                  "00"
                                  "00"
                                  "01"
                                  "0060010202"
                                  "00",
                                  12 + 10, withRead(SdoEntry{0x6000, 1, 2, true})},
                      EntryLayout{"read_sdo_byte_takes_4",
                                  "07"
                                  "00"
                                  "00"
                                  "01"
                                  "00600201"
                                  "00",
                                  12 + 9, withRead(SdoEntry{0x6000, 2, 1, false})},
                      EntryLayout{"read_sdo_output_word_code_takes_4",
                                  "07"
                                  "00"
                                  "00"
                                  "01"
                                  "00600203"
                                  "00",
                                  12 + 9, withRead(SdoEntry{0x6000, 2, 3, false})},
                      EntryLayout{"write_sdo_word_takes_5",
                                  "07"
                                  "00"
                                  "00"
                                  "00"
                                  "01"
                                  "01a0100303",
                                  12 + 10, withWrite(SdoEntry{0xA001, 0x10, 3, true})},
                      EntryLayout{"write_sdo_input_word_code_takes_4",
                                  "07"
                                  "00"
                                  "00"
                                  "00"
                                  "01"
                                  "01a01002",
                                  12 + 9, withWrite(SdoEntry{0xA001, 0x10, 2, false})}),
    [](const auto &param) { return std::string(param.param.name); });

// ---- Refusals: what the model cannot hold is refused with a sentence for the user.

struct Refused {
    const char *name;
    QByteArray bytes;
    int deviceCount;
    const char *problem;
};

void PrintTo(const Refused &param, std::ostream *os) {
    *os << param.name;
}

class RefusedReply : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedReply, IsInvalidWithItsReason) {
    const ParseOutcome parsed = parseReply(GetParam().bytes, GetParam().deviceCount);
    EXPECT_EQ(parsed.status, Status::Invalid);
    EXPECT_EQ(parsed.problem, QString::fromUtf8(GetParam().problem));
}

QByteArray tablesWithSecondDevice(const char *deviceBlock) {
    return kTableEnvelope + hexBytes("0100000000") + hexBytes(deviceBlock);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, RefusedReply,
    ::testing::Values(
        Refused{"general_zero_devices", kGeneralEnvelope + hexBytes("00"), 1,
                "Refused a general reply: it lists 0 devices; the gateway supports 1 to 10."},
        Refused{"general_eleven_devices", encodeReply(generalFor(11)), 1,
                "Refused a general reply: it lists 11 devices; the gateway supports 1 to 10."},
        Refused{"tables_for_no_device", encodeReply(TableReply{}), 0,
                "Refused a table reply: the device amount is 0; the gateway supports 1 to 10."},
        Refused{"tables_for_eleven_devices", kTableEnvelope, 11,
                "Refused a table reply: the device amount is 11; the gateway supports 1 to 10."},
        Refused{"tx_rows_201", kTableEnvelope + hexBytes("01c9"), 1,
                "Refused a table reply: device 1 lists 201 TxPDO entries; at most 200 fit."},
        Refused{"rx_rows_255", tablesWithSecondDevice("0100ff"), 2,
                "Refused a table reply: device 2 lists 255 RxPDO entries; at most 200 fit."},
        Refused{"read_sdo_rows_31", kTableEnvelope + hexBytes("0100001f"), 1,
                "Refused a table reply: device 1 lists 31 Read SDO entries; at most 30 fit."},
        Refused{"write_sdo_rows_31", tablesWithSecondDevice("010000001f"), 2,
                "Refused a table reply: device 2 lists 31 Write SDO entries; at most 30 fit."},
        Refused{"tx_nine_data_bytes", tablesWithSecondDevice("010181010009"), 2,
                "Refused a table reply: device 2 has a TxPDO entry with 9 data bytes; at most "
                "8 fit."},
        Refused{"rx_nine_data_bytes", kTableEnvelope + hexBytes("01000101020009"), 1,
                "Refused a table reply: device 1 has an RxPDO entry with 9 data bytes; at most "
                "8 fit."},
        Refused{"tx_word_at_byte7", kTableEnvelope + hexBytes("0101810100080101010101010102"), 1,
                "Refused a table reply: device 1 has a TxPDO entry with a word starting at "
                "Byte7; a word needs two bytes."},
        Refused{"rx_word_at_byte7",
                tablesWithSecondDevice("0100010102000800000000000000"
                                       "03"),
                2,
                "Refused a table reply: device 2 has an RxPDO entry with a word starting at "
                "Byte7; a word needs two bytes."},
        Refused{"wrong_signature", hexBytes("0102000000061975040249"), 1,
                "Ignored 11 bytes from the gateway that are not a reply."},
        Refused{"unknown_kind", hexBytes("010200000006197504014a00"), 1,
                "Ignored 12 bytes from the gateway that are not a reply."},
        Refused{"signature_mismatch_before_kind",
                hexBytes("01020000000619"
                         "76"),
                1, "Ignored 8 bytes from the gateway that are not a reply."}),
    [](const auto &param) { return std::string(param.param.name); });

// ---- The envelope on its own.

struct Envelope {
    const char *name;
    const char *bytes;
    bool known;
    Status status;
};

void PrintTo(const Envelope &param, std::ostream *os) {
    *os << param.name;
}

class EnvelopeCheck : public ::testing::TestWithParam<Envelope> {};

TEST_P(EnvelopeCheck, HeaderAndStatus) {
    const QByteArray bytes = hexBytes(GetParam().bytes);
    EXPECT_EQ(startsWithReplyHeader(bytes), GetParam().known);
    EXPECT_EQ(parseReply(bytes, 1).status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, EnvelopeCheck,
    ::testing::Values(
        Envelope{"empty", "", false, Status::Incomplete},
        Envelope{"mbap_only_any_bytes", "ffffffffffff", false, Status::Incomplete},
        Envelope{"signature_so_far", "ffffffffffff197504", false, Status::Incomplete},
        Envelope{"signature_without_kind", "ffffffffffff19750401", false, Status::Incomplete},
        Envelope{"kind_I", "ffffffffffff1975040149", true, Status::Incomplete},
        Envelope{"kind_G", "ffffffffffff1975040147", true, Status::Incomplete},
        Envelope{"kind_H", "ffffffffffff1975040148", true, Status::Incomplete},
        Envelope{"kind_lower_case", "ffffffffffff1975040167", false, Status::Invalid},
        Envelope{"first_signature_byte_wrong", "ffffffffffff18", false, Status::Invalid},
        Envelope{"last_signature_byte_wrong", "ffffffffffff1975040049", false, Status::Invalid}),
    [](const auto &param) { return std::string(param.param.name); });

} // namespace
} // namespace tolvar
