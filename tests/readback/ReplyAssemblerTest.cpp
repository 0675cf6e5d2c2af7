#include "link/ReplyEncoder.h"
#include "network/DeviceList.h"
#include "support/MalformedReplies.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::generalListing;
using fixtures::hexBytes;
using fixtures::ReadBackHarness;

TableReply tablesFor(int devices) {
    TableReply tables;
    for (int k = 0; k < devices; ++k)
        tables.devices.push_back({quint8(k + 1),
                                  {PdoEntry{0x181, 0, 3, hexBytes("010202")}},
                                  {},
                                  {SdoEntry{0x6000, 1, 2, true}},
                                  {}});
    return tables;
}

ReadBackHarness deliveredIn(const QByteArray &stream, qsizetype piece) {
    ReadBackHarness harness;
    for (qsizetype at = 0; at < stream.size(); at += piece)
        harness.feed(QByteArrayView(stream).sliced(at, std::min(piece, stream.size() - at)));
    return harness;
}

class PieceSize : public ::testing::TestWithParam<qsizetype> {};

TEST_P(PieceSize, GivesTheSameReadBackAsOneBlock) {
    TableReply tables = tablesFor(3);
    tables.devices[1].rxPdo.assign(200, PdoEntry{0x201, 1, 8, hexBytes("0000000003030000")});
    tables.devices[2].txPdo.assign(200, PdoEntry{0x181, 0, 8, hexBytes("0101010102020101")});
    const QByteArray stream = encodeReply(kMalformedBaselineEthernet) +
                              encodeReply(generalListing(3)) + encodeReply(tables);
    ASSERT_GT(stream.size(), 1460 * 2);
    const ReadBackHarness whole = deliveredIn(stream, stream.size());
    ASSERT_EQ(whole.replies.size(), 3u);
    ASSERT_TRUE(whole.refusals.isEmpty()) << whole.refusals.join('\n').toStdString();

    const ReadBackHarness pieces = deliveredIn(stream, GetParam());
    EXPECT_EQ(pieces.replies, whole.replies);
    EXPECT_EQ(pieces.refusals, whole.refusals);
    EXPECT_EQ(pieces.config, whole.config);
    EXPECT_EQ(pieces.counters, whole.counters);
}

INSTANTIATE_TEST_SUITE_P(Segments, PieceSize, ::testing::Values(1, 7, 1460));

TEST(ReplyAssembler, TablesAfterGeneralInOneBlockUseItsDeviceCount) {
    ReadBackHarness harness;
    harness.feed(encodeReply(generalListing(3)) + encodeReply(tablesFor(3)));
    EXPECT_EQ(harness.replies, (std::vector<Reply>{generalListing(3), tablesFor(3)}));
    EXPECT_TRUE(harness.refusals.isEmpty());
}

TEST(ReplyAssembler, ACutReplyIsNeverFinishedWithTheNextOne) {
    ReadBackHarness harness;
    harness.shownDeviceCount = 2;
    changeDeviceAmount(harness.config, 2);
    harness.feed(encodeReply(tablesFor(2)).left(30));
    harness.feed(encodeReply(tablesFor(2)));
    EXPECT_EQ(harness.refusals.size(), 1);
    EXPECT_EQ(harness.replies, std::vector<Reply>{tablesFor(2)});
}

// ---- Every refusal rule, as the user reads it; the model stays as it was.

struct RefusalCase {
    const char *name;
    int shown;  // device amount the replies are measured against
    int listed; // devices in the device list
    QByteArray block;
    const char *message;
    QByteArray nextBlock = {}; // then the wait for the rest runs out
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, IsReportedOnceAndChangesNothing) {
    ReadBackHarness harness;
    harness.shownDeviceCount = GetParam().shown;
    changeDeviceAmount(harness.config, GetParam().listed);
    const GatewayConfig before = harness.config;
    harness.feed(GetParam().block);
    harness.feed(GetParam().nextBlock);
    harness.waitOut();
    EXPECT_EQ(harness.refusals, QStringList{QString::fromUtf8(GetParam().message)});
    EXPECT_EQ(harness.config, before);
}

const QByteArray kTables = hexBytes("010200000006197504014800");
const QByteArray kGeneral = encodeReply(generalListing(2));
const QByteArray kEthernet = encodeReply(kMalformedBaselineEthernet);

INSTANTIATE_TEST_SUITE_P(
    Rules, Refusal,
    ::testing::Values(
        RefusalCase{"general_listing_11_and_all_after_it", 1, 1,
                    encodeReply(generalListing(11)) + encodeReply(generalListing(1)),
                    "Refused a general reply: it lists 11 devices; the gateway supports 1 to 10."},
        RefusalCase{"tables_for_no_device", 0, 0, kTables,
                    "Refused a table reply: the device amount is 0; the gateway supports 1 to 10."},
        RefusalCase{"tx_rows_201", 1, 1, kTables + hexBytes("01c9"),
                    "Refused a table reply: device 1 lists 201 TxPDO entries; at most 200 fit."},
        RefusalCase{"write_sdo_rows_31", 2, 2, kTables + hexBytes("0100000000 010000001f"),
                    "Refused a table reply: device 2 lists 31 Write SDO entries; at most 30 fit."},
        RefusalCase{"rx_nine_data_bytes", 1, 1, kTables + hexBytes("0100 01 01020009"),
                    "Refused a table reply: device 1 has an RxPDO entry with 9 data bytes; at "
                    "most 8 fit."},
        RefusalCase{"tx_word_at_byte7", 1, 1, kTables + hexBytes("0101 81010008 01010101010101 02"),
                    "Refused a table reply: device 1 has a TxPDO entry with a word starting at "
                    "Byte7; a word needs two bytes."},
        RefusalCase{"place_without_device", 2, 1, encodeReply(tablesFor(2)),
                    "Refused a table reply: it holds 2 devices, but place 2 of the device list "
                    "has no device."},
        RefusalCase{"answer_to_a_write_command", 1, 1, hexBytes("0102000000060110000000020000"),
                    "Ignored 14 bytes from the gateway that are not a reply."},
        RefusalCase{"cut_reply_then_a_new_one", 1, 1, kEthernet.left(20),
                    "Dropped an incomplete Ethernet reply (20 of 24 bytes): a new reply began.",
                    kEthernet},
        RefusalCase{"unrecognised_start", 1, 1, hexBytes("0102000000061975"),
                    "Dropped 8 bytes of a reply not yet recognised: the rest did not arrive."},
        RefusalCase{"general_missing_one_byte", 1, 1, kGeneral.left(70),
                    "Dropped an incomplete general reply (70 of 71 bytes): the rest did not "
                    "arrive."},
        RefusalCase{"general_before_its_count", 1, 1, kGeneral.left(12),
                    "Dropped an incomplete general reply (12 bytes): the rest did not arrive."},
        RefusalCase{"tables_cut", 2, 2, encodeReply(tablesFor(2)).left(30),
                    "Dropped an incomplete table reply (30 bytes): the rest did not arrive."}),
    [](const auto &param) { return std::string(param.param.name); });

// ---- Malformed blocks after a good read-back change nothing, settled when they say so.

class MalformedReplyCase : public ::testing::TestWithParam<MalformedReply> {};

TEST_P(MalformedReplyCase, LeavesTheModelAsItWasAndIsReported) {
    ReadBackHarness harness;
    harness.feed(malformedBaselineStream());
    ASSERT_EQ(harness.replies.size(), 3u);
    ASSERT_TRUE(harness.refusals.isEmpty());
    const ReadBackHarness before = harness;

    harness.feed(GetParam().bytes);
    const qsizetype refusalsBeforeWait = harness.refusals.size();
    harness.waitOut();

    EXPECT_FALSE(harness.refusals.isEmpty());
    EXPECT_EQ(harness.refusals.size() > refusalsBeforeWait, GetParam().needsTimeout);
    EXPECT_EQ(harness.config, before.config);
    EXPECT_EQ(harness.counters, before.counters);
    EXPECT_EQ(harness.shownEthernet, kMalformedBaselineEthernet);
    EXPECT_EQ(harness.shownDeviceCount, kMalformedDeviceCount);
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedReplyCase, ::testing::ValuesIn(malformedReplies()),
                         [](const auto &param) { return malformedCaseName(param.param); });

} // namespace
} // namespace tolvar
