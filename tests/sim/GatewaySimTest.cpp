#include "GatewaySimServer.h"

#include "DownloadFrames.h"
#include "LogThrottle.h"
#include "RequestSplitter.h"
#include "SimConsole.h"
#include "files/ConfigurationFile.h"
#include "support/HalfCloseClient.h"
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
        client.socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
        ASSERT_TRUE(pumpUntil([this] { return server.hasClient(); }));
    }

    QByteArray ethernetReply() const { return encodeReply(ethernetReplyOf(server.config())); }

    GatewaySimServer server;
    TestClient client;
};

// One download through the server: every write frame gets its 12-byte answer, echoing bytes
// 0-1 and 6-11 of the request; the download becomes the served configuration, with the SYNC
// settings of multi.json, and is saved. Replies go out in pieces of 7 bytes, with the same bytes.
// What each frame does to the configuration is tested with the write session.
TEST_F(GatewaySimServerTest, ADownloadIsAnsweredServedAndSaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.json"));
    QString log;
    QTextStream out(&log);
    saveEveryDownload(server, path, out);
    server.setChunking(7, 1);
    const StoredConfiguration written = example("small.json");
    QByteArray id = ethernetFrame(written.ethernet, {1, 1, 1});
    id.replace(0, 10, QByteArray::fromHex("ABCD1234002007100002"));
    StoredConfiguration expected = written;
    std::tie(expected.sync, expected.syncTime) = std::pair(1, 100);
    client.expectAnswer(id + downloadFrames(written).join() + readFrame('P'),
                        QByteArray::fromHex("ABCD 0000 0006 07 10 0002 000F  0102 0000 0006 01 10 "
                                            "0000 0014  0102 0000 0006 01 10 0000 000D") +
                            encodeReply(ethernetReplyOf(expected)));
    const int reads = client.reads;
    client.expectAnswer(readFrame('G') + readFrame('H'), encodeReply(generalReplyOf(expected)) +
                                                             encodeReply(tableReplyOf(expected)));
    EXPECT_GT(client.reads, reads + 2); // two replies, in more than two pieces
    EXPECT_EQ(loadConfigurationFile(path), (std::variant<StoredConfiguration, QString>(expected)));
}

// One client at a time, like the gateway: a second is closed at once, the first still served.
TEST_F(GatewaySimServerTest, ServesOneClientAtATime) {
    QString log;
    QTextStream out(&log);
    reportServerEvents(server, out);
    QTcpSocket second;
    second.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(pumpUntil([&] { return second.state() == QAbstractSocket::UnconnectedState; }));
    client.expectAnswer(readFrame('P'), ethernetReply());
    EXPECT_TRUE(log.startsWith("second connection closed: one client at a time\n#PD "));
}

// A client that sends nothing for the idle timeout is closed and the next one served; a request
// starts the wait over.
TEST_F(GatewaySimServerTest, IdleClientIsClosedAndFreesTheSlot) {
    QString log;
    QTextStream out(&log);
    reportServerEvents(server, out);
    server.setIdleTimeout(400);
    QElapsedTimer sinceRequest;
    sinceRequest.start();
    pumpUntil([&] { return sinceRequest.elapsed() >= 250; });
    client.expectAnswer(readFrame('P'), ethernetReply());
    sinceRequest.start();
    ASSERT_TRUE(
        pumpUntil([&] { return client.socket.state() != QAbstractSocket::ConnectedState; }));
    EXPECT_GE(sinceRequest.elapsed(), 350);
    EXPECT_TRUE(log.contains("closing the client: no request for 0.4 s\nclient disconnected\n"));
    TestClient next;
    next.socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    next.expectAnswer(readFrame('P'), ethernetReply());
}

// A client that ends its sending side right after its requests still gets every reply, also in
// pieces, and then the server closes and serves the next one.
TEST_F(GatewaySimServerTest, HalfClosedClientIsAnswered) {
    client.socket.disconnectFromHost();
    ASSERT_TRUE(pumpUntil([&] { return !server.hasClient(); }));
    const QByteArray replies = ethernetReply() + encodeReply(generalReplyOf(server.config()));
    int answered = 0;
    for (int i = 0; i < 20; ++i) {
        server.setChunking(i % 2 * 7, 1);
        answered += askThenHalfClose(server.serverPort(), readFrame('P') + readFrame('G')) ==
                    std::optional(replies);
    }
    EXPECT_EQ(answered, 20);
}

// A flood of refused frames (unknown commands, #SD frames without #RD) is summed up: ten printed
// in full, then at most a line a second, with all the lines of each frame left out. The clock
// moves a quarter millisecond a frame; the last summary comes once it is due.
TEST_F(GatewaySimServerTest, RefusedFramesAreSummedUpInTheLog) {
    const QByteArray unknown = readFrame('X');
    const QByteArray table = tableFrames(QByteArray(2, '\0')).first();
    int handled = 0;
    qint64 laterMs = 0;
    QObject::connect(&server, &GatewaySimServer::frameReceived, &server, [&] { ++handled; });
    QString log;
    QTextStream out(&log);
    reportServerEvents(server, out, [&] { return handled / 4 + laterMs; });
    client.socket.write(unknown.repeated(10) + (unknown + table).repeated(4995));
    ASSERT_TRUE(pumpUntil([&] { return handled == 10000; }, 20000));
    laterMs = 1000;
    const QString last = refusedSummaryLine(1992);
    ASSERT_TRUE(pumpUntil([&] { return log.contains(last); }));
    const QString summaries = QStringLiteral("\u2026 3,998 more refused frames\n"
                                             "\u2026 4,000 more refused frames\n"
                                             "\u2026 1,992 more refused frames\n");
    EXPECT_EQ(log, (frameLine("unknown", unknown) + '\n').repeated(10) + summaries);
    EXPECT_EQ(refusedSummaryLine(1), "\u2026 1 more refused frame");
}

// After a quiet interval refused frames are printed in full again; a summary is due an interval
// after the first frame it counts.
TEST(LogThrottleTest, PrintsInFullAgainAfterAQuietInterval) {
    LogThrottle throttle;
    for (int i = 0; i < LogThrottle::kPrintedInFull; ++i) {
        ASSERT_TRUE(throttle.admit(0));
    }
    EXPECT_FALSE(throttle.admit(500));
    EXPECT_FALSE(throttle.admit(1400));
    EXPECT_EQ(throttle.takeDueCount(1499), 0);
    EXPECT_EQ(throttle.takeDueCount(1500), 2);
    EXPECT_FALSE(throttle.admit(2399));
    EXPECT_EQ(throttle.takeDueCount(3399), 1);
    EXPECT_TRUE(throttle.admit(3399));
}

TEST_F(GatewaySimServerTest, KeepsOnlyTheLatestFrames) {
    const int requests = GatewaySimServer::kMaxKeptFrames + 5;
    client.expectAnswer(readFrame('P').repeated(requests), ethernetReply().repeated(requests));
    EXPECT_EQ(server.receivedFrames().size(), GatewaySimServer::kMaxKeptFrames);
}

// Half a frame whose rest never comes would swallow the next request: it is dropped after its
// wait, and the request after it is answered, also when its last byte comes on its own.
TEST_F(GatewaySimServerTest, DropsAnIncompleteFrameAfterItsWait) {
    server.setIncompleteFrameTimeout(20);
    QString log;
    QTextStream out(&log);
    reportServerEvents(server, out);
    QByteArray dropped;
    QObject::connect(&server, &GatewaySimServer::incompleteFrameDropped, &server,
                     [&](const QByteArray &bytes) { dropped = bytes; });
    client.socket.write(readFrame('P').left(5));
    ASSERT_TRUE(pumpUntil([&] { return !dropped.isEmpty(); }));
    EXPECT_EQ(dropped, readFrame('P').left(5));
    EXPECT_EQ(log,
              "incomplete frame dropped after 20 ms without bytes (5 bytes): 01 02 00 00 00\n");
    client.expectAnswer(readFrame('P'), ethernetReply());
    server.setIncompleteFrameTimeout(3000);
    client.socket.write(readFrame('P').chopped(1));
    pumpUntil([] { return false; }, 50); // the last byte arrives apart
    client.expectAnswer(readFrame('P').right(1), ethernetReply());
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

// Requests arrive in any pieces; a frame ends where the length its kind gives ends: #ID frames
// are 31 bytes although their byte count (30) says 43, #RD frames 23*N + 30 bytes with N at
// offset 16. Garbage and arbitrary splits are left to the fuzz target.
TEST(RequestSplitterTest, CutsPiecesIntoFramesByTheLengthOfTheirKind) {
    const QByteArray pd = readFrame('P');
    const QByteArray id = CommandFrame{1, 'I', 15, 30, 31}.encode();
    QByteArray rd = CommandFrame{1, 'R', 124, 248, 260}.encode();
    rd[16] = 10;
    const QByteArray stream = id + rd + pd + pd.left(16);
    RequestSplitter splitter;
    QList<ReceivedFrame> blocks;
    for (qsizetype i = 0; i < stream.size(); i += 7) {
        blocks += splitter.feed(stream.mid(i, 7));
    }
    EXPECT_EQ(blocks, (QList<ReceivedFrame>{{"#ID", id}, {"#RD", rd}, {"#PD", pd}}));
    EXPECT_EQ(splitter.pending(), pd.left(16));
}

// --count goes with --port and --save: a run of ports that fits, and a folder for several
// gateways, a file for one. "@dir" stands for an existing folder, "@file" for an existing file,
// "@absent" for a path where nothing is.
TEST(SimConsoleTest, OptionsAreReadOrTheWrongValueIsNamed) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file.json"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    const QString absent = dir.filePath(QStringLiteral("absent"));
    const QString p = QStringLiteral("tolvar-gateway-sim: ");
    // clang-format off
    const std::pair<QStringList, QString> cases[] = {
        {{}, "1 502 0 0 30 (none) "},
        {{"--config", ""}, "1 502 0 0 30  "},
        {{"--port", "0", "--chunk", "65535", "--chunk-delay-ms", "60000", "--idle-timeout", "86400", "--config", "a.json", "--save", "b.json"},
         "1 0 65535 60000 86400 a.json b.json"},
        {{"--idle-timeout", "0"}, "1 502 0 0 0 (none) "},
        {{"--count", "3", "--port", "0", "--save", "@dir"}, "3 0 0 0 30 (none) @dir"},
        {{"--count", "256", "--port", "65280"}, "256 65280 0 0 30 (none) "},
        {{"--count", "1", "--port", "65535", "--save", "@file"}, "1 65535 0 0 30 (none) @file"},
        {{"--save", "@absent"}, "1 502 0 0 30 (none) @absent"},
        {{"--idle-timeout", "86401"}, p + "--idle-timeout 86401: expected a whole number 0..86400"},
        {{"--port", "65536"}, p + "--port 65536: expected a whole number 0..65535"},
        {{"--chunk-delay-ms", "60001"}, p + "--chunk-delay-ms 60001: expected a whole number 0..60000"},
        {{"--chunk", "65536"}, p + "--chunk 65536: expected a whole number 0..65535"},
        {{"--count", "256", "--port", "65281"}, p + "--port 65281 --count 256: the ports would run past 65535"},
        {{"--count", "0"}, p + "--count 0: expected a whole number 1..256"},
        {{"--count", "257"}, p + "--count 257: expected a whole number 1..256"},
        {{"--count", "2", "--save", "@absent"}, p + "--save @absent: not a folder; with --count 2 it names the folder that holds one <port>.json per gateway"},
        {{"--count", "2", "--save", "@file"}, p + "--save @file: not a folder; with --count 2 it names the folder that holds one <port>.json per gateway"},
        {{"--save", "@dir"}, p + "--save @dir: a folder; with one gateway it names the file to write (a folder with --count 2 or more)"}};
    // clang-format on
    const auto withPaths = [&](QString text) {
        return text.replace("@absent", absent).replace("@dir", dir.path()).replace("@file", file);
    };
    for (const auto &[args, expected] : cases) {
        QCommandLineParser parser;
        addSimOptions(parser);
        QStringList line{QStringLiteral("tolvar-gateway-sim")};
        for (const QString &arg : args) {
            line << withPaths(arg);
        }
        ASSERT_TRUE(parser.parse(line));
        const auto read = readSimOptions(parser);
        const auto *o = std::get_if<SimOptions>(&read);
        const QString shown =
            o ? QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                    .arg(QString::number(o->count), QString::number(o->port),
                         QString::number(o->chunkBytes), QString::number(o->chunkDelayMs),
                         QString::number(o->idleTimeoutS), o->configPath.value_or("(none)"),
                         o->savePath)
              : std::get<QString>(read);
        EXPECT_EQ(shown, withPaths(expected)) << args.join(' ').toStdString();
    }
}

// Of an unknown block the log shows the first 64 bytes and its size; a command frame is shown
// whole, and so is an unknown block of 64 bytes.
TEST(SimConsoleTest, LongUnknownBlocksAreCutInTheLog) {
    const QByteArray block(65, '\x0A');
    const QString bytes = QStringLiteral("0A ").repeated(64);
    EXPECT_EQ(frameLine("unknown", block), "unknown " + bytes + "\u2026 (65 bytes)");
    EXPECT_EQ(frameLine("#PD", block), "#PD " + bytes + "0A");
    EXPECT_EQ(frameLine("unknown", block.left(64)), "unknown " + bytes.chopped(1));
}

// What a user reads when the simulator cannot listen: the reason, and what to do about it. Only
// a port below 1024 asks for root.
TEST(SimConsoleTest, ListenFailureSaysWhatToDo) {
    const QString start = QStringLiteral("tolvar-gateway-sim: cannot listen on 127.0.0.1:");
    EXPECT_EQ(listenFailureLine(502, QAbstractSocket::SocketAccessError, "Permission denied."),
              start + "502: Permission denied. Port 502 needs root or CAP_NET_BIND_SERVICE; run "
                      "as root or choose another port with --port N.");
    EXPECT_EQ(listenFailureLine(1024, QAbstractSocket::SocketAccessError, "Denied"),
              start + "1024: Denied. Choose another port with --port N.");
    EXPECT_EQ(listenFailureLine(5020, QAbstractSocket::AddressInUseError, "In use"),
              start + "5020: In use. Another program (perhaps another simulator) uses port 5020; "
                      "stop it or choose another port with --port N.");
}

} // namespace
