#include "GatewaySimServer.h"

#include "link/CommandFrame.h"
#include "link/ReplyEncoder.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

using namespace tolvar;

namespace {

constexpr int kDeadlineMs = 3000;

// Runs the event loop until `done` holds or the deadline passes; answers `done`.
bool waitUntil(const std::function<bool()> &done) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    deadline.start(kDeadlineMs);
    poll.start(1);
    loop.exec();
    return done();
}

SimConfig exampleConfig(const char *name) {
    auto loaded = loadSimConfigFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + QLatin1String(name));
    return std::get<SimConfig>(loaded);
}

QByteArray readFrame(char letter) {
    return readCommandFrame(static_cast<ReadCommand>(letter), 1);
}

class TestClient {
public:
    TestClient() {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
            received += socket.readAll();
            ++reads;
        });
    }

    bool connectTo(quint16 port) {
        socket.connectToHost(QHostAddress::LocalHost, port);
        return waitUntil([this] { return socket.state() == QAbstractSocket::ConnectedState; });
    }
    bool waitForBytes(qsizetype count) {
        return waitUntil([this, count] { return received.size() >= count; });
    }
    bool waitForClose() {
        return waitUntil([this] { return socket.state() == QAbstractSocket::UnconnectedState; });
    }

    QTcpSocket socket;
    QByteArray received;
    int reads = 0;
};

class GatewaySimServerTest : public testing::Test {
protected:
    void SetUp() override {
        server.setConfig(config);
        ASSERT_TRUE(server.listen(0)) << server.errorString().toStdString();
        ASSERT_TRUE(client.connectTo(server.serverPort()));
        ASSERT_TRUE(waitUntil([this] { return server.hasClient(); }));
    }

    // Sends a #PD and expects exactly the Ethernet reply back.
    void expectServed(TestClient &peer) {
        const QByteArray expected = encodeReply(ethernetReplyOf(config));
        peer.received.clear();
        peer.socket.write(readFrame('P'));
        ASSERT_TRUE(peer.waitForBytes(expected.size()));
        EXPECT_EQ(peer.received, expected);
    }

    QStringList receivedCommands() const {
        QStringList commands;
        for (const ReceivedFrame &frame : server.receivedFrames()) {
            commands << frame.command;
        }
        return commands;
    }

    SimConfig config = exampleConfig("multi.json");
    GatewaySimServer server;
    TestClient client;
};

TEST_F(GatewaySimServerTest, ListensOnLoopbackOnly) {
    EXPECT_EQ(server.serverAddress(), QHostAddress(QHostAddress::LocalHost));
    EXPECT_NE(server.serverPort(), 0);
}

TEST_F(GatewaySimServerTest, EthernetReplyCarriesTheConfiguredAddresses) {
    client.socket.write(readFrame('P'));
    ASSERT_TRUE(client.waitForBytes(24));
    EXPECT_EQ(client.received.mid(6, 5).toHex(' '), "19 75 04 01 49");
    EXPECT_EQ(client.received.mid(12).toHex(' '), "c0 a8 01 14 ff ff ff 00 c0 a8 01 01");
}

struct ReadCase {
    char letter;
    std::function<Reply(const SimConfig &)> reply;
};

void PrintTo(const ReadCase &c, std::ostream *os) {
    *os << "#" << c.letter << "D";
}

class GatewaySimReadTest : public GatewaySimServerTest,
                           public testing::WithParamInterface<ReadCase> {};

TEST_P(GatewaySimReadTest, ReadCommandGetsTheEncodedReplyOfTheConfiguration) {
    const QByteArray expected = encodeReply(GetParam().reply(config));
    client.socket.write(readFrame(GetParam().letter));
    ASSERT_TRUE(client.waitForBytes(expected.size()));
    EXPECT_EQ(client.received, expected);
    ASSERT_EQ(server.receivedFrames().size(), 1);
    EXPECT_EQ(server.receivedFrames().at(0).frame, readFrame(GetParam().letter));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, GatewaySimReadTest,
    testing::Values(ReadCase{'P', [](const SimConfig &c) { return ethernetReplyOf(c); }},
                    ReadCase{'G', [](const SimConfig &c) { return generalReplyOf(c); }},
                    ReadCase{'H', [](const SimConfig &c) { return tableReplyOf(c); }}));

TEST_F(GatewaySimServerTest, GluedReadsAreAnsweredInOrder) {
    const QByteArray expected = encodeReply(ethernetReplyOf(config)) +
                                encodeReply(generalReplyOf(config)) +
                                encodeReply(tableReplyOf(config));
    client.socket.write(readFrame('P') + readFrame('G') + readFrame('H'));
    ASSERT_TRUE(client.waitForBytes(expected.size()));
    EXPECT_EQ(client.received, expected);
}

struct ChunkCase {
    const char *example;
    int bytes;
    int delayMs;
};

void PrintTo(const ChunkCase &c, std::ostream *os) {
    *os << c.example << " in " << c.bytes << "-byte pieces " << c.delayMs << " ms apart";
}

class GatewaySimChunkTest : public GatewaySimServerTest,
                            public testing::WithParamInterface<ChunkCase> {};

TEST_P(GatewaySimChunkTest, PiecesCarryTheSameBytes) {
    server.setConfig(exampleConfig(GetParam().example));
    server.setChunking(GetParam().bytes, GetParam().delayMs);
    const QByteArray expected =
        encodeReply(generalReplyOf(server.config())) + encodeReply(tableReplyOf(server.config()));
    client.socket.write(readFrame('G') + readFrame('H'));
    ASSERT_TRUE(client.waitForBytes(expected.size()));
    EXPECT_EQ(client.received, expected);
    EXPECT_GT(client.reads, 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GatewaySimChunkTest,
                         testing::Values(ChunkCase{"multi.json", 7, 5},
                                         ChunkCase{"small.json", 1, 0},
                                         ChunkCase{"maximal.json", 4096, 1}));

TEST_F(GatewaySimServerTest, WriteCommandsAreRecordedButNotAnswered) {
    QByteArray ethernetSettings = CommandFrame{1, 'I', 15, 30, 31}.encode();
    QByteArray generalSettings = CommandFrame{1, 'R', 20, 40, 53}.encode();
    generalSettings[16] = 1;
    const QByteArray table = CommandFrame{1, 'S', 127, 254, 267}.encode();
    client.socket.write(ethernetSettings + generalSettings + table);
    expectServed(client);
    EXPECT_EQ(receivedCommands(), (QStringList{"#ID", "#RD", "#SD", "#PD"}));
    EXPECT_EQ(server.receivedFrames().at(1).frame, generalSettings);
}

TEST_F(GatewaySimServerTest, GarbageIsDroppedAndTheNextReadAnswered) {
    const QByteArray garbage("GET / HTTP/1.0\r\n\r\n");
    client.socket.write(garbage);
    ASSERT_TRUE(waitUntil([this] { return !server.receivedFrames().isEmpty(); }));
    EXPECT_EQ(server.receivedFrames().at(0), (ReceivedFrame{"unknown", garbage}));
    expectServed(client);
}

TEST_F(GatewaySimServerTest, SignalReportsEveryFrame) {
    QList<ReceivedFrame> signalled;
    QObject::connect(&server, &GatewaySimServer::frameReceived, &server,
                     [&](const QString &command, const QByteArray &frame) {
                         signalled.append({command, frame});
                     });
    client.socket.write(readFrame('H') + readFrame('P'));
    ASSERT_TRUE(waitUntil([&] { return signalled.size() == 2; }));
    EXPECT_EQ(signalled, server.receivedFrames());
    EXPECT_EQ(signalled.at(0), (ReceivedFrame{"#HD", readFrame('H')}));
}

TEST_F(GatewaySimServerTest, IncompleteFrameIsDroppedAfterThePause) {
    server.setIncompleteFrameTimeout(50);
    QByteArray dropped;
    QObject::connect(&server, &GatewaySimServer::incompleteFrameDropped, &server,
                     [&](const QByteArray &bytes) { dropped = bytes; });
    client.socket.write(readFrame('P').left(10));
    ASSERT_TRUE(waitUntil([&] { return !dropped.isEmpty(); }));
    EXPECT_EQ(dropped, readFrame('P').left(10));
    // Had the ten bytes stayed, this frame would have been cut as garbage.
    expectServed(client);
}

TEST_F(GatewaySimServerTest, SecondClientIsClosedWhileTheFirstIsServed) {
    int refused = 0;
    QObject::connect(&server, &GatewaySimServer::clientRefused, &server, [&] { ++refused; });
    TestClient second;
    second.socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(waitUntil([&] { return refused == 1; }));
    ASSERT_TRUE(second.waitForClose());
    EXPECT_TRUE(second.received.isEmpty());
    expectServed(client);
}

TEST_F(GatewaySimServerTest, ClientIsServedAgainAfterReconnecting) {
    expectServed(client);
    client.socket.disconnectFromHost();
    ASSERT_TRUE(waitUntil([this] { return !server.hasClient(); }));
    ASSERT_TRUE(client.connectTo(server.serverPort()));
    expectServed(client);
}

TEST_F(GatewaySimServerTest, QuickReconnectIsNotTakenForASecondClient) {
    int refused = 0;
    QObject::connect(&server, &GatewaySimServer::clientRefused, &server, [&] { ++refused; });
    client.socket.disconnectFromHost();
    TestClient next;
    ASSERT_TRUE(next.connectTo(server.serverPort()));
    expectServed(next);
    EXPECT_EQ(refused, 0);
}

TEST_F(GatewaySimServerTest, DisconnectDuringAPiecewiseReplyLeavesNothingForTheNextClient) {
    server.setChunking(1, 5);
    client.socket.write(readFrame('H'));
    ASSERT_TRUE(client.waitForBytes(3));
    client.socket.abort();
    ASSERT_TRUE(waitUntil([this] { return !server.hasClient(); }));
    server.setChunking(0, 0);
    TestClient next;
    ASSERT_TRUE(next.connectTo(server.serverPort()));
    expectServed(next);
}

TEST(GatewaySimListenTest, TakenPortIsReportedAsInUse) {
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    GatewaySimServer server;
    EXPECT_FALSE(server.listen(holder.serverPort()));
    EXPECT_EQ(server.serverError(), QAbstractSocket::AddressInUseError);
    EXPECT_FALSE(server.errorString().isEmpty());
}

} // namespace
