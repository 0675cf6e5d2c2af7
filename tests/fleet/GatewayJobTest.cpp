// Jobs and fleets against simulated gateways on loopback, with the protocol's seconds shortened.

#include "GatewaySimServer.h"
#include "files/ConfigurationFile.h"
#include "fleet/FleetRun.h"
#include "gateway/ReplyEncoder.h"
#include "support/ScriptedPeer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace tolvar {
namespace {

constexpr int kSecondMs = 150;

StoredConfiguration example(const QString &name) {
    return std::get<StoredConfiguration>(
        loadConfigurationFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + name));
}

QByteArray exampleBytes(const QString &name) {
    QFile file(QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::shared_ptr<const PreparedFile> prepared(const StoredConfiguration &config) {
    return std::make_shared<const PreparedFile>(prepareDownload(config, {}));
}

JobSettings settingsFor(GatewayCommand command, bool check = false, int secondMs = kSecondMs) {
    JobSettings settings;
    settings.command = command;
    settings.check = check;
    settings.secondMs = secondMs;
    return settings;
}

// Runs one job to its end; `arrange` may connect to the job before it starts.
GatewayResult runJob(quint16 port, const JobSettings &settings,
                     std::shared_ptr<const PreparedFile> file, const QString &output = {},
                     const std::function<void(GatewayJob &)> &arrange = {}) {
    GatewayJob job({QStringLiteral("127.0.0.1"), port, {}}, settings, std::move(file), output);
    std::optional<GatewayResult> result;
    QObject::connect(&job, &GatewayJob::finished, [&](const GatewayResult &r) { result = r; });
    if (arrange)
        arrange(job);
    job.start();
    pumpUntil([&] { return result.has_value(); }, 30000);
    EXPECT_TRUE(result.has_value());
    return result.value_or(GatewayResult{});
}

int writeFrames(const GatewaySimServer &server) {
    int frames = 0;
    for (const ReceivedFrame &frame : server.receivedFrames())
        frames += frame.command == QLatin1String("#RD") || frame.command == QLatin1String("#SD") ||
                  frame.command == QLatin1String("#ID");
    return frames;
}

struct Gateway {
    GatewaySimServer server;
    explicit Gateway(const StoredConfiguration &config = {}) {
        server.setConfig(config);
        server.listen(0);
    }
};

// The largest example takes some 200 frames: its seconds are shorter still.
class ExampleJob : public testing::TestWithParam<std::pair<const char *, int>> {};

// What is read is what the utility saves after the same read-back; what is written is what the
// gateway then holds, byte for byte as the file.
TEST_P(ExampleJob, ReadsAndWritesByteForByte) {
    const QString name = QLatin1String(GetParam().first);
    const int secondMs = GetParam().second;
    Gateway served(example(name));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("read.json"));
    const GatewayResult read =
        runJob(served.server.serverPort(), settingsFor(GatewayCommand::Read, false, secondMs),
               nullptr, path);
    ASSERT_EQ(read.outcome, GatewayOutcome::Read) << read.message.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), exampleBytes(name));

    // What no download sends (the Ethernet rows without --ethernet, SYNC) the gateway has.
    StoredConfiguration factory;
    factory.ethernet = example(name).ethernet;
    factory.sync = example(name).sync;
    factory.syncTime = example(name).syncTime;
    Gateway fresh(factory);
    const GatewayResult written =
        runJob(fresh.server.serverPort(), settingsFor(GatewayCommand::Write, false, secondMs),
               prepared(example(name)));
    ASSERT_EQ(written.outcome, GatewayOutcome::Written) << written.message.toStdString();
    EXPECT_EQ(written.framesSent, written.framesTotal);
    EXPECT_EQ(formatConfiguration(fresh.server.config()), exampleBytes(name));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExampleJob,
    testing::Values(std::pair{"small.json", kSecondMs}, std::pair{"multi.json", kSecondMs},
                    std::pair{"maximal.json", 30}),
    [](const auto &param) {
        return QString::fromLatin1(param.param.first).section(QLatin1Char('.'), 0, 0).toStdString();
    });

TEST(GatewayJob, ApplyWritesOnlyWhatDiffersAndCheckWritesNothing) {
    Gateway gateway;
    const auto file = prepared(example(QStringLiteral("multi.json")));
    const quint16 port = gateway.server.serverPort();

    const GatewayResult checked = runJob(port, settingsFor(GatewayCommand::Apply, true), file);
    EXPECT_EQ(checked.outcome, GatewayOutcome::WouldChange);
    EXPECT_FALSE(checked.differences.empty());
    EXPECT_EQ(writeFrames(gateway.server), 0);

    EXPECT_EQ(runJob(port, settingsFor(GatewayCommand::Apply), file).outcome,
              GatewayOutcome::Changed);
    const int written = writeFrames(gateway.server);
    EXPECT_GT(written, 0);
    const GatewayResult again = runJob(port, settingsFor(GatewayCommand::Apply), file);
    EXPECT_EQ(again.outcome, GatewayOutcome::Unchanged);
    EXPECT_EQ(again.framesTotal, 0);
    EXPECT_EQ(writeFrames(gateway.server), written);
}

// A write says that everything was sent, also without the verify (which asks the gateway
// nothing) or stopped during the read-back.
TEST(GatewayJob, AWriteUnverifiedOrStoppedInTheReadBackSaysAllWasSent) {
    const std::tuple<bool, GatewayOutcome, QString> cases[] = {
        {false, GatewayOutcome::Written, "Configuration sent (not verified): all 2 frames."},
        {true, GatewayOutcome::Stopped,
         "stopped while reading back what was sent (all 2 frames): run verify to see what the "
         "gateway holds"}};
    for (const auto &[verify, outcome, message] : cases) {
        Gateway gateway;
        JobSettings settings = settingsFor(GatewayCommand::Write);
        settings.verify = verify;
        const auto stopAtReadBack = [&](GatewayJob &job) {
            QObject::connect(&gateway.server, &GatewaySimServer::frameReceived, &job,
                             [&job](const QString &command) {
                                 if (command == QLatin1String("#PD"))
                                     job.stop();
                             });
        };
        const GatewayResult result =
            runJob(gateway.server.serverPort(), settings,
                   prepared(example(QStringLiteral("small.json"))), {}, stopAtReadBack);
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(gateway.server.receivedFrames().size() > writeFrames(gateway.server), verify);
    }
}

// Thirteen gateways: eight good ones, one each refusing the connection, staying silent, closing
// in the middle of a reply and refusing the download, and one whose file the checks refuse.
// The good ones all end changed.
TEST(FleetRun, OneGatewaysFaultIsItsOwn) {
    std::array<Gateway, 8> good;
    std::vector<quint16> ports;
    for (const Gateway &gateway : good)
        ports.push_back(gateway.server.serverPort());
    ports.push_back(closedLoopbackPort());
    ScriptedPeer silent;
    ports.push_back(silent.port());
    ScriptedPeer closing;
    QObject::connect(&closing, &ScriptedPeer::bytesReceived, [&closing] {
        closing.send(encodeReply(ethernetReplyOf({})).left(10));
        closing.disconnectClient();
    });
    ports.push_back(closing.port());
    Gateway refusing;
    refusing.server.setWriteRefusal(4);
    ports.push_back(refusing.server.serverPort());
    Gateway unchecked;
    ports.push_back(unchecked.server.serverPort());

    const auto file = prepared(example(QStringLiteral("small.json")));
    const auto refused = std::make_shared<const PreparedFile>(QStringLiteral("faults; fix them"));
    FleetRun run(ports.size(), 12, [&](std::size_t index) {
        return std::make_unique<GatewayJob>(
            GatewayTarget{QStringLiteral("127.0.0.1"), ports[index], {}},
            settingsFor(GatewayCommand::Apply), index == 12 ? refused : file);
    });
    bool finished = false;
    QObject::connect(&run, &FleetRun::finished, [&] { finished = true; });
    run.start();
    ASSERT_TRUE(pumpUntil([&] { return finished; }, 60000));

    std::map<quint16, GatewayResult> byPort;
    for (const GatewayResult &result : run.results())
        byPort[result.target.port] = result;
    ASSERT_EQ(byPort.size(), ports.size());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(byPort[ports[i]].outcome, GatewayOutcome::Changed) << i;
    const std::vector<std::pair<quint16, const char *>> failures{
        {ports[8], "cannot connect"},
        {ports[9], "the Ethernet, general and table replies missing"},
        {ports[10], "The gateway closed the connection."},
        {ports[11], "Modbus exception 4"},
        {ports[12], "faults; fix them"}};
    for (const auto &[port, reason] : failures) {
        EXPECT_EQ(byPort[port].outcome, GatewayOutcome::Failed) << reason;
        EXPECT_TRUE(byPort[port].message.contains(QLatin1String(reason)))
            << byPort[port].message.toStdString();
    }
    EXPECT_EQ(run.framesSent(), 8 * byPort[ports[0]].framesTotal + 1);
    EXPECT_TRUE(unchecked.server.receivedFrames().isEmpty());
}

} // namespace
} // namespace tolvar
