#include "link/GatewayLink.h"
#include "gateway/ReplyEncoder.h"
#include "link/CommandFrame.h"

#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

const EthernetReply kEthernet{{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}};
const QByteArray kEthernetBytes = encodeReply(kEthernet);

// One device: a reply twice as long as the Ethernet reply.
const GeneralReply kGeneral{.deviceCount = 1, .devices = {DeviceRecord{.nodeId = 1}}, .serial = {}};
const QByteArray kGeneralBytes = encodeReply(kGeneral);

class GatewayLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&link, &GatewayLink::replyReceived,
                         [this](const Reply &reply) { replies.push_back(reply); });
        QObject::connect(&link, &GatewayLink::replyRefused,
                         [this](const QString &reason) { reports << reason; });
        link.connectToGateway(QStringLiteral("127.0.0.1"));
        ASSERT_TRUE(link.waitConnected(2));
        ASSERT_TRUE(pumpUntil([this] { return peer.hasClient(); }));
    }
    void sendRequest() { ASSERT_TRUE(link.send(readCommandFrame(ReadCommand::ReadParams, 1))); }
    static void wait(int ms) {
        pumpUntil([] { return false; }, ms);
    }

    ScriptedPeer peer;
    GatewayLink link{peer.port()};
    std::vector<Reply> replies;
    QStringList reports;
};

// How the bytes may be split is the assembler's table; here the socket's pieces reach it, the
// request goes out whole, and a cut reply is reported when the next request goes out or when
// the gateway closes the connection.
TEST_F(GatewayLinkTest, RepliesInPiecesComeOutWholeAndCutOnesAreReported) {
    const QByteArray bytes = kGeneralBytes + kEthernetBytes + kEthernetBytes.left(20);
    for (qsizetype at = 0; at < bytes.size(); at += 5)
        peer.send(bytes.mid(at, 5));
    ASSERT_TRUE(pumpUntil([this] { return replies.size() == 2; }));
    EXPECT_EQ(replies, (std::vector<Reply>{kGeneral, kEthernet}));
    wait(100);
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    sendRequest();
    ASSERT_TRUE(pumpUntil([this] { return peer.received().size() >= 17; }));
    EXPECT_EQ(peer.received(), readCommandFrame(ReadCommand::ReadParams, 1));
    EXPECT_EQ(reports.join('\n').toStdString(),
              "Dropped an incomplete Ethernet reply (20 of 24 bytes): the next request went out "
              "before the rest arrived.");
    peer.send(kGeneralBytes.left(40));
    peer.disconnectClient();
    ASSERT_TRUE(pumpUntil([this] { return reports.size() == 3; }));
    EXPECT_EQ(reports.sliced(1).join('\n').toStdString(),
              "Dropped an incomplete general reply (40 of 48 bytes): the gateway closed the "
              "connection.\nThe gateway closed the connection.");
    EXPECT_FALSE(link.isConnected());
    EXPECT_FALSE(link.send(readCommandFrame(ReadCommand::ReadParams, 1)));
}

// The deadline runs from the first byte, however the rest trickles in; what the window holds
// after it is the assembler's table.
TEST_F(GatewayLinkTest, ATricklingReplyIsDroppedAtAFixedDeadline) {
    link.setStaleReplyMs(300);
    for (char byte : kGeneralBytes) {
        peer.send(QByteArray(1, byte));
        wait(20);
    }
    wait(400);
    EXPECT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.value(0).endsWith("): the rest did not arrive in time."));
    EXPECT_TRUE(replies.empty());
}

} // namespace
} // namespace tolvar
