#include "SimFleet.h"

#include "DownloadFrames.h"
#include "GatewaySimServer.h"
#include "SimConsole.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>
#include <tuple>

using namespace tolvar;
using namespace tolvar::test;

namespace {

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

SimOptions fleetOptions(quint16 port, int count, const QString &savePath = {}) {
    SimOptions options;
    options.port = port;
    options.count = count;
    options.savePath = savePath;
    return options;
}

// A client of one gateway that sends frames and waits for `bytes` of answers.
class Client {
public:
    explicit Client(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { ++reads; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }

    QByteArray exchange(const QByteArray &request, qsizetype bytes) {
        socket.write(request);
        pumpUntil([&] { return socket.bytesAvailable() >= bytes; }, 10000);
        return socket.readAll();
    }

    QTcpSocket socket;
    int reads = 0;
};

// Three gateways on ports the system picks, each with a client of its own: the download to the
// second (examples/small.json onto the factory configuration) changes that one and writes only
// its file, byte for byte the example; the others still serve the factory configuration. Each
// gateway takes the options' reply pieces and idle timeout.
TEST(SimFleetTest, ADownloadToOneGatewayChangesOnlyThatOneAndItsFile) {
    QTemporaryDir dir;
    SimOptions options = fleetOptions(0, 3, dir.path());
    std::tie(options.chunkBytes, options.chunkDelayMs, options.idleTimeoutS) = std::tuple(7, 20, 5);
    SimFleet fleet(StoredConfiguration{}, options);
    QString log;
    QTextStream out(&log);
    ASSERT_EQ(fleet.start(out), std::nullopt);
    const QList<quint16> ports = fleet.ports();
    ASSERT_EQ(ports.size(), 3);
    QString expectedStart;
    for (const quint16 port : ports) {
        const GatewaySimServer &server = fleet.server(int(ports.indexOf(port)));
        EXPECT_EQ(server.serverAddress(), QHostAddress(QHostAddress::LocalHost));
        EXPECT_EQ(server.idleTimeout(), 5000);
        EXPECT_GE(port, 1024); // a free port from the system's unprivileged range
        expectedStart +=
            QStringLiteral("tolvar-gateway-sim: listening on 127.0.0.1:%1, 1 device(s), "
                           "saving downloads to %2/%1.json, replies in 7-byte pieces 20 ms apart\n")
                .arg(port)
                .arg(dir.path());
    }
    for (const quint16 port : ports)
        expectedStart += QStringLiteral("port %1\n").arg(port);
    EXPECT_EQ(log, expectedStart);

    std::vector<std::unique_ptr<Client>> clients;
    for (const quint16 port : ports)
        clients.push_back(std::make_unique<Client>(port));
    ASSERT_TRUE(pumpUntil([&] {
        return fleet.server(0).hasClient() && fleet.server(1).hasClient() &&
               fleet.server(2).hasClient();
    }));
    const StoredConfiguration small = example("small.json");
    const QList<QByteArray> frames = downloadFrames(small);
    EXPECT_EQ(clients[1]->exchange(frames.join(), 12 * frames.size()).size(), 12 * frames.size());

    EXPECT_EQ(fleet.server(1).config(), small);
    const QString saved = QStringLiteral("%1.json").arg(ports[1]);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{saved});
    EXPECT_EQ(fileBytes(dir.filePath(saved)),
              fileBytes(QStringLiteral(TOLVAR_EXAMPLES_DIR "/small.json")));
    for (const int other : {0, 2}) {
        EXPECT_EQ(fleet.server(other).config(), StoredConfiguration{});
        const QByteArray general = encodeReply(generalReplyOf(StoredConfiguration{}));
        const int reads = clients[other]->reads;
        EXPECT_EQ(clients[other]->exchange(readFrame('G'), general.size()), general);
        EXPECT_GE(clients[other]->reads, reads + 2); // in pieces 20 ms apart
    }
    const QString tag = QStringLiteral("[%1] ").arg(ports[1]);
    EXPECT_TRUE(log.contains(
        QStringLiteral("\n%1saved the configuration to %2\n").arg(tag, dir.filePath(saved))));
    EXPECT_TRUE(log.contains(QStringLiteral("\n[%1] answered #GD with ").arg(ports[2])));
}

// A port P with P + 1 and P + 2 free, as far as one can tell: another program may take one of
// them meanwhile, so the caller tries again.
quint16 probablyFreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort() < 65000 ? probe.serverPort() : 0;
}

// A given port starts a run of consecutive ones. All or none: a fleet that finds the second of
// its ports taken closes the first and says which one, printing nothing else.
TEST(SimFleetTest, PortsFollowTheFirstAndAreTakenAllOrNone) {
    std::unique_ptr<SimFleet> fleet;
    quint16 first = 0;
    QString log;
    QTextStream out(&log);
    for (int attempt = 0; attempt < 20 && !fleet; ++attempt) {
        first = probablyFreePort();
        fleet = std::make_unique<SimFleet>(StoredConfiguration{}, fleetOptions(first, 3));
        if (first == 0 || fleet->start(out))
            fleet.reset();
    }
    ASSERT_TRUE(fleet);
    EXPECT_EQ(fleet->ports(), (QList<quint16>{first, quint16(first + 1), quint16(first + 2)}));
    EXPECT_EQ(fleet->savePath(first), QString());

    fleet->server(0).close();
    SimFleet second(StoredConfiguration{}, fleetOptions(first, 2));
    QString secondLog;
    QTextStream secondOut(&secondLog);
    const auto failure = second.start(secondOut);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith(
        QStringLiteral("tolvar-gateway-sim: cannot listen on 127.0.0.1:%1: ").arg(first + 1)))
        << failure->toStdString();
    EXPECT_FALSE(second.server(0).isListening());
    EXPECT_EQ(secondLog, QString());
}

// One gateway prints as the simulator always has: no port before its lines, --save a file. A file
// that cannot be written is reported, and the download is served all the same.
TEST(SimFleetTest, OneGatewayKeepsItsPlainLinesAndFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/saved.json"));
    SimFleet fleet(example("multi.json"), fleetOptions(0, 1, path));
    QString log;
    QTextStream out(&log);
    ASSERT_EQ(fleet.start(out), std::nullopt);
    const quint16 port = fleet.ports().value(0);
    EXPECT_EQ(fleet.savePath(port), path);
    Client client(port);
    const QByteArray ethernet = encodeReply(ethernetReplyOf(example("multi.json")));
    EXPECT_EQ(client.exchange(readFrame('P'), ethernet.size()), ethernet);
    EXPECT_TRUE(log.startsWith(QStringLiteral("tolvar-gateway-sim: listening on 127.0.0.1:%1, 4 "
                                              "device(s), saving downloads to %2\nport %1\n"
                                              "client connected: 127.0.0.1:")
                                   .arg(port)
                                   .arg(path)))
        << log.toStdString();
    const QList<QByteArray> frames = downloadFrames(example("small.json"));
    client.exchange(frames.join(), 12 * frames.size());
    EXPECT_EQ(fleet.server(0).config().devices, example("small.json").devices);
    EXPECT_TRUE(log.contains(QStringLiteral("\ncannot save the configuration: %1: ").arg(path)))
        << log.toStdString();
}

} // namespace
