#include "app/UtilityApp.h"
#include "link/ReplyEncoder.h"
#include "network/MappingModules.h"

#include "GatewaySimServer.h"
#include "files/SimConfig.h"
#include "support/ConnectByClicks.h"
#include "support/MalformedReplies.h"
#include "support/ReplyFixtures.h"
#include "support/ScriptedPeer.h"
#include "support/WindowSnapshot.h"

#include <QComboBox>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The product's windows, talking to a loopback peer on `port`, counting the replies they take.
struct Windows {
    explicit Windows(quint16 port) : app(port) {
        app.show();
        QObject::connect(&app.link(), &GatewayLink::replyReceived, [this] { ++replies; });
    }
    bool waitForReplies(int count) {
        return pumpUntil([this, count] { return replies >= count; }, 5000);
    }
    UtilityApp app;
    int replies = 0;
};

// The windows take what the logic alone makes of the three replies; reading again on a later
// connect is the round trip's.
TEST(ReadBack, FillsTheModelAndTheControlsFromTheSimulator) {
    const SimConfig stored =
        std::get<SimConfig>(loadSimConfigFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json")));
    GatewaySimServer sim;
    ASSERT_TRUE(sim.listen(0));
    sim.setConfig(stored);
    Windows windows(sim.serverPort());
    connectByClicks(windows.app);
    ASSERT_TRUE(windows.waitForReplies(3));

    fixtures::ReadBackHarness expected;
    expected.feed(encodeReply(ethernetReplyOf(stored)) + encodeReply(generalReplyOf(stored)) +
                  encodeReply(tableReplyOf(stored)));
    expected.counters.flag = 2; // the first blocks after start have passed
    EXPECT_TRUE(windows.app.config() == expected.config);
    EXPECT_EQ(windows.app.counters(), expected.counters);
    EXPECT_EQ(windows.app.main().statusText(), QString());
    // Every control against its source is the file-open comparison's; here the wiring.
    EXPECT_EQ(windows.app.network().IPText[3]->text(), QString::number(stored.ethernet.ip[3]));
    EXPECT_EQ(windows.app.network().DevicesNumCombo->currentText(),
              QString::number(stored.devices.size()));
}

// A block cut short after a good read-back changes no control and is reported on the status
// line; every malformed kind, split every way, goes through the receive path's own test.
TEST(ReadBack, ACutReplyLeavesModelAndControlsAsTheyWere) {
    ScriptedPeer peer;
    Windows windows(peer.port());
    windows.app.link().setStaleReplyMs(200);
    connectByClicks(windows.app, false);
    ASSERT_TRUE(pumpUntil([&peer] { return peer.hasClient(); }));
    peer.send(malformedBaselineStream());
    ASSERT_TRUE(windows.waitForReplies(3));
    const GatewayConfig model = windows.app.config();
    const ReadBackCounters counters = windows.app.counters();
    const WindowSnapshot controls = snapshotOf(windows.app.network());

    peer.send(malformedBaselineStream().left(40));
    EXPECT_TRUE(pumpUntil([&windows] { return !windows.app.main().statusText().isEmpty(); }, 500));
    EXPECT_TRUE(windows.app.config() == model);
    EXPECT_EQ(windows.app.counters(), counters);
    EXPECT_EQ(snapshotOf(windows.app.network()), controls);
}

} // namespace
} // namespace tolvar
