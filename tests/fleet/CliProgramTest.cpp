// The command line as a script runs it: the program itself against simulated gateways on
// loopback, and a run stopped by the user.

#include "GatewaySimServer.h"
#include "files/ConfigurationFile.h"
#include "fleet/CliRunner.h"
#include "support/ScriptedPeer.h"

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

TEST(CliProgram, RefusesAMalformedHostsFileByLineBeforeConnecting) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("hosts")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                file.write("# plant A\n127.0.0.1:1502\n127.0.0.1:70000\n") > 0);
    file.close();
    const Finished run =
        runCli({QStringLiteral("apply"), kSmall, QStringLiteral("--hosts"), file.fileName()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains("line 3")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

// What a runner told on its three streams, and its exit status.
struct Told {
    int status = -1;
    QStringList out;
    QStringList err;
    QStringList progress;
};

// Runs a request to its end; `arrange` may connect to the runner before it starts.
Told runRunner(const CliRequest &request,
               const std::function<void(CliRunner &, const Told &)> &arrange = {}) {
    Told told;
    CliRunner runner(request,
                     {[&](const QString &line) { told.out << line; },
                      [&](const QString &line) { told.err << line; },
                      [&](const QString &line) { told.progress << line; }},
                     200);
    QObject::connect(&runner, &CliRunner::finished, [&](int status) { told.status = status; });
    if (arrange)
        arrange(runner, told);
    runner.start();
    EXPECT_TRUE(pumpUntil([&] { return told.status >= 0; }, 20000));
    return told;
}

// Two gateways, the first holding another COB-ID than the file, the second the file. For
// scripts the program tells each in a JSON line and fails as one differs; for people one
// gateway gets every difference under its line (the first also in the line), many one line each.
TEST(CliProgram, VerifyTellsEachGatewayForScriptsAndPeople) {
    std::array<GatewaySimServer, 2> gateways;
    gateways[0].setConfig([] {
        StoredConfiguration changed = small();
        changed.devices[0].txPdo[0].cobId += 1;
        return changed;
    }());
    gateways[1].setConfig(small());
    CliRequest request;
    request.command = CliCommand::Verify;
    QStringList arguments{QStringLiteral("verify"), kSmall, QStringLiteral("--json")};
    for (GatewaySimServer &gateway : gateways) {
        gateway.listen(0);
        arguments << QStringLiteral("127.0.0.1:%1").arg(gateway.serverPort());
        request.targets.push_back({QStringLiteral("127.0.0.1"), gateway.serverPort(), kSmall});
    }
    const Finished run = runCli(arguments);
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    // Not a terminal: no progress line.
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    std::map<int, QJsonObject> byPort;
    for (const QByteArray &line : run.out.trimmed().split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        byPort[object.value(QStringLiteral("port")).toInt()] = object;
    }
    ASSERT_EQ(byPort.size(), 2u) << run.out.toStdString();
    EXPECT_EQ(byPort[gateways[1].serverPort()].value(QStringLiteral("result")),
              QStringLiteral("same"));
    const QJsonObject differs = byPort[gateways[0].serverPort()];
    EXPECT_EQ(differs.value(QStringLiteral("result")), QStringLiteral("differs"));
    EXPECT_EQ(differs["differences"][0]["field"], QStringLiteral("COB-ID"));

    for (const std::size_t targets : {1u, 2u}) {
        CliRequest narrowed = request;
        narrowed.targets.resize(targets);
        const QStringList lines = runRunner(narrowed).out;
        ASSERT_EQ(lines.size(), 2) << lines.join(QLatin1Char(10)).toStdString();
        EXPECT_EQ(lines.filter(QStringLiteral("    Device 1, TxPDO row 1, COB-ID")).size(),
                  targets == 1 ? 1 : 0);
        if (targets == 1) {
            EXPECT_TRUE(lines[0].endsWith(" s  1 difference(s); first: " + lines[1].trimmed()))
                << lines[0].toStdString();
        }
    }
}

// Stopped in the middle of a download, a gateway is named with the frames it got; the
// gateways not begun yet are told too.
TEST(CliRunner, StopNamesEveryGatewayAndWhereItWas) {
    std::array<GatewaySimServer, 2> gateways; // the first is worked on, the second waits
    CliRequest request;
    request.command = CliCommand::Write;
    request.jobs = 1;
    for (GatewaySimServer &gateway : gateways) {
        gateway.listen(0);
        request.targets.push_back({QStringLiteral("127.0.0.1"), gateway.serverPort(),
                                   QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json")});
    }
    int ends = 0;
    const Told told = runRunner(request, [&](CliRunner &runner, const Told &sofar) {
        QObject::connect(&runner, &CliRunner::finished, [&] {
            ++ends;
            EXPECT_EQ(sofar.out.size(), 2); // every gateway is told before the end
        });
        QObject::connect(&gateways[0], &GatewaySimServer::frameReceived, &runner,
                         [&runner](const QString &command) {
                             if (command == QLatin1String("#RD"))
                                 runner.stop();
                         });
    });
    EXPECT_EQ(told.status, 1);
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(told.out.size(), 2);
    EXPECT_TRUE(told.out[0].contains(QStringLiteral("stopped during the download after 1 of")))
        << told.out[0].toStdString();
    EXPECT_TRUE(told.out[1].contains(QStringLiteral("stopped before anything was sent")))
        << told.out[1].toStdString();
    EXPECT_FALSE(gateways[1].hasClient());
    // The live line followed the frames, and is wiped at the end.
    EXPECT_TRUE(told.progress.contains(QStringLiteral("0/2 gateways done, 1 frames sent")))
        << told.progress.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(told.progress.last(), QString());
}

// A folder the files read cannot go to refuses the run before any gateway is asked.
TEST(CliRunner, RefusesAnOutputFolderItCannotMake) {
    CliRequest request;
    request.outputFolder = true;
    request.output = QStringLiteral("/dev/null/backup");
    request.targets = {{QStringLiteral("127.0.0.1"), closedLoopbackPort(), {}}};
    const Told told = runRunner(request);
    EXPECT_EQ(told.status, 2);
    ASSERT_EQ(told.err.size(), 1);
    EXPECT_TRUE(told.err[0].startsWith(
        QStringLiteral("tolvar-cli: cannot make the folder /dev/null/backup")))
        << told.err[0].toStdString();
}

// Information of the checks is told once per file, before anything is sent; it refuses nothing.
TEST(CliRunner, TellsTheChecksInformationOncePerFile) {
    CliRequest request;
    request.command = CliCommand::Write;
    const QString maximal = QStringLiteral(TOLVAR_EXAMPLES_DIR "/maximal.json");
    const quint16 closed = closedLoopbackPort();
    request.targets = {{QStringLiteral("127.0.0.1"), closed, maximal},
                       {QStringLiteral("localhost"), closed, maximal}};
    const Told told = runRunner(request);
    EXPECT_EQ(told.out.size(), 2);
    EXPECT_TRUE(told.out[0].contains(QStringLiteral("cannot connect")))
        << told.out[0].toStdString();
    ASSERT_FALSE(told.err.isEmpty());
    EXPECT_TRUE(told.err[0].startsWith(QStringLiteral("tolvar-cli: ") + maximal +
                                       QStringLiteral(": Information: ")))
        << told.err[0].toStdString();
    EXPECT_EQ(told.err.filter(QStringLiteral("device 10, RxPDO row 200")).size(), 1);
}

} // namespace
} // namespace tolvar
