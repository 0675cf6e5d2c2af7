#include "gateway/ReplyEncoder.h"
#include "link/ExpectedReplies.h"
#include "network/DeviceList.h"
#include "support/MalformedReplies.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace tolvar {
namespace {

using fixtures::generalListing;
using fixtures::hexBytes;
using fixtures::ReadBackHarness;

TableReply tablesFor(int devices) {
    const DeviceTables device{
        1, {PdoEntry{0x181, 0, 3, hexBytes("010202")}}, {}, {SdoEntry{0x6000, 1, 2, true}}, {}};
    return TableReply{std::vector(std::size_t(devices), device)};
}

const QByteArray kEthernet = encodeReply(kMalformedBaselineEthernet);
const QByteArray kWriteAnswer = hexBytes("010200000006011000000002");

// A TxPDO entry and a Read SDO entry whose bytes hold 19 75 04 01 48: inside a reply they are data.
TableReply tablesHoldingSignature() {
    TableReply tables = tablesFor(1);
    tables.devices[0].txPdo.push_back(PdoEntry{0x7519, 4, 1, hexBytes("48")});
    tables.devices[0].readSdo.push_back(SdoEntry{0x7519, 4, 1, false});
    return tables;
}

// Answer windows, each the bytes that arrive between two requests, and what they must give.
struct WindowCase {
    std::string name;
    std::vector<QByteArray> windows;
    std::optional<std::size_t> replies; // replies taken; none: not checked
    QString report;                     // the report begins with it; empty: no report
    int shown = 1;                      // device amount the replies are measured against
    int listed = 1;                     // devices in the device list
    bool afterReadBack = false;
};

WindowCase when(std::string name, std::vector<QByteArray> windows, std::size_t replies = 0,
                const char *report = "", int shown = 1, int listed = 1) {
    return {std::move(name), std::move(windows), replies, report, shown, listed};
}

void PrintTo(const WindowCase &windows, std::ostream *out) {
    *out << windows.name;
}

ReadBackHarness startOf(const WindowCase &windows) {
    ReadBackHarness harness;
    harness.shownDeviceCount = windows.shown;
    changeDeviceAmount(harness.config, windows.listed);
    if (windows.afterReadBack)
        harness.feed(malformedBaselineStream());
    return harness;
}

// Without `random` each window comes whole; with it, cut at random places, from a few to every
// byte.
ReadBackHarness deliver(const WindowCase &windows, std::mt19937 *random = nullptr) {
    ReadBackHarness harness = startOf(windows);
    for (const QByteArray &window : windows.windows) {
        harness.requestSent();
        std::bernoulli_distribution cutHere(
            random ? std::array{0.01, 0.1, 0.5, 1.0}[(*random)() % 4] : 0.0);
        qsizetype at = 0;
        for (qsizetype end = 1; end <= window.size(); ++end) {
            if (end == window.size() || (random && cutHere(*random))) {
                harness.feed(QByteArrayView(window).sliced(at, end - at));
                at = end;
            }
        }
    }
    harness.requestSent();
    return harness;
}

const QByteArray kTables = hexBytes("010200000006197504014800");
const QByteArray kGeneral = encodeReply(generalListing(2));

QByteArray generalWithRecord(int position, const DeviceRecord &record) {
    GeneralReply general = generalListing(2);
    general.devices[std::size_t(position)] = record;
    return encodeReply(general);
}

// Good read-backs, then refused and dropped replies, each with the report the user sees, then
// every malformed block after a complete read-back.
std::vector<WindowCase> windowCorpus() {
    std::vector<WindowCase> corpus{
        when("three_replies_in_one_window", {malformedBaselineStream()}, 3),
        when("signature_in_table_data",
             {encodeReply(generalListing(1)), encodeReply(tablesHoldingSignature())}, 2),
        when("non_replies_are_skipped_silently",
             {kWriteAnswer + kEthernet + QByteArray(20, '\x19') + kEthernet, kWriteAnswer,
              hexBytes("0102000000061975")},
             2),
        // A Modbus exception answers a write: a reply of its own, which reads nothing into the
        // model; a partial one waits for its last byte.
        when("exception_then_a_reply",
             {hexBytes("0102000000030190") + hexBytes("04") + kEthernet, hexBytes("01020000")}, 2),
        when("refused_general_discards_the_rest_of_its_window",
             {encodeReply(generalListing(11)) + kEthernet, kEthernet}, 1,
             "Refused a general reply: it lists 11 devices; the gateway supports 1 to 10."),
        when("general_rows_201", {generalWithRecord(1, {.txPdoRows = 201})}, 0,
             "Refused a general reply: device 2 lists 201 TxPDO rows; at most 200 fit."),
        when("tx_rows_201", {kTables + hexBytes("01c9")}, 0,
             "Refused a table reply: device 1 lists 201 TxPDO entries; at most 200 fit."),
        when(
            "rx_nine_data_bytes", {kTables + hexBytes("0100 01 01020009")}, 0,
            "Refused a table reply: device 1 has an RxPDO entry with 9 data bytes; at most 8 fit."),
        when("place_without_device", {encodeReply(tablesFor(2))}, 1,
             "Refused a table reply: it holds 2 devices, but place 2 of the device list has no "
             "device.",
             2, 1),
        // The reply after the cut one is read from its own first byte.
        when("cut_reply_then_the_next_request", {kGeneral.left(30), kEthernet}, 1,
             "Dropped an incomplete general reply (30 of 71 bytes): the next request went out "
             "before the rest arrived.")};
    // Each malformed block in a window of its own after a complete read-back; a reply equal to
    // the shown one may come before the fault.
    const char *reports[] = {"Refused", "Dropped", ""}; // by MalformedReply::Fate
    for (const MalformedReply &malformed : malformedReplies())
        corpus.push_back(WindowCase{malformedCaseName(malformed),
                                    {malformed.bytes},
                                    std::nullopt,
                                    reports[int(malformed.fate)],
                                    1,
                                    1,
                                    true});
    return corpus;
}

class AnswerWindows : public ::testing::TestWithParam<WindowCase> {};

// What the windows give as a whole, and the same in thousands of seeded random splits.
TEST_P(AnswerWindows, GiveTheirOutcomeHoweverTheBytesAreSplit) {
    const WindowCase &windows = GetParam();
    const ReadBackHarness start = startOf(windows);
    const ReadBackHarness whole = deliver(windows);
    ASSERT_EQ(whole.refusals.size(), windows.report.isEmpty() ? 0 : 1)
        << whole.refusals.join('\n').toStdString();
    EXPECT_EQ(whole.refusals.value(0).left(windows.report.size()), windows.report);
    if (windows.replies) {
        EXPECT_EQ(whole.replies.size() - start.replies.size(), *windows.replies);
    }
    // What is refused, dropped or ignored changes nothing.
    if (!windows.report.isEmpty() || windows.afterReadBack) {
        EXPECT_EQ(whole.config, start.config);
        EXPECT_EQ(whole.counters, start.counters);
    }
    EXPECT_TRUE(!windows.afterReadBack || whole.shownEthernet == start.shownEthernet);

    for (unsigned seed = 1; seed <= 64 && !HasFailure(); ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        const ReadBackHarness split = deliver(windows, &random);
        EXPECT_EQ(split.replies, whole.replies);
        EXPECT_EQ(split.refusals, whole.refusals);
        EXPECT_TRUE(split.config == whole.config);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, AnswerWindows, ::testing::ValuesIn(windowCorpus()),
                         [](const auto &param) { return param.param.name; });

// Only a reply to a request still awaited is taken, once; what never came is named.
TEST(ExpectedReplies, TakeOnlyWhatWasAskedForAndNameWhatNeverCame) {
    ExpectedReplies expected;
    EXPECT_FALSE(expected.take(generalListing(1)));
    for (ReadCommand command :
         {ReadCommand::ReadParams, ReadCommand::ReadGeneral, ReadCommand::ReadTables})
        expected.expect(command);
    EXPECT_EQ(expected.missing(), "the Ethernet, general and table replies");
    EXPECT_FALSE(expected.take(ExceptionReply{0x10, 4}));
    EXPECT_TRUE(expected.take(generalListing(1)));
    EXPECT_FALSE(expected.take(generalListing(1)));
    EXPECT_TRUE(expected.take(kMalformedBaselineEthernet));
    EXPECT_EQ(expected.missing(), "the table reply");
    expected.clear();
    EXPECT_FALSE(expected.take(tablesFor(1)));
    EXPECT_EQ(expected.missing(), "");
}

} // namespace
} // namespace tolvar
