#include "GatewaySimServer.h"

#include "DownloadFrames.h"
#include "SimConsole.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace tolvar;
using namespace tolvar::test;

namespace {

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
        return pumpUntil([this] { return socket.state() == QAbstractSocket::ConnectedState; });
    }

    // Sends `request` and expects exactly `expected` back.
    void expectAnswer(const QByteArray &request, const QByteArray &expected) {
        received.clear();
        socket.write(request);
        ASSERT_TRUE(pumpUntil([&] { return received.size() >= expected.size(); }));
        EXPECT_EQ(received.toHex(' '), expected.toHex(' '));
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
        ASSERT_TRUE(pumpUntil([this] { return server.hasClient(); }));
        QObject::connect(&server, &GatewaySimServer::clientRefused, &server, [this] { ++refused; });
    }

    QByteArray ethernetReply() const { return encodeReply(ethernetReplyOf(server.config())); }

    GatewaySimServer server;
    TestClient client;
    int refused = 0;
};

// Every write frame gets its 12-byte answer, echoing bytes 0-1 and 6-11 of the request; the
// download becomes the served configuration, with the SYNC settings of multi.json, and is saved.
// Replies go out in pieces of 7 bytes here, with the same bytes.
TEST_F(GatewaySimServerTest, GarbageIsLoggedThenADownloadIsAnsweredServedAndSaved) {
    const QByteArray garbage("GET / HTTP/1.0\r\n\r\n");
    client.socket.write(garbage);
    // Garbage takes every buffered byte; the frames follow once it is cut.
    ASSERT_TRUE(pumpUntil([this] { return !server.receivedFrames().isEmpty(); }));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.json"));
    QString log;
    QTextStream out(&log);
    saveEveryDownload(server, path, out);
    server.setChunking(7, 1);
    const SimConfig written = example("small.json");
    QByteArray id = ethernetFrame(written.ethernet, {1, 1, 1});
    id.replace(0, 10, QByteArray::fromHex("ABCD1234002007100002"));
    const QList<QByteArray> download = downloadFrames(written); // #RD and one #SD
    SimConfig expected = written;
    std::tie(expected.sync, expected.syncTime) = std::pair(1, 100);
    client.expectAnswer(id + download.join() + readFrame('P'),
                        QByteArray::fromHex("ABCD 0000 0006 07 10 0002 000F  0102 0000 0006 01 10 "
                                            "0000 0014  0102 0000 0006 01 10 0000 000D") +
                            encodeReply(ethernetReplyOf(expected)));
    ASSERT_EQ(server.receivedFrames().size(), 5); // the garbage block, #ID, #RD, #SD and #PD
    EXPECT_EQ(server.receivedFrames().first(), (ReceivedFrame{"unknown", garbage}));
    const int reads = client.reads;
    client.expectAnswer(readFrame('G') + readFrame('H'), encodeReply(generalReplyOf(expected)) +
                                                             encodeReply(tableReplyOf(expected)));
    EXPECT_GT(client.reads, reads + 2); // two replies, in more than two pieces
    EXPECT_EQ(loadSimConfigFile(path), (std::variant<SimConfig, QString>(expected)));
    EXPECT_EQ(log, QStringLiteral("saved the configuration to %1\n").arg(path));
}

TEST_F(GatewaySimServerTest, KeepsOnlyTheLatestFrames) {
    const int requests = GatewaySimServer::kMaxKeptFrames + 5;
    client.expectAnswer(readFrame('P').repeated(requests), ethernetReply().repeated(requests));
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
    // Until the count has stayed the same for 300 ms.
    int last = -1;
    QElapsedTimer steady;
    ASSERT_TRUE(pumpUntil([&] {
        if (std::exchange(last, handled) != handled) {
            steady.start();
        }
        return steady.elapsed() >= 300;
    }));
    EXPECT_LT(handled, requests / 4);
    EXPECT_GT(server.unsentBytes(), GatewaySimServer::kMaxUnsentBytes);
    EXPECT_LT(server.unsentBytes(), GatewaySimServer::kMaxUnsentBytes + 60000); // one reply more
    const int stopped = handled;
    client.reading = true;
    client.socket.setReadBufferSize(0);
    client.socket.readAll();
    EXPECT_TRUE(pumpUntil([&] { return handled > stopped + 50; }));
}

// A second client is closed while the first is served; a quick reconnect is served again. The
// console prints each event, also the start of a frame whose rest never comes.
TEST_F(GatewaySimServerTest, OneClientAtATimeAndEachEventPrinted) {
    QString log;
    QTextStream out(&log);
    reportServerEvents(server, out);
    server.setIncompleteFrameTimeout(20);
    TestClient second;
    second.socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(pumpUntil([&] {
        return refused == 1 && second.socket.state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(second.received.isEmpty());
    client.expectAnswer(readFrame('P'), ethernetReply());
    client.socket.write(readFrame('P').left(5));
    ASSERT_TRUE(pumpUntil([&] { return log.contains(QStringLiteral("dropped")); }));
    client.socket.disconnectFromHost();
    TestClient next;
    ASSERT_TRUE(next.connectTo(server.serverPort()));
    next.expectAnswer(readFrame('P'), ethernetReply());
    EXPECT_EQ(refused, 1);
    const QString pd = QStringLiteral("#PD %1\nanswered #PD with %2 bytes\n")
                           .arg(hexBytes(readFrame('P')))
                           .arg(ethernetReply().size());
    EXPECT_EQ(log, QStringLiteral("second connection closed: one client at a time\n") + pd +
                       QStringLiteral("incomplete frame dropped after 20 ms without bytes (5 "
                                      "bytes): %1\nclient disconnected\nclient connected: "
                                      "127.0.0.1:%2\n")
                           .arg(hexBytes(readFrame('P').left(5)))
                           .arg(next.socket.localPort()) +
                       pd);
}

} // namespace
