#include "link/GatewayLink.h"
#include "link/CommandFrame.h"
#include "link/ReplyEncoder.h"

#include "support/ScriptedPeer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

struct Received {
    std::vector<Reply> replies;
    QStringList refusals;
};

class GatewayLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&link, &GatewayLink::replyReceived,
                         [this](const Reply &reply) { received.replies.push_back(reply); });
        QObject::connect(&link, &GatewayLink::replyRefused,
                         [this](const QString &reason) { received.refusals << reason; });
    }

    void connectLink() {
        link.connectToGateway(QStringLiteral("127.0.0.1"));
        ASSERT_TRUE(link.waitConnected(2));
        ASSERT_TRUE(pumpUntil([this] { return peer.hasClient(); }));
    }

    ScriptedPeer peer;
    GatewayLink link{peer.port()};
    Received received;
};

EthernetReply sampleEthernet() {
    return {{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}};
}

GeneralReply sampleGeneral() {
    GeneralReply general;
    general.deviceCount = 1;
    general.serialId = 1;
    general.devices.resize(1);
    general.devices[0].nodeId = 5;
    general.serial = {1, 3, 1, 1, 1, 0};
    return general;
}

TEST_F(GatewayLinkTest, SendsNothingWhileNotConnected) {
    EXPECT_FALSE(link.send(readCommandFrame(ReadCommand::ReadParams, 1)));
    EXPECT_FALSE(link.isConnected());
}

TEST_F(GatewayLinkTest, SendsEachFrameWhole) {
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

TEST_F(GatewayLinkTest, DropsAReplyCutShortAfterTheWait) {
    connectLink();
    peer.send(encodeReply(sampleGeneral()).left(40));
    EXPECT_TRUE(pumpUntil([this] { return !received.refusals.isEmpty(); },
                          GatewayLink::kStaleReplyMs + 2000));
    EXPECT_TRUE(received.replies.empty());
    // The next whole reply is taken on its own, not glued to the dropped bytes.
    peer.send(encodeReply(sampleEthernet()));
    ASSERT_TRUE(pumpUntil([this] { return received.replies.size() == 1; }));
    EXPECT_EQ(received.replies[0], Reply(sampleEthernet()));
}

} // namespace
} // namespace tolvar
