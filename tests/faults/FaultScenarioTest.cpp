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
#include "support/ModelInvariants.h"
#include "support/ReplyFixtures.h"
#include "support/DialogAnswerer.h"
#include "support/ScriptedPeer.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>
#include <random>

// Failed comparisons show texts, not their bytes.
void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tolvar {
namespace {

using fixtures::hexBytes;
using testing::choose;

constexpr int kSecondMs = 20;
const EthernetReply kEthernet{{10, 0, 0, 7}, {255, 255, 255, 0}, {10, 0, 0, 1}};

// Two devices with one entry in every table; every data length covers typed bytes only.
TableReply twoDeviceTables() {
    const DeviceTables device{0,
                              {PdoEntry{0x181, 0, 3, hexBytes("010202")}},
                              {PdoEntry{0x201, 0, 1, hexBytes("00")}},
                              {SdoEntry{0x6000, 1, 1, false}},
                              {SdoEntry{0x6200, 1, 3, true}}};
    TableReply reply{{device, device}};
    reply.devices[0].nodeId = 1;
    reply.devices[1].nodeId = 2;
    return reply;
}

QByteArray goodReplyTo(char command) {
    switch (command) {
    case 'P':
        return encodeReply(kEthernet);
    case 'G':
        return encodeReply(fixtures::generalListing(2));
    case 'H':
        return encodeReply(twoDeviceTables());
    default:
        return {};
    }
}

// A loopback gateway whose answers the test scripts. It notes the letter of every command
// ("#PD" gives 'P') that reaches it and hands it to `answer`.
class ScriptedGateway {
public:
    ScriptedGateway() {
        QObject::connect(&peer, &ScriptedPeer::bytesReceived, [this] { scan(); });
    }
    void answerGoodReplies() {
        answer = [this](char command) { peer.send(goodReplyTo(command)); };
    }

    ScriptedPeer peer;
    QString commands;
    std::function<void(char)> answer;

private:
    // Answers may run the event loop, and with it this scan once more: a place is taken
    // before it is answered.
    void scan() {
        static const QByteArray envelope = hexBytes("010200000006");
        for (QByteArray bytes = peer.received(); m_scanned + frame::kHeaderSize <= bytes.size();
             bytes = peer.received()) {
            const QByteArray head = bytes.mid(m_scanned++, frame::kHeaderSize);
            if (!head.startsWith(envelope) || head[frame::kCommandMark] != '#' ||
                head[frame::kCommandSuffix] != 'D')
                continue;
            const char command = head[frame::kCommandLetter];
            commands += QLatin1Char(command);
            if (answer)
                answer(command);
        }
    }
    qsizetype m_scanned = 0;
};

class FaultScenario : public ::testing::Test {
protected:
    FaultScenario() {
        app.show();
        app.link().setStaleReplyMs(500);
    }

    // "Start Connect", with or without reading the stored configuration; returns when its
    // click handler has, the read-back included.
    void connect(bool readBack) {
        QTest::mouseClick(main.ConnectButt, Qt::LeftButton);
        ConnectSet &window = *app.connectSet();
        window.IPText->setText(QStringLiteral("127.0.0.1"));
        window.EmptyVlaueCheck->setChecked(!readBack);
        QTest::mouseClick(window.StartConnButt, Qt::LeftButton);
    }
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

    void expectConsistent() {
        const QStringList faults = testing::modelInvariantFaults(app.config());
        EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    }
    // The windows came through usable: a new connect and a whole save work.
    void expectUsableAfterwards() {
        expectConsistent();
        if (main.DisconnectButt->isEnabled())
            disconnect();
        ASSERT_TRUE(main.ConnectButt->isEnabled());
        gateway.answer = nullptr;
        const qsizetype before = gateway.commands.size();
        connect(false);
        ASSERT_TRUE(app.link().isConnected());
        EXPECT_TRUE(network.isVisible());
        EXPECT_TRUE(status().isEmpty()) << status().toStdString();
        ASSERT_TRUE(network.SaveCommand->isEnabled());
        save();
        EXPECT_TRUE(downloadLine().startsWith(QStringLiteral("Configuration sent: all")))
            << downloadLine().toStdString();
        EXPECT_TRUE(pumpUntil([&] { return gateway.commands.mid(before).startsWith(u"RS"); }))
            << gateway.commands.toStdString();
        expectConsistent();
    }

    ScriptedGateway gateway;
    UtilityApp app{gateway.peer.port(), kSecondMs};
    InitialScreen &main = app.main();
    MappingModules &network = app.network();
    QObject m_context;
};

TEST_F(FaultScenario, GatewayNeverAnswers) {
    connect(true);
    EXPECT_EQ(gateway.commands, QStringLiteral("PGH"));
    EXPECT_EQ(status(), QStringLiteral("The gateway answered 0 of the 3 read requests."));
    EXPECT_EQ(network.IPText[0]->text(), QStringLiteral("192"));
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QStringLiteral("1"));
    expectUsableAfterwards();
}

// The general reply is cut off by the close: nothing of it reaches the windows.
TEST_F(FaultScenario, GatewayClosesTheConnectionInTheMiddleOfAReply) {
    gateway.answer = [this](char command) {
        const QByteArray answer = goodReplyTo(command);
        gateway.peer.send(command == 'G' ? answer.left(40) : answer);
        if (command == 'G')
            gateway.peer.disconnectClient();
    };
    connect(true);
    EXPECT_EQ(gateway.commands, QStringLiteral("PG"));
    EXPECT_EQ(status(), QStringLiteral("The gateway closed the connection."));
    EXPECT_EQ(network.IPText[0]->text(), QStringLiteral("10"));
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QStringLiteral("1"));
    expectUsableAfterwards();
}

// 40 bytes of an Ethernet and a general reply, one every 100 ms: no reply is whole before its
// answer window or its deadline ends, and the network window answers the user meanwhile.
TEST_F(FaultScenario, GatewaySendsOneByteEvery100Ms) {
    const QByteArray replies = goodReplyTo('P') + goodReplyTo('G');
    QTimer trickle;
    int sent = 0;
    QObject::connect(&trickle, &QTimer::timeout, [&] {
        if (sent == 40)
            trickle.stop();
        else
            gateway.peer.send(replies.mid(sent++, 1));
    });
    gateway.answer = [&](char command) {
        if (command == 'P')
            trickle.start(100);
    };
    app.link().setStaleReplyMs(300);
    at(1500, [this] { choose(*network.baudrateCombo, QStringLiteral("125")); });
    connect(true);
    ASSERT_TRUE(pumpUntil([&] { return !trickle.isActive(); }, 5000));
    pumpUntil([] { return false; }, 700); // the deadline of the last begun reply passes
    EXPECT_EQ(network.CANopenBaudRate, 3);
    EXPECT_EQ(status(), QStringLiteral("The gateway answered 0 of the 3 read requests."));
    EXPECT_EQ(network.IPText[0]->text(), QStringLiteral("192"));
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QStringLiteral("1"));
    expectUsableAfterwards();
}

// Random bytes, and a reply envelope with a kind no reply has, after every request.
TEST_F(FaultScenario, GatewayAnswersWithGarbage) {
    std::mt19937 random(7);
    gateway.answer = [&](char) {
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        for (char &byte : junk)
            byte = char(random());
        QByteArray unknownKind = goodReplyTo('P');
        unknownKind[reply::kKind] = 'Z';
        gateway.peer.send(junk + unknownKind);
    };
    connect(true);
    EXPECT_EQ(status(), QStringLiteral("The gateway answered 0 of the 3 read requests."));
    EXPECT_EQ(network.IPText[0]->text(), QStringLiteral("192"));
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QStringLiteral("1"));
    expectUsableAfterwards();
}

TEST_F(FaultScenario, DisconnectWhileTheReadBackWaits) {
    gateway.answerGoodReplies();
    at(1500, [this] { disconnect(); });
    connect(true);
    EXPECT_EQ(gateway.commands, QStringLiteral("PG"));
    EXPECT_EQ(status(),
              QStringLiteral("The connection ended before the configuration was read in full."));
    EXPECT_FALSE(network.isVisible());
    EXPECT_EQ(network.DevicesNumCombo->currentText(), QStringLiteral("2"));
    expectUsableAfterwards();
}

// Inside the first read-back's wait the user disconnects and connects again with a whole
// read-back; later, while the first click handler could still be waiting, the connection
// window is closed.
TEST_F(FaultScenario, ConnectAgainWhileTheFirstReadBackWaits) {
    gateway.answerGoodReplies();
    at(1500, [this] {
        disconnect();
        connect(true);
    });
    bool closed = false;
    at(5000, [&] {
        disconnect();
        QTest::mouseClick(main.ConnectButt, Qt::LeftButton);
        app.connectSet()->close();
        closed = true;
    });
    connect(true);
    ASSERT_TRUE(pumpUntil([&] { return closed; }, 4000));
    // The first read-back asks nothing more once its connection has gone.
    EXPECT_EQ(gateway.commands, QStringLiteral("PGPGH"));
    EXPECT_TRUE(status().isEmpty()) << status().toStdString();
    EXPECT_EQ(app.connectSet(), nullptr);
    expectUsableAfterwards();
}

// A save while the configuration is still being read would write half of it to the gateway.
TEST_F(FaultScenario, SaveWhileTheReadBackWaits) {
    gateway.answerGoodReplies();
    at(1500, [this] {
        EXPECT_FALSE(network.SaveCommand->isEnabled());
        save();
    });
    connect(true);
    EXPECT_EQ(gateway.commands, QStringLiteral("PGH"));
    EXPECT_TRUE(status().isEmpty()) << status().toStdString();
    expectUsableAfterwards();
}

// What the user types before the gateway's configuration arrives is replaced by it, and the
// device window does not go on showing tables that are gone.
TEST_F(FaultScenario, DeviceButtonWhileTheReadBackWaits) {
    gateway.answerGoodReplies();
    at(500, [this] {
        openDevice(1);
        typeTxByte(1, 4, "Byte");
        typeTxByte(2, 4, "Word");
    });
    at(1500, [this] {
        EXPECT_FALSE(app.deviceSettings().isVisible()); // the general reply closed it
        openDevice(2);
        typeTxByte(5, 4, "Byte");
        typeTxByte(1, 8, "Word");
    });
    connect(true);
    EXPECT_FALSE(app.deviceSettings().isVisible());
    EXPECT_TRUE(network.isVisible());
    fixtures::ReadBackHarness expected;
    expected.feed(goodReplyTo('P') + goodReplyTo('G') + goodReplyTo('H'));
    const GatewayConfig &config = app.config();
    EXPECT_TRUE(config.TxPDOTable == expected.config.TxPDOTable);
    EXPECT_TRUE(config.TxPDO_rows == expected.config.TxPDO_rows);
    EXPECT_EQ(config.DI_total, expected.config.DI_total);
    EXPECT_EQ(config.AI_total, expected.config.AI_total);
    expectUsableAfterwards();
}

// The mapping view, closed while a device window is open, shows the network window beside it:
// a new device amount there must not leave the device window editing a device no longer listed.
TEST_F(FaultScenario, DeviceAmountChangedWhileADeviceWindowIsOpen) {
    network.show();
    choose(*network.DevicesNumCombo, QStringLiteral("2"));
    save();
    openDevice(2);
    app.mappingView().close();
    ASSERT_TRUE(network.isVisible());
    choose(*network.DevicesNumCombo, QStringLiteral("1"));
    EXPECT_FALSE(app.deviceSettings().isVisible());
    if (app.deviceSettings().isVisible())
        typeTxByte(1, 4, "Byte");
    expectConsistent();
}

TEST_F(FaultScenario, ConnectionDropsInTheMiddleOfADownload) {
    connect(false);
    fillTablesForSeveralFrames();
    gateway.answer = [this](char command) {
        if (command == 'S')
            gateway.peer.disconnectClient();
    };
    save();
    const QRegularExpressionMatch stopped =
        QRegularExpression(QStringLiteral("^Download stopped: the connection was lost after "
                                          "(\\d) of 4 frames\\.$"))
            .match(downloadLine());
    ASSERT_TRUE(stopped.hasMatch()) << downloadLine().toStdString();
    EXPECT_GE(stopped.captured(1).toInt(), 2);
    EXPECT_EQ(status(), QStringLiteral("The gateway closed the connection."));
    EXPECT_TRUE(network.SaveCommand->isEnabled());
    expectUsableAfterwards();
}

// A download whose connection is gone sends nothing over the next one, and no second save
// starts before it has ended.
TEST_F(FaultScenario, ConnectAgainWhileADownloadWaits) {
    connect(false);
    fillTablesForSeveralFrames();
    qsizetype reconnectedAt = -1;
    gateway.answer = [&](char command) {
        if (command != 'R')
            return;
        at(0, [&] {
            disconnect();
            connect(false);
            reconnectedAt = gateway.commands.size();
            EXPECT_FALSE(network.SaveCommand->isEnabled());
        });
    };
    save();
    EXPECT_EQ(downloadLine(),
              QStringLiteral("Download stopped: the connection was lost after 1 of 4 frames."));
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(gateway.commands.mid(reconnectedAt), QString());
    expectUsableAfterwards();
}

} // namespace
} // namespace tolvar
