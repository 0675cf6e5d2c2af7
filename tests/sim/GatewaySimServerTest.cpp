#include "GatewaySimServer.h"

#include "link/CommandFrame.h"
#include "link/ReplyEncoder.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

using namespace tolvar;

namespace {

constexpr int kDeadlineMs = 3000;

// Runs the event loop until `done` holds or the deadline passes; answers `done`.
bool waitUntil(const std::function<bool()> &done) {
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
    if (!done()) {
        loop.exec();
    }
    return done();
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

    QTcpSocket socket;
    QByteArray received;
    int reads = 0;
};

class GatewaySimServerTest : public testing::Test {
protected:
    void SetUp() override {
        const QString multi = QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json");
        server.setConfig(std::get<SimConfig>(loadSimConfigFile(multi)));
        ASSERT_TRUE(server.listen(0)) << server.errorString().toStdString();
        ASSERT_EQ(server.serverAddress(), QHostAddress(QHostAddress::LocalHost));
        ASSERT_TRUE(client.connectTo(server.serverPort()));
        ASSERT_TRUE(waitUntil([this] { return server.hasClient(); }));
        QObject::connect(&server, &GatewaySimServer::clientRefused, &server, [this] { ++refused; });
    }

    // Sends `request` and expects exactly `expected` back.
    static void expectAnswer(TestClient &peer, const QByteArray &request,
                             const QByteArray &expected) {
        peer.received.clear();
        peer.socket.write(request);
        ASSERT_TRUE(waitUntil([&] { return peer.received.size() >= expected.size(); }));
        EXPECT_EQ(peer.received.toHex(' '), expected.toHex(' '));
    }
    void expectServed(TestClient &peer) {
        expectAnswer(peer, readFrame('P'), encodeReply(ethernetReplyOf(server.config())));
    }
    QByteArray readReplies() const {
        return encodeReply(ethernetReplyOf(server.config())) +
               encodeReply(generalReplyOf(server.config())) +
               encodeReply(tableReplyOf(server.config()));
    }

    GatewaySimServer server;
    TestClient client;
    int refused = 0;
};

const QByteArray kReadFrames = readFrame('P') + readFrame('G') + readFrame('H');

TEST_F(GatewaySimServerTest, ReadsAreAnsweredWithTheEncodedConfigurationInOrder) {
    expectAnswer(client, kReadFrames, readReplies());
}

TEST_F(GatewaySimServerTest, PiecewiseRepliesCarryTheSameBytes) {
    server.setChunking(7, 1);
    expectAnswer(client, kReadFrames, readReplies());
    EXPECT_GT(client.reads, 1);
}

TEST_F(GatewaySimServerTest, GarbageAndWriteFramesAreLoggedButNotAnswered) {
    const QByteArray garbage("GET / HTTP/1.0\r\n\r\n");
    const QByteArray ethernetSettings = CommandFrame{1, 'I', 15, 30, 31}.encode();
    QByteArray generalSettings = CommandFrame{1, 'R', 20, 40, 53}.encode();
    generalSettings[16] = 1;
    const QByteArray table = CommandFrame{1, 'S', 127, 254, 267}.encode();
    client.socket.write(garbage);
    // Garbage takes every buffered byte; the frames follow once it is cut.
    ASSERT_TRUE(waitUntil([this] { return !server.receivedFrames().isEmpty(); }));
    client.socket.write(ethernetSettings + generalSettings + table);
    expectServed(client); // the first bytes back answer the #PD
    EXPECT_EQ(server.receivedFrames(), (QList<ReceivedFrame>{{"unknown", garbage},
                                                             {"#ID", ethernetSettings},
                                                             {"#RD", generalSettings},
                                                             {"#SD", table},
                                                             {"#PD", readFrame('P')}}));
}

TEST_F(GatewaySimServerTest, SecondClientIsClosedWhileTheFirstIsServed) {
    TestClient second;
    second.socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(waitUntil([&] {
        return refused == 1 && second.socket.state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(second.received.isEmpty());
    expectServed(client);
}

TEST_F(GatewaySimServerTest, QuickReconnectIsServedAgain) {
    expectServed(client);
    client.socket.disconnectFromHost();
    TestClient next;
    ASSERT_TRUE(next.connectTo(server.serverPort()));
    expectServed(next);
    EXPECT_EQ(refused, 0);
}

} // namespace
