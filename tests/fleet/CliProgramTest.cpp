// The command line as a script runs it: the program itself against simulated gateways on
// loopback, and a run stopped by the user.

#include "GatewaySimServer.h"
#include "files/ConfigurationFile.h"
#include "fleet/CliRunner.h"
#include "support/ScriptedPeer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace tolvar {
namespace {

const QString kSmall = QStringLiteral(TOLVAR_EXAMPLES_DIR "/small.json");

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The program runs while this process's event loop serves the gateways.
Finished runCli(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(TOLVAR_CLI), arguments);
    pumpUntil([&] { return process.state() == QProcess::NotRunning; }, 60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

StoredConfiguration small() {
    return std::get<StoredConfiguration>(loadConfigurationFile(kSmall));
}

TEST(CliProgram, VerifyTellsEachGatewayInJsonAndFailsWhenOneDiffers) {
    GatewaySimServer same;
    same.setConfig(small());
    same.listen(0);
    StoredConfiguration changed = small();
    changed.devices[0].txPdo[0].cobId += 1;
    GatewaySimServer differing;
    differing.setConfig(changed);
    differing.listen(0);

    const Finished run = runCli(
        {QStringLiteral("verify"), kSmall, QStringLiteral("127.0.0.1:%1").arg(same.serverPort()),
         QStringLiteral("127.0.0.1:%1").arg(differing.serverPort()), QStringLiteral("--json")});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    // Not a terminal: no progress line.
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    std::map<int, QJsonObject> byPort;
    for (const QByteArray &line : run.out.trimmed().split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        byPort[object.value(QStringLiteral("port")).toInt()] = object;
    }
    ASSERT_EQ(byPort.size(), 2u) << run.out.toStdString();
    EXPECT_EQ(byPort[same.serverPort()].value(QStringLiteral("result")), QStringLiteral("same"));
    const QJsonObject differs = byPort[differing.serverPort()];
    EXPECT_EQ(differs.value(QStringLiteral("result")), QStringLiteral("differs"));
    EXPECT_EQ(differs.value(QStringLiteral("differences"))
                  .toArray()
                  .at(0)
                  .toObject()
                  .value(QStringLiteral("field")),
              QStringLiteral("COB-ID"));
}

TEST(CliProgram, RefusesAMalformedHostsFileByLineBeforeConnecting) {
    QTemporaryDir dir;
    const QString hosts = dir.filePath(QStringLiteral("hosts"));
    QFile file(hosts);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# plant A\n127.0.0.1:1502\n127.0.0.1:70000\n");
    file.close();
    const Finished run =
        runCli({QStringLiteral("apply"), kSmall, QStringLiteral("--hosts"), hosts});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains("line 3")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

// Stopped in the middle of a download, a gateway is named with the frames it got; the
// gateways not begun yet are told too.
TEST(CliRunner, StopNamesEveryGatewayAndWhereItWas) {
    GatewaySimServer first;
    first.listen(0);
    GatewaySimServer waiting;
    waiting.listen(0);
    CliRequest request;
    request.command = CliCommand::Write;
    request.jobs = 1;
    const QString multi = QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json");
    request.targets = {{QStringLiteral("127.0.0.1"), first.serverPort(), multi},
                       {QStringLiteral("127.0.0.1"), waiting.serverPort(), multi}};
    QStringList lines;
    QStringList progress;
    CliRunner runner(request,
                     {[&](const QString &line) { lines << line; }, [](const QString &) {},
                      [&](const QString &line) { progress << line; }},
                     200);
    int status = -1;
    int ends = 0;
    QObject::connect(&runner, &CliRunner::finished, [&](int s) {
        status = s;
        ++ends;
        // Every gateway is told before the end.
        EXPECT_EQ(lines.size(), 2);
    });
    QObject::connect(&first, &GatewaySimServer::frameReceived, [&](const QString &command) {
        if (command == QLatin1String("#RD"))
            runner.stop();
    });
    runner.start();
    ASSERT_TRUE(pumpUntil([&] { return status >= 0; }, 20000));
    EXPECT_EQ(status, 1);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("stopped during the download after 1 of")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("stopped before anything was sent")))
        << lines[1].toStdString();
    EXPECT_FALSE(waiting.hasClient());
    // The live line followed the frames, and is wiped at the end.
    EXPECT_TRUE(progress.contains(QStringLiteral("0/2 gateways done, 1 frames sent")))
        << progress.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(progress.last(), QString());
    EXPECT_EQ(ends, 1);
}

// A folder the files read cannot go to refuses the run before any gateway is asked.
TEST(CliRunner, RefusesAnOutputFolderItCannotMake) {
    CliRequest request;
    request.outputFolder = true;
    request.output = QStringLiteral("/dev/null/backup");
    request.targets = {{QStringLiteral("127.0.0.1"), closedLoopbackPort(), {}}};
    QStringList err;
    CliRunner runner(request,
                     {[](const QString &) {}, [&](const QString &line) { err << line; }, {}});
    int status = -1;
    QObject::connect(&runner, &CliRunner::finished, [&](int s) { status = s; });
    runner.start();
    EXPECT_EQ(status, 2);
    ASSERT_EQ(err.size(), 1);
    EXPECT_TRUE(
        err[0].startsWith(QStringLiteral("tolvar-cli: cannot make the folder /dev/null/backup")))
        << err[0].toStdString();
}

// For people: one gateway gets every difference under its line; many get one line each.
TEST(CliRunner, ListsTheDifferencesUnderTheLineOfASingleGatewayOnly) {
    StoredConfiguration changed = small();
    changed.devices[0].txPdo[0].cobId += 1;
    std::array<GatewaySimServer, 2> gateways;
    CliRequest request;
    request.command = CliCommand::Verify;
    for (GatewaySimServer &gateway : gateways) {
        gateway.setConfig(changed);
        gateway.listen(0);
        request.targets.push_back({QStringLiteral("127.0.0.1"), gateway.serverPort(), kSmall});
    }
    for (const std::size_t targets : {1u, 2u}) {
        CliRequest narrowed = request;
        narrowed.targets.resize(targets);
        QStringList lines;
        CliRunner runner(narrowed,
                         {[&](const QString &line) { lines << line; }, [](const QString &) {}, {}},
                         100);
        int status = -1;
        QObject::connect(&runner, &CliRunner::finished, [&](int s) { status = s; });
        runner.start();
        ASSERT_TRUE(pumpUntil([&] { return status >= 0; }, 20000));
        EXPECT_EQ(lines.size(), 2) << lines.join(QLatin1Char(10)).toStdString();
        EXPECT_EQ(lines.filter(QStringLiteral("    Device 1, TxPDO row 1, COB-ID")).size(),
                  targets == 1 ? 1 : 0);
    }
}

// Information of the checks is told once per file, before anything is sent; it refuses nothing.
TEST(CliRunner, TellsTheChecksInformationOncePerFile) {
    CliRequest request;
    request.command = CliCommand::Write;
    const QString maximal = QStringLiteral(TOLVAR_EXAMPLES_DIR "/maximal.json");
    const quint16 closed = closedLoopbackPort();
    request.targets = {{QStringLiteral("127.0.0.1"), closed, maximal},
                       {QStringLiteral("localhost"), closed, maximal}};
    QStringList out;
    QStringList err;
    CliRunner runner(
        request,
        {[&](const QString &line) { out << line; }, [&](const QString &line) { err << line; }, {}});
    int status = -1;
    QObject::connect(&runner, &CliRunner::finished, [&](int s) { status = s; });
    runner.start();
    ASSERT_TRUE(pumpUntil([&] { return status >= 0; }, 20000));
    EXPECT_EQ(out.size(), 2);
    EXPECT_TRUE(out[0].contains(QStringLiteral("cannot connect"))) << out[0].toStdString();
    ASSERT_FALSE(err.isEmpty());
    EXPECT_TRUE(err[0].startsWith(QStringLiteral("tolvar-cli: ") + maximal +
                                  QStringLiteral(": Information: ")))
        << err[0].toStdString();
    EXPECT_EQ(err.filter(QStringLiteral("device 10, RxPDO row 200")).size(), 1);
}

} // namespace
} // namespace tolvar
