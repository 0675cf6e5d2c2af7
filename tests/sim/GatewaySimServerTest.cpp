#include "GatewaySimServer.h"

#include "DownloadFrames.h"
#include "SimConsole.h"
#include "link/CommandFrame.h"
#include "link/ReplyEncoder.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <utility>

using namespace tolvar;
using namespace tolvar::test;

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

// Waits until `count` has stayed the same for 300 ms.
bool waitUntilSteady(const int &count) {
    int last = -1;
    QElapsedTimer since;
    return waitUntil([&] {
        if (std::exchange(last, count) != count) {
            since.start();
        }
        return since.elapsed() >= 300;
    });
}

QByteArray readFrame(char letter) {
    return readCommandFrame(static_cast<ReadCommand>(letter), 1);
}

class TestClient {
public:
    TestClient() {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
            if (reading) {
                received += socket.readAll();
                ++reads;
            }
        });
    }

    bool connectTo(quint16 port) {
        socket.connectToHost(QHostAddress::LocalHost, port);
        return waitUntil([this] { return socket.state() == QAbstractSocket::ConnectedState; });
    }

    QTcpSocket socket;
    QByteArray received;
    int reads = 0;
    bool reading = true;
};

class GatewaySimServerTest : public testing::Test {
protected:
    void SetUp() override {
        server.setConfig(example("multi.json"));
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

TEST_F(GatewaySimServerTest, GarbageIsLoggedAndEveryWriteFrameAnswered) {
    const QByteArray garbage("GET / HTTP/1.0\r\n\r\n");
    const QByteArray ethernetSettings = CommandFrame{1, 'I', 15, 30, 31}.encode();
    QByteArray generalSettings = CommandFrame{1, 'R', 20, 40, 53}.encode();
    generalSettings[16] = 1;
    QByteArray table = CommandFrame{1, 'S', 127, 254, 267}.encode();
    table.replace(0, 10, QByteArray::fromHex("ABCD1234002007100002")); // echoed but for 2..5
    client.socket.write(garbage);
    // Garbage takes every buffered byte; the frames follow once it is cut.
    ASSERT_TRUE(waitUntil([this] { return !server.receivedFrames().isEmpty(); }));
    expectAnswer(
        client, ethernetSettings + generalSettings + table + readFrame('P'),
        QByteArray::fromHex("0102 0000 0006 01 10 0000 000F  0102 0000 0006 01 10 0000 0014 "
                            "ABCD 0000 0006 07 10 0002 007F") +
            encodeReply(ethernetReplyOf(server.config())));
    EXPECT_EQ(server.receivedFrames(), (QList<ReceivedFrame>{{"unknown", garbage},
                                                             {"#ID", ethernetSettings},
                                                             {"#RD", generalSettings},
                                                             {"#SD", table},
                                                             {"#PD", readFrame('P')}}));
}

TEST_F(GatewaySimServerTest, DownloadIsAnsweredSavedAndReadBack) {
    const SimConfig written = example("maximal.json"); // 203 #SD frames
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.json"));
    QString log;
    QTextStream out(&log);
    saveEveryDownload(server, path, out);
    const QList<QByteArray> frames =
        QList{ethernetFrame(written.ethernet, {1, 1, 1})} + downloadFrames(written);
    QByteArray responses;
    for (const QByteArray &frame : frames) {
        responses += writeResponseTo(frame);
    }
    expectAnswer(client, frames.join(), responses);
    SimConfig expected = written; // with the SYNC settings of multi.json, which it served
    expected.sync = 1;
    expected.syncTime = 100;
    expectAnswer(client, readFrame('G') + readFrame('H'),
                 encodeReply(generalReplyOf(expected)) + encodeReply(tableReplyOf(expected)));
    EXPECT_EQ(loadSimConfigFile(path), (std::variant<SimConfig, QString>(expected)));
    EXPECT_EQ(log, QStringLiteral("saved the configuration to %1\n").arg(path));
}

TEST_F(GatewaySimServerTest, KeepsOnlyTheLatestFrames) {
    const int requests = GatewaySimServer::kMaxKeptFrames + 5;
    expectAnswer(client, readFrame('P').repeated(requests),
                 encodeReply(ethernetReplyOf(server.config())).repeated(requests));
    EXPECT_EQ(server.receivedFrames().size(), GatewaySimServer::kMaxKeptFrames);
}

TEST_F(GatewaySimServerTest, ClientThatTakesNoRepliesIsNotReadFromUntilItDoes) {
    server.setConfig(example("maximal.json")); // table replies of 51 kB
    int handled = 0;
    QObject::connect(&server, &GatewaySimServer::frameReceived, &server, [&] { ++handled; });
    client.reading = false;
    client.socket.setReadBufferSize(4096);
    const int requests = 2000;
    client.socket.write(readFrame('H').repeated(requests));
    ASSERT_TRUE(waitUntilSteady(handled));
    EXPECT_LT(handled, requests / 4);
    EXPECT_GT(server.unsentBytes(), GatewaySimServer::kMaxUnsentBytes);
    EXPECT_LT(server.unsentBytes(), GatewaySimServer::kMaxUnsentBytes + 60000); // one reply more
    const int stopped = handled;
    client.reading = true;
    client.socket.setReadBufferSize(0);
    client.socket.readAll();
    EXPECT_TRUE(waitUntil([&] { return handled > stopped + 50; }));
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
