#include "link/GatewayLink.h"
#include "link/CommandFrame.h"
#include "link/ReplyEncoder.h"

#include "GatewaySimServer.h"
#include "files/SimConfig.h"
#include "support/ScriptedPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

const EthernetReply kEthernet{{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}};
const QByteArray kEthernetBytes = encodeReply(kEthernet);

GeneralReply sampleGeneral() {
    GeneralReply general;
    general.deviceCount = 1;
    general.devices.resize(1);
    general.serial = {1, 3, 1, 1, 1, 0};
    return general;
}

// What a link hands out, and the device amount its general replies set.
struct Received {
    explicit Received(GatewayLink &link) {
        QObject::connect(&link, &GatewayLink::replyReceived, [this](const Reply &reply) {
            replies.push_back(reply);
            if (const auto *general = std::get_if<GeneralReply>(&reply))
                devices = general->deviceCount;
        });
        QObject::connect(&link, &GatewayLink::replyRefused,
                         [this](const QString &reason) { reports << reason; });
        link.setDeviceCountSource([this] { return devices; });
    }
    std::vector<Reply> replies;
    QStringList reports;
    int devices = 1;
};

class GatewayLinkTest : public ::testing::Test {
protected:
    void connectLink() {
        link.connectToGateway(QStringLiteral("127.0.0.1"));
        ASSERT_TRUE(link.waitConnected(2));
        ASSERT_TRUE(pumpUntil([this] { return peer.hasClient(); }));
    }
    void sendRequest() { ASSERT_TRUE(link.send(readCommandFrame(ReadCommand::ReadParams, 1))); }

    ScriptedPeer peer;
    GatewayLink link{peer.port()};
    Received received{link};
};

TEST_F(GatewayLinkTest, SendsEachFrameWholeOnlyWhileConnected) {
    EXPECT_FALSE(link.send(readCommandFrame(ReadCommand::ReadParams, 1)));
    connectLink();
    const QByteArray frame = readCommandFrame(ReadCommand::ReadGeneral, 9);
    ASSERT_TRUE(link.send(frame));
    ASSERT_TRUE(pumpUntil([this] { return peer.received().size() >= 17; }));
    EXPECT_EQ(peer.received(), frame);
}

TEST_F(GatewayLinkTest, GivesUpOnARefusedConnectionAtTheDeadline) {
    GatewayLink refused(closedLoopbackPort());
    QElapsedTimer clock;
    clock.start();
    refused.connectToGateway(QStringLiteral("127.0.0.1"));
    EXPECT_FALSE(refused.waitConnected(1));
    EXPECT_GE(clock.elapsed(), 1000);
}

// The handler of one reply runs to its end, event loop included, before the next comes; and
// the event loop turns between replies.
TEST_F(GatewayLinkTest, HandsOutOneReplyPerTurnOfTheEventLoop) {
    connectLink();
    int turns = 0;
    int depth = 0;
    std::vector<int> turnsSeen;
    QObject::connect(&link, &GatewayLink::replyReceived, [&] {
        turnsSeen.push_back(depth > 0 ? -1 : turns);
        QTimer::singleShot(0, [&turns] { ++turns; });
        ++depth;
        QCoreApplication::processEvents();
        --depth;
    });
    peer.send(kEthernetBytes.repeated(3));
    ASSERT_TRUE(pumpUntil([this] { return received.replies.size() == 3; }));
    ASSERT_EQ(turnsSeen.size(), 3u);
    EXPECT_EQ(turnsSeen[0], 0);
    EXPECT_GE(turnsSeen[1], 1);
    EXPECT_GE(turnsSeen[2], 2);
}

// A close from this side is no news for the user, whatever was pending.
TEST_F(GatewayLinkTest, ACutReplyIsDroppedWhenTheNextRequestGoesOutNotWhenThisSideCloses) {
    connectLink();
    peer.send(kEthernetBytes.left(20));
    pumpUntil([] { return false; }, 100);
    sendRequest();
    ASSERT_TRUE(pumpUntil([this] { return !received.reports.isEmpty(); }));
    EXPECT_EQ(received.reports.join('\n').toStdString(),
              "Dropped an incomplete Ethernet reply (20 of 24 bytes): the next request went out "
              "before the rest arrived.");
    peer.send(kEthernetBytes + kEthernetBytes.left(20));
    ASSERT_TRUE(pumpUntil([this] { return received.replies.size() == 1; }));
    EXPECT_EQ(received.replies[0], Reply(kEthernet));
    link.close();
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(received.reports.size(), 1);
}

// The deadline runs from the first byte, however the rest trickles in; the rest of the window
// is then ignored, and the next request is answered as usual.
TEST_F(GatewayLinkTest, ATricklingReplyIsDroppedAtAFixedDeadline) {
    link.setStaleReplyMs(300);
    connectLink();
    const QByteArray general = encodeReply(sampleGeneral());
    for (char byte : general) {
        peer.send(QByteArray(1, byte));
        pumpUntil([] { return false; }, 20);
    }
    pumpUntil([] { return false; }, 400);
    ASSERT_EQ(received.reports.size(), 1);
    EXPECT_TRUE(received.reports[0].startsWith("Dropped an incomplete general reply ("));
    EXPECT_TRUE(received.reports[0].endsWith("): the rest did not arrive in time."));
    EXPECT_TRUE(received.replies.empty());
    sendRequest();
    peer.send(kEthernetBytes);
    ASSERT_TRUE(pumpUntil([this] { return received.replies.size() == 1; }));
}

TEST_F(GatewayLinkTest, TheGatewayClosingMidReplyIsReported) {
    connectLink();
    peer.send(kEthernetBytes + encodeReply(sampleGeneral()).left(40));
    peer.disconnectClient();
    ASSERT_TRUE(pumpUntil([this] { return received.reports.size() == 2; }));
    EXPECT_EQ(received.reports.join('\n').toStdString(),
              "Dropped an incomplete general reply (40 of 48 bytes): the gateway closed the "
              "connection.\nThe gateway closed the connection.");
    EXPECT_EQ(received.replies, std::vector<Reply>{kEthernet});
    EXPECT_FALSE(link.isConnected());
}

// A configuration whose general reply holds 19 75 04 01 47 at offsets 20..24: guard time
// 0x7519, 260 DO bytes, 71 DI bytes. Cut into pieces of 14, the second piece looks like a reply.
SimConfig configHoldingSignature() {
    SimDevice device;
    device.guardTime = 0x7519;
    device.rxPdo.assign(32, PdoEntry{0x201, 0, 8, QByteArray(8, '\0')});
    device.rxPdo.push_back(PdoEntry{0x202, 0, 4, QByteArray(4, '\0')});
    device.txPdo.assign(8, PdoEntry{0x181, 0, 8, QByteArray(8, '\1')});
    device.txPdo.push_back(PdoEntry{0x182, 0, 7, QByteArray(7, '\1')});
    SimConfig config;
    config.devices = {device};
    return config;
}

// The three read requests of a connect, each answered before the next goes out.
std::vector<Reply> readBackFromSimulator(const SimConfig &config, int pieces) {
    GatewaySimServer sim;
    EXPECT_TRUE(sim.listen(0));
    sim.setConfig(config);
    sim.setChunking(pieces, 0);
    GatewayLink link(sim.serverPort());
    Received received(link);
    link.connectToGateway(QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(link.waitConnected(2));
    for (ReadCommand command :
         {ReadCommand::ReadParams, ReadCommand::ReadGeneral, ReadCommand::ReadTables}) {
        const std::size_t expected = received.replies.size() + 1;
        link.send(readCommandFrame(command, 1));
        EXPECT_TRUE(pumpUntil([&] { return received.replies.size() >= expected; }, 5000));
    }
    EXPECT_TRUE(received.reports.isEmpty()) << received.reports.join('\n').toStdString();
    return received.replies;
}

TEST(GatewayLinkWithSimulator, SignatureInTheCountsReadsBackTheSameInAnyPieces) {
    const SimConfig config = configHoldingSignature();
    ASSERT_EQ(encodeReply(generalReplyOf(config)).mid(20, 5).toHex(), "1975040147");
    const std::vector<Reply> stored{ethernetReplyOf(config), generalReplyOf(config),
                                    tableReplyOf(config)};
    for (int pieces : {0, 1, 14})
        EXPECT_EQ(readBackFromSimulator(config, pieces), stored) << "pieces of " << pieces;
}

} // namespace
} // namespace tolvar
