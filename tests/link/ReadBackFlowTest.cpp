#include "app/UtilityApp.h"
#include "link/ConnectSet.h"
#include "link/InitialScreen.h"
#include "link/ReplyEncoder.h"
#include "network/MappingModules.h"

#include "GatewaySimServer.h"
#include "files/SimConfig.h"
#include "support/MalformedReplies.h"
#include "support/ReplyFixtures.h"
#include "support/ScriptedPeer.h"
#include "support/WindowSnapshot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tolvar {
namespace {

SimConfig exampleConfig(const char *name) {
    auto loaded = loadSimConfigFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + QLatin1String(name));
    if (const auto *problem = std::get_if<QString>(&loaded))
        ADD_FAILURE() << problem->toStdString();
    return std::get<SimConfig>(loaded);
}

// What the three replies of a configuration make of a fresh model, taken by the logic alone.
fixtures::ReadBackHarness expectedReadBack(const SimConfig &config) {
    fixtures::ReadBackHarness harness;
    harness.feed(encodeReply(ethernetReplyOf(config)) + encodeReply(generalReplyOf(config)) +
                 encodeReply(tableReplyOf(config)));
    return harness;
}

// The product's windows, connected to a loopback peer on `port`.
class Windows {
public:
    explicit Windows(quint16 port) : app(port), config(app.config()), main(app.main()) {
        app.show();
        QObject::connect(&app.link(), &GatewayLink::replyReceived, [this] { ++replies; });
    }

    void connect(bool readStoredConfiguration) {
        QTest::mouseClick(main.ConnectButt, Qt::LeftButton);
        ConnectSet &window = *app.connectSet();
        window.IPText->setText(QStringLiteral("127.0.0.1"));
        window.EmptyVlaueCheck->setChecked(!readStoredConfiguration);
        QTest::mouseClick(window.StartConnButt, Qt::LeftButton);
        ASSERT_TRUE(app.link().isConnected());
    }

    void disconnect() { QTest::mouseClick(main.DisconnectButt, Qt::LeftButton); }

    bool waitForReplies(int count) {
        return pumpUntil([this, count] { return replies >= count; }, 5000);
    }

    MappingModules &network() { return app.network(); }
    QString statusLine() { return main.statusText(); }

    UtilityApp app;
    GatewayConfig &config;
    InitialScreen &main;
    int replies = 0;
};

// A second connect reads the same again, numbering the tags from one again.
TEST(ReadBack, FillsEveryControlAndTheModelFromTheSimulatorOnEveryConnect) {
    const SimConfig stored = exampleConfig("multi.json");
    GatewaySimServer sim;
    ASSERT_TRUE(sim.listen(0));
    sim.setConfig(stored);
    Windows windows(sim.serverPort());
    windows.connect(true);
    ASSERT_TRUE(windows.waitForReplies(3));

    fixtures::ReadBackHarness expected = expectedReadBack(stored);
    expected.counters.flag = 2; // the first blocks after start have passed
    EXPECT_TRUE(windows.config == expected.config);
    EXPECT_EQ(windows.app.counters(), expected.counters);
    EXPECT_TRUE(windows.statusLine().isEmpty()) << windows.statusLine().toStdString();

    // Every control against its source is the file-open comparison's; here the wiring.
    MappingModules &network = windows.network();
    EXPECT_EQ(network.IPText[3]->text(), QString::number(stored.ethernet.ip[3]));
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QString::number(stored.devices.size()));

    windows.disconnect();
    windows.connect(true);
    ASSERT_TRUE(windows.waitForReplies(6));
    EXPECT_TRUE(windows.config == expected.config);
}

// A block cut short after a good read-back changes no control and is reported on the status
// line; every malformed kind, split every way, goes through the receive path's own test.
TEST(ReadBack, ACutReplyLeavesModelAndControlsAsTheyWere) {
    ScriptedPeer peer;
    Windows windows(peer.port());
    windows.app.link().setStaleReplyMs(200);
    windows.connect(false);
    ASSERT_TRUE(pumpUntil([&peer] { return peer.hasClient(); }));
    peer.send(malformedBaselineStream());
    ASSERT_TRUE(windows.waitForReplies(3));
    const GatewayConfig model = windows.config;
    const ReadBackCounters counters = windows.app.counters();
    const WindowSnapshot controls = snapshotOf(windows.network());

    peer.send(malformedBaselineStream().left(40));
    EXPECT_TRUE(pumpUntil([&windows] { return !windows.statusLine().isEmpty(); }, 500));
    EXPECT_TRUE(windows.config == model);
    EXPECT_EQ(windows.app.counters(), counters);
    EXPECT_EQ(snapshotOf(windows.network()), controls);
}

} // namespace
} // namespace tolvar
