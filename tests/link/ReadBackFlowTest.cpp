#include "app/UtilityApp.h"
#include "network/MappingModules.h"

#include "support/ConnectByClicks.h"
#include "support/MalformedReplies.h"
#include "support/ScriptedPeer.h"
#include "support/WindowSnapshot.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// A block cut short after a good read-back changes no control and is reported on the status
// line; every malformed kind, split every way, goes through the receive path's own test, and
// a read-back from the simulator through the round trip's.
TEST(ReadBack, ACutReplyLeavesModelAndControlsAsTheyWere) {
    ScriptedPeer peer;
    UtilityApp app(peer.port());
    app.show();
    int replies = 0;
    QObject::connect(&app.link(), &GatewayLink::replyReceived, [&replies] { ++replies; });
    app.link().setStaleReplyMs(200);
    connectByClicks(app, false);
    ASSERT_TRUE(pumpUntil([&peer] { return peer.hasClient(); }));
    peer.send(malformedBaselineStream());
    ASSERT_TRUE(pumpUntil([&replies] { return replies == 3; }));
    const GatewayConfig model = app.config();
    const ReadBackCounters counters = app.counters();
    const WindowSnapshot controls = snapshotOf(app.network());

    peer.send(malformedBaselineStream().left(40));
    EXPECT_TRUE(pumpUntil([&app] { return !app.main().statusText().isEmpty(); }, 500));
    EXPECT_TRUE(app.config() == model);
    EXPECT_EQ(app.counters(), counters);
    EXPECT_EQ(snapshotOf(app.network()), controls);
}

} // namespace
} // namespace tolvar
