#include "support/MalformedReplies.h"
#include "link/ReplyParser.h"
#include "support/ReplyFixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace tolvar {

void PrintTo(const MalformedReply &malformed, std::ostream *os) {
    *os << malformed.name.toStdString();
}

namespace {

using fixtures::ReadBackHarness;

// A model filled by the read-back the corpus assumes.
ReadBackHarness baselineShown() {
    ReadBackHarness harness;
    harness.feed(malformedBaselineStream());
    return harness;
}

TEST(MalformedCorpus, BaselineReadBackIsClean) {
    const ReadBackHarness harness = baselineShown();
    ASSERT_EQ(harness.replies.size(), 3u);
    EXPECT_TRUE(harness.refusals.isEmpty());
    EXPECT_EQ(harness.shownEthernet, kMalformedBaselineEthernet);
    EXPECT_EQ(harness.shownDeviceCount, kMalformedDeviceCount);
    EXPECT_EQ(harness.config.DeviceOrder[0], 1);
    EXPECT_EQ(harness.config.DeviceOrder[1], 2);
    EXPECT_GT(harness.config.DI_total, 0);
    EXPECT_GT(harness.config.SDO_AO_total, 0);
}

TEST(MalformedCorpus, HasManyDistinctlyNamedCases) {
    const auto cases = malformedReplies();
    EXPECT_GE(cases.size(), 30u);
    std::set<QString> names;
    for (const MalformedReply &malformed : cases)
        names.insert(malformed.name);
    EXPECT_EQ(names.size(), cases.size());
}

class MalformedReplyCase : public ::testing::TestWithParam<MalformedReply> {};

TEST_P(MalformedReplyCase, LeavesTheModelAsItWasAndIsReported) {
    ReadBackHarness harness = baselineShown();
    const GatewayConfig config = harness.config;
    const ReadBackCounters counters = harness.counters;
    const QStringList refusalsBefore = harness.refusals;

    harness.feed(GetParam().bytes);
    if (GetParam().needsTimeout)
        harness.waitOut();

    EXPECT_EQ(harness.config, config);
    EXPECT_EQ(harness.counters, counters);
    EXPECT_EQ(harness.shownEthernet, kMalformedBaselineEthernet);
    EXPECT_EQ(harness.shownDeviceCount, kMalformedDeviceCount);
    EXPECT_GT(harness.refusals.size(), refusalsBefore.size());
}

// A case marked for the wait really is held until it, and one not marked is settled at once.
TEST_P(MalformedReplyCase, IsSettledWhenItSaysSo) {
    ReadBackHarness harness = baselineShown();
    harness.feed(GetParam().bytes);
    const qsizetype refusalsBeforeWait = harness.refusals.size();
    harness.waitOut();
    EXPECT_EQ(harness.refusals.size() > refusalsBeforeWait, GetParam().needsTimeout);
}

std::string caseName(const ::testing::TestParamInfo<MalformedReply> &info) {
    return malformedCaseName(info.param);
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedReplyCase, ::testing::ValuesIn(malformedReplies()),
                         caseName);

} // namespace
} // namespace tolvar
