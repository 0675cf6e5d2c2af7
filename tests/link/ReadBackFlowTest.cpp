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

    MappingModules &network = windows.network();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(network.IPText[i]->text(), QString::number(stored.ethernet.ip[i]));
        EXPECT_EQ(network.MaskText[i]->text(), QString::number(stored.ethernet.mask[i]));
        EXPECT_EQ(network.GatewayText[i]->text(), QString::number(stored.ethernet.gateway[i]));
    }
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QString::number(stored.devices.size()));
    EXPECT_EQ(network.KestoCombo->currentText(), QString::number(stored.serialId));
    EXPECT_EQ(network.CANopenBaudRate, stored.canBitRateCode);
    EXPECT_EQ(network.SyncCombo->currentText(), QString::number(stored.sync));
    EXPECT_EQ(network.SYCNTimeText->text(), QString::number(stored.syncTime));

    windows.disconnect();
    windows.connect(true);
    ASSERT_TRUE(windows.waitForReplies(6));
    EXPECT_TRUE(windows.config == expected.config);
}

// A malformed block, sent after a good read-back, changes nothing; the status line reports it
// unless no reply begins in it. One block of each fate goes through the windows; the whole
// corpus, split every way, is the receive path's own test.
class MalformedReplyThroughWindows : public ::testing::TestWithParam<MalformedReply> {};

TEST_P(MalformedReplyThroughWindows, LeavesModelAndControlsAsTheyWere) {
    ScriptedPeer peer;
    Windows windows(peer.port());
    windows.app.link().setStaleReplyMs(200);
    windows.connect(false);
    ASSERT_TRUE(pumpUntil([&peer] { return peer.hasClient(); }));
    peer.send(malformedBaselineStream());
    ASSERT_TRUE(windows.waitForReplies(3));
    ASSERT_TRUE(windows.statusLine().isEmpty()) << windows.statusLine().toStdString();

    const GatewayConfig model = windows.config;
    const ReadBackCounters counters = windows.app.counters();
    const WindowSnapshot controls = snapshotOf(windows.network());

    peer.send(GetParam().bytes);
    const bool reported = GetParam().fate != MalformedReply::Fate::Ignored;
    EXPECT_EQ(pumpUntil([&windows] { return !windows.statusLine().isEmpty(); }, 500), reported);

    EXPECT_TRUE(windows.config == model);
    EXPECT_EQ(windows.app.counters(), counters);
    EXPECT_EQ(snapshotOf(windows.network()), controls);
}

std::vector<MalformedReply> oneOfEachFate() {
    std::vector<MalformedReply> chosen;
    for (const MalformedReply &reply : malformedReplies()) {
        if (std::none_of(chosen.begin(), chosen.end(),
                         [&reply](const auto &c) { return c.fate == reply.fate; }))
            chosen.push_back(reply);
    }
    return chosen;
}

INSTANTIATE_TEST_SUITE_P(OneOfEachFate, MalformedReplyThroughWindows,
                         ::testing::ValuesIn(oneOfEachFate()),
                         [](const ::testing::TestParamInfo<MalformedReply> &param) {
                             return malformedCaseName(param.param);
                         });

} // namespace
} // namespace tolvar
