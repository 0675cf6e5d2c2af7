#include "link/ReplyAssembler.h"
#include "link/ReplyEncoder.h"
#include "support/MalformedReplies.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::hexBytes;
using fixtures::ReadBackHarness;

GeneralReply generalFor(int devices) {
    GeneralReply general;
    general.deviceCount = quint8(devices);
    general.canBitRateCode = 4;
    general.serial = {1, 3, 2, 1, 1, 0};
    for (int k = 0; k < devices; ++k)
        general.devices.push_back(DeviceRecord{quint8(k + 1), 1000, {}, 0, 0, 0, 0});
    return general;
}

TableReply tablesFor(int devices) {
    TableReply tables;
    for (int k = 0; k < devices; ++k) {
        DeviceTables device;
        device.nodeId = quint8(k + 1);
        device.txPdo = {PdoEntry{quint16(0x180 + k), 0, 3, hexBytes("010202")}};
        device.rxPdo = {PdoEntry{quint16(0x200 + k), 1, 2, hexBytes("0000")}};
        device.readSdo = {SdoEntry{0x6000, 1, 2, true}};
        device.writeSdo = {SdoEntry{0x6200, 1, 0, false}};
        tables.devices.push_back(device);
    }
    return tables;
}

// A read-back stream of three replies and a table reply long enough to span several segments.
QByteArray readBackStream() {
    TableReply tables = tablesFor(3);
    tables.devices[1].rxPdo.assign(200, PdoEntry{0x201, 1, 8, hexBytes("0000000003030000")});
    tables.devices[2].txPdo.assign(200, PdoEntry{0x181, 0, 8, hexBytes("0101010102020101")});
    return encodeReply(EthernetReply{{192, 168, 1, 2}, {255, 255, 0, 0}, {192, 168, 1, 1}}) +
           encodeReply(generalFor(3)) + encodeReply(tables);
}

ReadBackHarness deliveredIn(const QByteArray &stream, qsizetype piece) {
    ReadBackHarness harness;
    for (qsizetype at = 0; at < stream.size(); at += piece)
        harness.feed(QByteArrayView(stream).sliced(at, std::min(piece, stream.size() - at)));
    return harness;
}

class PieceSize : public ::testing::TestWithParam<qsizetype> {};

TEST_P(PieceSize, GivesTheSameRepliesAsOneBlock) {
    const QByteArray stream = readBackStream();
    ASSERT_GT(stream.size(), 1460 * 2);
    const ReadBackHarness whole = deliveredIn(stream, stream.size());
    ASSERT_EQ(whole.replies.size(), 3u);
    ASSERT_TRUE(whole.refusals.isEmpty()) << whole.refusals.join('\n').toStdString();

    const ReadBackHarness pieces = deliveredIn(stream, GetParam());
    EXPECT_EQ(pieces.replies, whole.replies);
    EXPECT_TRUE(pieces.refusals.isEmpty()) << pieces.refusals.join('\n').toStdString();
    EXPECT_EQ(pieces.config, whole.config);
    EXPECT_EQ(pieces.counters, whole.counters);
}

INSTANTIATE_TEST_SUITE_P(Segments, PieceSize, ::testing::Values(1, 7, 1460));

TEST(ReplyAssembler, GeneralThenTablesInOneBlockUseTheNewDeviceCount) {
    ReadBackHarness harness;
    harness.shownDeviceCount = 1;
    harness.feed(encodeReply(generalFor(3)) + encodeReply(tablesFor(3)));
    ASSERT_EQ(harness.replies.size(), 2u);
    EXPECT_EQ(std::get<TableReply>(harness.replies[1]), tablesFor(3));
    EXPECT_TRUE(harness.refusals.isEmpty());
    EXPECT_EQ(harness.config.NodeID[2], 3);
    EXPECT_EQ(harness.config.TxPDOTable.cell(3, 1, 1), "&H182");
}

TEST(ReplyAssembler, BytesAfterAReplyStartTheNextOne) {
    const QByteArray general = encodeReply(generalFor(1));
    ReplyAssembler assembler;
    EXPECT_FALSE(assembler.append(general + general.left(20)));
    EXPECT_TRUE(std::holds_alternative<Reply>(assembler.next(1)));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(assembler.next(1)));
    EXPECT_TRUE(assembler.hasPending());
    EXPECT_FALSE(assembler.append(general.mid(20)));
    const ReplyAssembler::Step step = assembler.next(1);
    ASSERT_TRUE(std::holds_alternative<Reply>(step));
    EXPECT_EQ(std::get<Reply>(step), Reply{generalFor(1)});
    EXPECT_FALSE(assembler.hasPending());
}

TEST(ReplyAssembler, ANewReplyDropsTheOneCutShort) {
    ReplyAssembler assembler;
    assembler.append(encodeReply(generalFor(2)).left(40));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(assembler.next(1)));
    const auto refusal = assembler.append(encodeReply(kMalformedBaselineEthernet));
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->reason,
              "Dropped an incomplete general reply (40 of 71 bytes): a new reply began.");
    const ReplyAssembler::Step step = assembler.next(1);
    ASSERT_TRUE(std::holds_alternative<Reply>(step));
    EXPECT_EQ(std::get<Reply>(step), Reply{kMalformedBaselineEthernet});
}

TEST(ReplyAssembler, ATableReplyCutShortIsNotFinishedWithAnotherReply) {
    ReadBackHarness harness;
    fixtures::chooseDeviceCount(harness.config, 2);
    harness.shownDeviceCount = 2;
    const QByteArray tables = encodeReply(tablesFor(2));
    harness.feed(tables.left(30));
    harness.feed(encodeReply(tablesFor(2)));
    ASSERT_EQ(harness.refusals.size(), 1);
    EXPECT_EQ(harness.refusals[0],
              "Dropped an incomplete table reply (30 bytes): a new reply began.");
    ASSERT_EQ(harness.replies.size(), 1u);
    EXPECT_EQ(harness.replies[0], Reply{tablesFor(2)});
}

TEST(ReplyAssembler, ForeignBytesAreDroppedWhole) {
    ReplyAssembler assembler;
    assembler.append(hexBytes("0102000000060110000000020000"));
    const ReplyAssembler::Step step = assembler.next(1);
    ASSERT_TRUE(std::holds_alternative<ReplyAssembler::Refusal>(step));
    EXPECT_EQ(std::get<ReplyAssembler::Refusal>(step).reason,
              "Ignored 14 bytes from the gateway that are not a reply.");
    EXPECT_FALSE(assembler.hasPending());
}

TEST(ReplyAssembler, AnInvalidReplyDropsEverythingAfterIt) {
    GeneralReply tooMany = generalFor(11);
    ReplyAssembler assembler;
    assembler.append(encodeReply(tooMany) + encodeReply(kMalformedBaselineEthernet));
    const ReplyAssembler::Step step = assembler.next(1);
    ASSERT_TRUE(std::holds_alternative<ReplyAssembler::Refusal>(step));
    EXPECT_EQ(std::get<ReplyAssembler::Refusal>(step).reason,
              "Refused a general reply: it lists 11 devices; the gateway supports 1 to 10.");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(assembler.next(1)));
}

TEST(ReplyAssembler, AShortStartIsKeptUntilTheWaitRunsOut) {
    ReplyAssembler assembler;
    assembler.append(hexBytes("0102000000061975"));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(assembler.next(1)));
    EXPECT_TRUE(assembler.hasPending());
    const auto refusal = assembler.dropPending();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->reason,
              "Dropped 8 bytes of a reply not yet recognised: the rest did not arrive.");
    EXPECT_FALSE(assembler.hasPending());
    EXPECT_FALSE(assembler.dropPending().has_value());
}

struct PendingCase {
    const char *name;
    QByteArray bytes;
    const char *reason;
};

void PrintTo(const PendingCase &param, std::ostream *os) {
    *os << param.name;
}

class DroppedPending : public ::testing::TestWithParam<PendingCase> {};

TEST_P(DroppedPending, NamesKindAndBytes) {
    ReplyAssembler assembler;
    assembler.append(GetParam().bytes);
    ASSERT_TRUE(std::holds_alternative<std::monostate>(assembler.next(2)));
    const auto refusal = assembler.dropPending();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->reason, QString::fromUtf8(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DroppedPending,
    ::testing::Values(
        PendingCase{"ethernet", encodeReply(kMalformedBaselineEthernet).left(20),
                    "Dropped an incomplete Ethernet reply (20 of 24 bytes): the rest did not "
                    "arrive."},
        PendingCase{"general", encodeReply(generalFor(2)).left(70),
                    "Dropped an incomplete general reply (70 of 71 bytes): the rest did not "
                    "arrive."},
        PendingCase{"general_before_count", encodeReply(generalFor(2)).left(12),
                    "Dropped an incomplete general reply (12 bytes): the rest did not arrive."},
        PendingCase{"tables", encodeReply(tablesFor(2)).left(50),
                    "Dropped an incomplete table reply (50 bytes): the rest did not arrive."}),
    [](const auto &param) { return std::string(param.param.name); });

} // namespace
} // namespace tolvar
