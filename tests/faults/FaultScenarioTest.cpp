// The program against a gateway that misbehaves, and a user who does not wait: each scenario
// ends with the model consistent, the user told what happened, and a later connect and save
// that work.
#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "link/CommandFrame.h"
#include "link/ConnectSet.h"
#include "link/ReadBackModel.h"
#include "link/ReplyEncoder.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include "network/WindowControls.h"
#include "support/ConnectByClicks.h"
#include "support/DialogAnswerer.h"
#include "support/ModelInvariants.h"
#include "support/ReplyFixtures.h"
#include "support/ScriptedPeer.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>

namespace tolvar {
namespace {

using fixtures::hexBytes;
using testing::choose;

// The gateway's whole answer to a read request: two devices with one entry in every table,
// every data length covering typed bytes only.
QByteArray goodReplyTo(char command) {
    const DeviceTables device{1,
                              {PdoEntry{0x181, 0, 3, hexBytes("010202")}},
                              {PdoEntry{0x201, 0, 1, hexBytes("00")}},
                              {SdoEntry{0x6000, 1, 1, false}},
                              {SdoEntry{0x6200, 1, 3, true}}};
    TableReply tables{{device, device}};
    tables.devices[1].nodeId = 2;
    const EthernetReply ethernet{{10, 0, 0, 7}, {255, 255, 255, 0}, {10, 0, 0, 1}};
    const QMap<char, QByteArray> replies{{'P', encodeReply(ethernet)},
                                         {'G', encodeReply(fixtures::generalListing(2))},
                                         {'H', encodeReply(tables)}};
    return replies.value(command);
}

class FaultScenario;

// How the gateway and the user behave, and what the windows show afterwards (nullptr: not
// checked).
struct Scenario {
    const char *name;
    std::function<void(FaultScenario &)> run; // scripts the gateway and the user, and acts
    const char *commands;                     // the letters of the requests the gateway got
    const char *status;
    const char *firstIpOctet;
    const char *deviceAmount;
};

void PrintTo(const Scenario &scenario, std::ostream *out) {
    *out << scenario.name;
}

// The product's windows against a loopback gateway whose answers the scenario scripts.
class FaultScenario : public ::testing::TestWithParam<Scenario> {
public:
    FaultScenario() {
        QObject::connect(&peer, &ScriptedPeer::bytesReceived, [this] { scan(); });
        app.show();
        app.link().setStaleReplyMs(500);
    }

    void answerGoodReplies() {
        answer = [this](char command) { peer.send(goodReplyTo(command)); };
    }
    // "Start Connect", with or without reading the stored configuration; returns when its
    // click handler has, the read-back included.
    void connect(bool readBack) { connectByClicks(app, readBack); }
    void disconnect() { QTest::mouseClick(main.DisconnectButt, Qt::LeftButton); }
    // The scripted configuration shares COB-IDs between devices: its findings are sent anyway.
    void save() {
        DialogAnswerer sendAnyway;
        QTest::mouseClick(network.SaveCommand, Qt::LeftButton);
    }
    // Runs `action` from the event loop `ms` from now, usually inside a click handler's wait.
    void at(int ms, std::function<void()> action) {
        QTimer::singleShot(ms, &m_context, std::move(action));
    }
    QString status() const { return main.statusText(); }
    QString downloadLine() { return app.mappingView().DownloadLabel->text(); }

    void openDevice(int device) {
        QTest::mouseClick(
            network.findChild<QPushButton *>(QStringLiteral("CommButt%1").arg(device)),
            Qt::LeftButton);
    }
    // The user types a TxPDO data byte through the grid's type list.
    void typeTxByte(int row, int column, const char *choice) {
        CANopenDeviceSetting &window = app.deviceSettings();
        QTableWidget *grid = window.MSFlexGrid;
        const QModelIndex cell = grid->model()->index(row, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
        choose(*window.findChild<QComboBox *>(QStringLiteral("TypeCombo")), QLatin1String(choice));
    }
    // Two devices whose TxPDO tables need three table frames.
    void fillTablesForSeveralFrames() {
        choose(*network.DevicesNumCombo, QStringLiteral("2"));
        const PdoEntry entry{0x181, 0, 8, hexBytes("0101010101010101")};
        const DeviceTables device{1, std::vector(30, entry), {}, {}, {}};
        ReadBackCounters counters;
        applyTableReply(app.config(), counters, TableReply{{device, device}});
    }

    // The model is consistent and the windows came through usable: a new connect and a whole
    // save work.
    void expectUsableAfterwards() {
        EXPECT_EQ(testing::modelInvariantFaults(app.config()).join(u'\n').toStdString(), "");
        if (main.DisconnectButt->isEnabled())
            disconnect();
        ASSERT_TRUE(main.ConnectButt->isEnabled());
        const qsizetype before = commands.size();
        connect(false);
        ASSERT_TRUE(app.link().isConnected());
        EXPECT_TRUE(network.isVisible());
        EXPECT_TRUE(status().isEmpty()) << status().toStdString();
        ASSERT_TRUE(network.SaveCommand->isEnabled());
        save();
        EXPECT_TRUE(downloadLine().startsWith(QStringLiteral("Configuration sent: all")))
            << downloadLine().toStdString();
        EXPECT_TRUE(pumpUntil([&] { return commands.mid(before).startsWith(u"RS"); }))
            << commands.toStdString();
    }

    ScriptedPeer peer;
    QString commands;                 // the letter of every request ("#PD" gives 'P')
    std::function<void(char)> answer; // the gateway's answer to each request
    UtilityApp app{peer.port(), 20};
    InitialScreen &main = app.main();
    MappingModules &network = app.network();

private:
    // Answers may run the event loop, and with it this scan once more: a place is taken before
    // it is answered.
    void scan() {
        static const QByteArray envelope = hexBytes("010200000006");
        for (QByteArray bytes = peer.received(); m_scanned + frame::kHeaderSize <= bytes.size();
             bytes = peer.received()) {
            const QByteArray head = bytes.mid(m_scanned++, frame::kHeaderSize);
            const char command = head[frame::kCommandLetter];
            if (!head.startsWith(envelope) || head[frame::kCommandMark] != '#' ||
                head[frame::kCommandSuffix] != 'D')
                continue;
            commands += QLatin1Char(command);
            if (answer)
                answer(command);
        }
    }

    qsizetype m_scanned = 0;
    QObject m_context;
};

TEST_P(FaultScenario, EndsConsistentToldAndUsable) {
    const Scenario &scenario = GetParam();
    scenario.run(*this);
    answer = nullptr;
    const auto expectShown = [](const QString &shown, const char *expected) {
        if (!expected)
            return;
        EXPECT_EQ(shown.toStdString(), expected);
    };
    expectShown(commands, scenario.commands);
    expectShown(status(), scenario.status);
    expectShown(network.IPText[0]->text(), scenario.firstIpOctet);
    expectShown(network.DevicesNumCombo->currentText(), scenario.deviceAmount);
    expectUsableAfterwards();
}

const char *const kNoAnswer = "The gateway answered 0 of the 3 read requests.";
const char *const kClosed = "The gateway closed the connection.";

const Scenario kScenarios[] = {
    {"GatewayNeverAnswers", [](FaultScenario &t) { t.connect(true); }, "PGH", kNoAnswer, "192",
     "1"},
    // The general reply is cut off by the close: nothing of it reaches the windows.
    {"GatewayClosesTheConnectionInTheMiddleOfAReply",
     [](FaultScenario &t) {
         t.answer = [&t](char command) {
             const QByteArray answer = goodReplyTo(command);
             t.peer.send(command == 'G' ? answer.left(40) : answer);
             if (command == 'G')
                 t.peer.disconnectClient();
         };
         t.connect(true);
     },
     "PG", kClosed, "10", "1"},
    // 40 bytes of an Ethernet and a general reply, one every 100 ms: no reply is whole before
    // its answer window or its deadline ends, and the network window answers the user meanwhile.
    {"GatewaySendsOneByteEvery100Ms",
     [](FaultScenario &t) {
         const QByteArray replies = goodReplyTo('P') + goodReplyTo('G');
         QTimer trickle;
         int sent = 0;
         QObject::connect(&trickle, &QTimer::timeout, [&] {
             if (sent == 40)
                 trickle.stop();
             else
                 t.peer.send(replies.mid(sent++, 1));
         });
         t.answer = [&](char command) {
             if (command == 'P')
                 trickle.start(100);
         };
         t.app.link().setStaleReplyMs(300);
         t.at(1500, [&t] { choose(*t.network.baudrateCombo, QStringLiteral("125")); });
         t.connect(true);
         ASSERT_TRUE(pumpUntil([&] { return !trickle.isActive(); }, 5000));
         pumpUntil([] { return false; }, 700); // the deadline of the last begun reply passes
         EXPECT_EQ(t.network.CANopenBaudRate, 3);
     },
     nullptr, kNoAnswer, "192", "1"},
    // Random bytes, and a reply envelope with a kind no reply has, after every request.
    {"GatewayAnswersWithGarbage",
     [](FaultScenario &t) {
         std::mt19937 random(7);
         t.answer = [&](char) {
             QByteArray bytes(64 * 1024, Qt::Uninitialized);
             std::generate(bytes.begin(), bytes.end(), [&] { return char(random()); });
             bytes += goodReplyTo('P');
             bytes[64 * 1024 + reply::kKind] = 'Z';
             t.peer.send(bytes);
         };
         t.connect(true);
     },
     nullptr, kNoAnswer, "192", "1"},
    {"DisconnectWhileTheReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(1500, [&t] { t.disconnect(); });
         t.connect(true);
         EXPECT_FALSE(t.network.isVisible());
     },
     "PG", "The connection ended before the configuration was read in full.", nullptr, "2"},
    // Inside the first read-back's wait the user disconnects and connects again with a whole
    // read-back; later, while the first click handler could still be waiting, the connection
    // window is closed. The first read-back asks nothing more once its connection has gone.
    {"ConnectAgainWhileTheFirstReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(1500, [&t] {
             t.disconnect();
             t.connect(true);
         });
         bool closed = false;
         t.at(5000, [&] {
             t.disconnect();
             QTest::mouseClick(t.main.ConnectButt, Qt::LeftButton);
             t.app.connectSet()->close();
             closed = true;
         });
         t.connect(true);
         ASSERT_TRUE(pumpUntil([&] { return closed; }, 4000));
         EXPECT_EQ(t.app.connectSet(), nullptr);
     },
     "PGPGH", "", nullptr, "2"},
    // A save while the configuration is still being read would write half of it to the gateway.
    {"SaveWhileTheReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(1500, [&t] {
             EXPECT_FALSE(t.network.SaveCommand->isEnabled());
             t.save();
         });
         t.connect(true);
     },
     "PGH", "", nullptr, nullptr},
    // What the user types before the gateway's configuration arrives is replaced by it, and the
    // device window does not go on showing tables that are gone.
    {"DeviceButtonWhileTheReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(500, [&t] {
             t.openDevice(1);
             t.typeTxByte(2, 4, "Word");
         });
         t.at(1500, [&t] {
             EXPECT_FALSE(t.app.deviceSettings().isVisible()); // the general reply closed it
             t.openDevice(2);
             t.typeTxByte(5, 4, "Byte");
         });
         t.connect(true);
         EXPECT_FALSE(t.app.deviceSettings().isVisible());
         EXPECT_TRUE(t.network.isVisible());
         fixtures::ReadBackHarness expected;
         expected.feed(goodReplyTo('P') + goodReplyTo('G') + goodReplyTo('H'));
         const GatewayConfig &config = t.app.config();
         EXPECT_TRUE(config.TxPDOTable == expected.config.TxPDOTable);
         EXPECT_TRUE(config.TxPDO_rows == expected.config.TxPDO_rows);
     },
     "PGH", "", "10", "2"},
    // The mapping view, closed while a device window is open, shows the network window beside
    // it: a new device amount there must not leave the device window editing a device no longer
    // listed.
    {"DeviceAmountChangedWhileADeviceWindowIsOpen",
     [](FaultScenario &t) {
         t.network.show();
         choose(*t.network.DevicesNumCombo, QStringLiteral("2"));
         t.save();
         t.openDevice(2);
         t.app.mappingView().close();
         ASSERT_TRUE(t.network.isVisible());
         choose(*t.network.DevicesNumCombo, QStringLiteral("1"));
         EXPECT_FALSE(t.app.deviceSettings().isVisible());
         if (t.app.deviceSettings().isVisible())
             t.typeTxByte(1, 4, "Byte");
     },
     "", nullptr, nullptr, "1"},
    {"ConnectionDropsInTheMiddleOfADownload",
     [](FaultScenario &t) {
         t.connect(false);
         t.fillTablesForSeveralFrames();
         t.answer = [&t](char command) {
             if (command == 'S')
                 t.peer.disconnectClient();
         };
         t.save();
         const QRegularExpressionMatch stopped =
             QRegularExpression(QStringLiteral("^Download stopped: the connection was lost after "
                                               "(\\d) of 4 frames\\.$"))
                 .match(t.downloadLine());
         ASSERT_TRUE(stopped.hasMatch()) << t.downloadLine().toStdString();
         EXPECT_GE(stopped.captured(1).toInt(), 2);
         EXPECT_TRUE(t.network.SaveCommand->isEnabled());
     },
     nullptr, kClosed, nullptr, nullptr},
    // A download whose connection is gone sends nothing over the next one (the requests are
    // noted afresh from the new connect on), and no second save starts before it has ended.
    {"ConnectAgainWhileADownloadWaits",
     [](FaultScenario &t) {
         t.connect(false);
         t.fillTablesForSeveralFrames();
         t.answer = [&t](char command) {
             if (command != 'R')
                 return;
             t.at(0, [&t] {
                 t.disconnect();
                 t.connect(false);
                 t.commands.clear();
                 EXPECT_FALSE(t.network.SaveCommand->isEnabled());
             });
         };
         t.save();
         EXPECT_EQ(
             t.downloadLine(),
             QStringLiteral("Download stopped: the connection was lost after 1 of 4 frames."));
         pumpUntil([] { return false; }, 100);
     },
     "", nullptr, nullptr, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto &scenario) { return std::string(scenario.param.name); });

} // namespace
} // namespace tolvar
