#include "app/UtilityApp.h"
#include "link/ConnectSet.h"
#include "link/InitialScreen.h"
#include "network/MappingModules.h"

#include "GatewaySimServer.h"
#include "support/ConnectByClicks.h"
#include "support/DialogAnswerer.h"
#include "support/MalformedReplies.h"
#include "support/ScriptedPeer.h"
#include "support/WindowSnapshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tolvar {
namespace {

class ConnectFlow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.listen(0));
        QObject::connect(
            &sim, &GatewaySimServer::frameReceived,
            [this](const QString &, const QByteArray &frame) { frames.push_back(frame.toHex()); });
    }

    // The program talks to `port` where the product talks to 502.
    ConnectSet &openConnectSet(quint16 port) {
        app = std::make_unique<UtilityApp>(port);
        app->show();
        main = &app->main();
        QTest::mouseClick(main->ConnectButt, Qt::LeftButton);
        return *app->connectSet();
    }

    // The time-out is typed: the wait is read from the field as the user left it.
    void startConnect(ConnectSet &window, const QString &timeout = QStringLiteral("3")) {
        window.IPText->setText(QStringLiteral("127.0.0.1"));
        window.TimeoutText->clear();
        QTest::keyClicks(window.TimeoutText, timeout);
        QTest::mouseClick(window.StartConnButt, Qt::LeftButton);
    }

    GatewaySimServer sim;
    std::unique_ptr<UtilityApp> app;
    InitialScreen *main = nullptr;
    std::vector<QByteArray> frames;
};

// A bad form is written back corrected and tries no connection; the rules are the form's.
// Closing the connection window discards what was typed in it; a good form then connects and
// reads back with the unit chosen.
TEST_F(ConnectFlow, ABadFormIsCorrectedAndAGoodOneReadsBackWithTheChosenUnit) {
    ConnectSet &window = openConnectSet(sim.serverPort());
    EXPECT_FALSE(main->ConnectButt->isEnabled());
    DialogAnswerer answerer;
    startConnect(window, QStringLiteral("10"));
    EXPECT_EQ(window.TimeoutText->text(), QStringLiteral("1"));
    pumpUntil([] { return false; }, 200);
    EXPECT_FALSE(sim.hasClient());
    EXPECT_TRUE(answerer.text().isEmpty());
    window.close();
    QTest::mouseClick(main->ConnectButt, Qt::LeftButton);
    ConnectSet &again = *app->connectSet();
    EXPECT_EQ(again.IPText->text(), QStringLiteral("192.168.255.3"));
    EXPECT_EQ(again.TimeoutText->text(), QStringLiteral("3"));
    again.TolvarCombo->setCurrentText(QStringLiteral("7"));
    startConnect(again);
    EXPECT_FALSE(again.isVisible());
    EXPECT_TRUE(app->network().isVisible());
    EXPECT_TRUE(main->DisconnectButt->isEnabled());
    // #PD, #GD, #HD with the unit identifier chosen
    EXPECT_EQ(frames, (std::vector<QByteArray>{"0102000000060710000000020423504400",
                                               "0102000000060710000000020423474400",
                                               "0102000000060710000000020423484400"}));
}

// Without a read-back the serial settings keep the values every connect starts from. Closing
// the main window then ends the program: the other windows go, and so does the connection.
TEST_F(ConnectFlow, ToInitialModulesAsksNothingAndClosingTheMainWindowEndsTheProgram) {
    ConnectSet &window = openConnectSet(sim.serverPort());
    GatewayConfig &config = app->config();
    config.ComPortCode = config.BaudRateCode = config.DataBitsCode = 9;
    config.ParityCode = config.StopBitsCode = 9;
    window.EmptyVlaueCheck->setChecked(true);
    startConnect(window);
    pumpUntil([] { return false; }, 300);
    EXPECT_TRUE(frames.empty());
    const std::array<int, 5> codes{config.ComPortCode, config.BaudRateCode, config.DataBitsCode,
                                   config.ParityCode, config.StopBitsCode};
    EXPECT_EQ(codes, (std::array<int, 5>{1, 3, 1, 1, 1}));

    int ends = 0;
    QObject::connect(app.get(), &UtilityApp::finished, [&ends] { ++ends; });
    main->close();
    EXPECT_EQ(ends, 1);
    for (const QWidget *other : QApplication::topLevelWidgets())
        EXPECT_FALSE(other->isVisible()) << other->objectName().toStdString();
    EXPECT_TRUE(pumpUntil([this] { return !sim.hasClient(); }));
}

// The attempt lasts the time-out typed, with "Start Connect" off until the message is gone.
TEST_F(ConnectFlow, RefusedConnectionShowsTheFailureAndAllowsAnotherTry) {
    ConnectSet &window = openConnectSet(closedLoopbackPort());
    DialogAnswerer answerer(window.StartConnButt);
    startConnect(window, QStringLiteral("2"));
    EXPECT_GE(answerer.shownAfterMs, 1900);
    EXPECT_LT(answerer.shownAfterMs, 3500);
    EXPECT_FALSE(answerer.watchedOnBeforeDialog);
    EXPECT_EQ(answerer.text(), QStringLiteral("Connect to Tolvar fail !"));
    EXPECT_TRUE(window.StartConnButt->isEnabled());
    EXPECT_FALSE(main->DisconnectButt->isEnabled());
}

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
