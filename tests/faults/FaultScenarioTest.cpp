// The program against a gateway that misbehaves, and a user who does not wait: each scenario
// ends with the model consistent, the user told what happened, and a later connect and save
// that work.
#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "gateway/ReplyEncoder.h"
#include "link/ReadBackModel.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include "network/WindowControls.h"
#include "support/ConnectByClicks.h"
#include "support/DialogAnswerer.h"
#include "support/ModelInvariants.h"
#include "support/ReplyFixtures.h"
#include "support/ScriptedPeer.h"

#include <QTableWidget>

#include <gtest/gtest.h>

#include <random>

namespace tolvar {
namespace {

using fixtures::hexBytes;

// The gateway's whole answer to a read request: one device with one TxPDO entry, whose data
// length covers typed bytes only.
QByteArray goodReplyTo(char command) {
    const DeviceTables device{1, {PdoEntry{0x181, 0, 3, hexBytes("010202")}}, {}, {}, {}};
    if (command == 'P')
        return encodeReply(EthernetReply{{10, 0, 0, 7}, {255, 255, 255, 0}, {10, 0, 0, 1}});
    return command == 'G' ? encodeReply(fixtures::generalListing(1))
                          : encodeReply(TableReply{{device}});
}

class FaultScenario;

// How the gateway and the user behave, and what the user is told afterwards.
struct Scenario {
    const char *name;
    std::function<void(FaultScenario &)> run; // scripts the gateway and the user, and acts
    const char *commands;                     // the letters of the requests the gateway got
    const char *status;
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
        // Scenarios about what a gateway holds after a save turn the verify on.
        app.main().VerifyAfterSavingAction->setChecked(false);
    }

    // Only the read requests get answers: a save goes unanswered.
    void answerGoodReplies() {
        answer = [this](char command) {
            if (QByteArrayView("PGH").contains(command))
                peer.send(goodReplyTo(command));
        };
    }
    // The scripted configuration shares COB-IDs between devices: its findings are sent anyway,
    // as is a configuration not read in full.
    void save() {
        DialogAnswerer sendAnyway;
        sendAnyway.reply = QMessageBox::Yes;
        QTest::mouseClick(app.network().SaveCommand, Qt::LeftButton);
    }
    // A save after which the gateway is expected to hold what was sent, and a whole read-back.
    void saveAndVerify() {
        app.main().VerifyAfterSavingAction->setChecked(true);
        save();
    }
    // Runs `action` from the event loop `ms` from now, usually inside a click handler's wait.
    void at(int ms, std::function<void()> action) { QTimer::singleShot(ms, &peer, action); }
    QString downloadLine() { return app.mappingView().DownloadLabel->text(); }

    // The model is consistent and the windows came through usable: a new connect and a whole
    // save work.
    void expectUsableAfterwards() {
        EXPECT_EQ(testing::modelInvariantFaults(app.config()).join(u'\n').toStdString(), "");
        if (app.main().DisconnectButt->isEnabled())
            QTest::mouseClick(app.main().DisconnectButt, Qt::LeftButton);
        connectByClicks(app, false);
        app.main().VerifyAfterSavingAction->setChecked(false);
        save();
        EXPECT_TRUE(downloadLine().startsWith(QStringLiteral("Configuration sent (not verified)")))
            << downloadLine().toStdString();
    }

    ScriptedPeer peer;
    QString commands;                 // the letter of every request ("#PD" gives 'P')
    std::function<void(char)> answer; // the gateway's answer to each request
    UtilityApp app{peer.port(), 20};

private:
    // Answers may run the event loop, and with it this scan once more: a place is taken before
    // it is answered.
    void scan() {
        static const QByteArray envelope = hexBytes("010200000006");
        for (qsizetype at; (at = peer.received().indexOf(envelope, m_scanned)) >= 0 &&
                           at + frame::kHeaderSize <= peer.received().size();) {
            m_scanned = at + 1;
            const QByteArray head = peer.received().mid(at, frame::kHeaderSize);
            if (head[frame::kCommandMark] == '#' && head[frame::kCommandSuffix] == 'D') {
                commands += QLatin1Char(head[frame::kCommandLetter]);
                if (answer)
                    answer(head[frame::kCommandLetter]);
            }
        }
    }

    qsizetype m_scanned = 0;
};

TEST_P(FaultScenario, EndsConsistentToldAndUsable) {
    GetParam().run(*this);
    answer = nullptr;
    EXPECT_EQ(app.main().statusText().toStdString(), GetParam().status);
    EXPECT_EQ(commands.toStdString(), GetParam().commands);
    expectUsableAfterwards();
}

const char *const kNoAnswer = "The gateway answered 0 of the 3 read requests.";
const char *const kClosed = "The gateway closed the connection.";
const char *const kNotVerified =
    "Configuration sent, but not verified: The gateway did not answer all three read commands "
    "(#PD, #GD, #HD); nothing was compared.";

// Answers the read requests of a verify by sending the whole replies one byte every 100 ms.
void drip(FaultScenario &t, char command) {
    const QByteArray reply = goodReplyTo(command);
    for (int sent = 0; sent < 12; ++sent) {
        t.peer.send(reply.mid(sent, 1));
        pumpUntil([] { return false; }, 100);
    }
}

const Scenario kScenarios[] = {
    {"GatewayNeverAnswers", [](FaultScenario &t) { connectByClicks(t.app, true); }, "PGH",
     kNoAnswer},
    {"GatewayClosesTheConnectionInTheMiddleOfAReply",
     [](FaultScenario &t) {
         t.answer = [&t](char) {
             t.peer.send(goodReplyTo('P').left(20));
             t.peer.disconnectClient();
         };
         connectByClicks(t.app, true);
     },
     "P", kClosed},
    // 40 bytes of an Ethernet and a general reply, one every 100 ms: no reply is whole before
    // its answer window or its deadline ends.
    {"GatewaySendsOneByteEvery100Ms",
     [](FaultScenario &t) {
         // Sent from within the request's handling: the requests that follow are noted meanwhile.
         t.answer = [&t](char command) {
             const QByteArray replies = goodReplyTo('P') + goodReplyTo('G');
             for (int sent = 0; command == 'P' && sent < 40; ++sent) {
                 t.peer.send(replies.mid(sent, 1));
                 pumpUntil([] { return false; }, 100);
             }
         };
         connectByClicks(t.app, true);
         pumpUntil([] { return false; }, 700); // the deadline of the last begun reply passes
     },
     "PGH", kNoAnswer},
    // 64 KiB of random bytes after every request.
    {"GatewayAnswersWithGarbage",
     [](FaultScenario &t) {
         std::independent_bits_engine<std::mt19937, 8, unsigned> random(7);
         QByteArray garbage(64 * 1024, Qt::Uninitialized);
         std::ranges::generate(garbage, [&] { return char(random()); });
         t.answer = [&](char) { t.peer.send(garbage); };
         connectByClicks(t.app, true);
     },
     "PGH", kNoAnswer},
    {"DisconnectWhileTheReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(1500, [&t] { QTest::mouseClick(t.app.main().DisconnectButt, Qt::LeftButton); });
         connectByClicks(t.app, true);
     },
     "PG", "The connection ended before the configuration was read in full."},
    // A save while the configuration is still being read would write half of it to the gateway:
    // the gateway gets no request of a save.
    {"SaveWhileTheReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(1500, [&t] { t.save(); });
         connectByClicks(t.app, true);
     },
     "PGH", ""},
    // What the user types before the gateway's configuration arrives is replaced by it (row 2
    // would stand outside the gateway's one entry), and the device window does not go on showing
    // tables that are gone.
    {"DeviceButtonWhileTheReadBackWaits",
     [](FaultScenario &t) {
         t.answerGoodReplies();
         t.at(500, [&t] {
             t.app.network().findChild<QPushButton *>("CommButt1")->click();
             emit t.app.deviceSettings().MSFlexGrid->cellClicked(2, 4);
             testing::choose(*t.app.deviceSettings().findChild<QComboBox *>("TypeCombo"), "Word");
         });
         connectByClicks(t.app, true);
         EXPECT_FALSE(t.app.deviceSettings().isVisible());
     },
     "PGH", ""},
    // Two devices whose TxPDO tables need three table frames; the gateway drops the connection
    // at the first of them.
    {"ConnectionDropsInTheMiddleOfADownload",
     [](FaultScenario &t) {
         connectByClicks(t.app, false);
         testing::choose(*t.app.network().DevicesNumCombo, QStringLiteral("2"));
         const DeviceTables device{
             1, std::vector(30, PdoEntry{0x181, 0, 8, hexBytes("0101010101010101")}), {}, {}, {}};
         ReadBackCounters counters;
         applyTableReply(t.app.config(), counters, TableReply{{device, device}});
         t.answer = [&t](char command) {
             // No second save may start while this one runs.
             EXPECT_FALSE(t.app.network().SaveCommand->isEnabled());
             if (command == 'S')
                 t.peer.disconnectClient();
         };
         t.save();
     },
     "RS", "Download stopped: the connection was lost after 2 of 4 frames."},
    // A gateway that takes the frames and then answers nothing, one that drips its answers,
    // and one that holds another configuration: sent, and never "verified".
    {"GatewaySilentAfterTheDownload",
     [](FaultScenario &t) {
         connectByClicks(t.app, false);
         t.saveAndVerify();
     },
     "RSPGH", kNotVerified},
    {"GatewayDripsItsAnswersAfterTheDownload",
     [](FaultScenario &t) {
         connectByClicks(t.app, false);
         t.answer = [&t](char command) {
             if (QByteArrayView("PGH").contains(command))
                 drip(t, command);
         };
         t.saveAndVerify();
     },
     "RSPGH", kNotVerified},
    {"GatewayHoldsSomethingElse",
     [](FaultScenario &t) {
         connectByClicks(t.app, false);
         t.answerGoodReplies();
         t.saveAndVerify();
         EXPECT_TRUE(t.app.mappingView().DifferencesButton->isVisibleTo(&t.app.mappingView()));
     },
     "RSPGH",
     "Configuration sent, but the gateway holds something else: 12 differences (first: IP: "
     "gateway 10.0.0.7, utility 192.168.255.3)."},
    // Every write refused: the download stops at the first, names it and sends nothing more.
    {"GatewayRefusesTheWrites",
     [](FaultScenario &t) {
         connectByClicks(t.app, false);
         t.answer = [&t](char) { t.peer.send(encodeReply(ExceptionReply{0x10, 4})); };
         t.saveAndVerify();
     },
     "R",
     "Download stopped: the gateway refused the general settings frame (#RD) with Modbus "
     "exception 4 (server device failure); 1 of 2 frames were sent."},
    // A general reply nobody asked for, in the middle of a download, changes nothing.
    {"UnaskedReplyDuringADownload",
     [](FaultScenario &t) {
         connectByClicks(t.app, false);
         const GatewayConfig before = t.app.config();
         t.answer = [&t](char command) {
             if (command == 'R')
                 t.peer.send(encodeReply(fixtures::generalListing(3)));
         };
         t.save();
         EXPECT_TRUE(t.app.config() == before);
     },
     "RS", "Configuration sent (not verified): all 2 frames. Ignored 1 reply(s) nobody asked for."},
    // The table reply never comes: a save asks first, and Cancel sends nothing.
    {"SaveAfterADroppedTableReply",
     [](FaultScenario &t) {
         t.answer = [&t](char command) {
             if (command != 'H')
                 t.peer.send(goodReplyTo(command));
         };
         connectByClicks(t.app, true);
         DialogAnswerer cancel;
         QTest::mouseClick(t.app.network().SaveCommand, Qt::LeftButton);
         EXPECT_EQ(cancel.names, QStringList{"IncompleteReadBox"});
         EXPECT_TRUE(cancel.text().startsWith("The configuration was not read completely from "
                                              "the gateway (the table reply was dropped)."));
     },
     "PGH", "The gateway answered 2 of the 3 read requests."},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto &scenario) { return std::string(scenario.param.name); });

} // namespace
} // namespace tolvar
