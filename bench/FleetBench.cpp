// tolvar-cli writing and verifying examples/multi.json to 1 and to 50 simulated gateways at
// once, measured from outside as a user meets it: the real program with the protocol's real
// one-second pacing, against a separate simulator process on 127.0.0.1.
// Goals: the 50 gateways take at most 1.3 times as long as one; the program's peak memory stays
// at most 60 MB; it spends at most 20 ms of CPU time (user + system) per gateway.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr double kMaxTimeRatio = 1.3;
constexpr double kMaxRssMb = 60.0;
constexpr double kMaxCpuMsPerGateway = 20.0;
constexpr int kManyGateways = 50;

struct ChildCost {
    int exitStatus = -1; // -1: did not start or did not exit normally
    double wallS = 0;
    double cpuMs = 0;
    double maxRssMb = 0;
};

// Runs a program to its end with stdout and stderr in files, and takes its wall time, CPU time
// and peak memory from the kernel. Spawned and reaped here, not by QProcess: only wait4 gives
// the resources of this one child.
ChildCost runMeasured(const QString &program, const QStringList &arguments, const QString &outPath,
                      const QString &errPath) {
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &bytes : storage)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);
    const QByteArray out = QFile::encodeName(outPath);
    const QByteArray err = QFile::encodeName(errPath);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&files, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    ChildCost cost;
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0)
        return cost;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    cost.wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto ms = [](const timeval &t) {
        return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3;
    };
    cost.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    cost.maxRssMb = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    if (WIFEXITED(status))
        cost.exitStatus = WEXITSTATUS(status);
    return cost;
}

// A fleet of simulated gateways in the factory configuration, so that every write sends. Its
// output goes to a file: nothing reads a pipe while the measured program runs.
class SimulatedFleet {
public:
    SimulatedFleet(int count, const QString &logPath) : m_logPath(logPath) {
        m_process.setStandardOutputFile(logPath);
        m_process.setStandardErrorFile(logPath, QIODevice::Append);
        m_process.start(QStringLiteral(TOLVAR_GATEWAY_SIM),
                        {QStringLiteral("--count"), QString::number(count),
                         QStringLiteral("--port"), QStringLiteral("0")});
        // The "port P" lines come once every gateway listens.
        const QDeadlineTimer deadline(10000);
        while (m_ports.size() < std::size_t(count) && !deadline.hasExpired() &&
               m_process.state() != QProcess::NotRunning) {
            QThread::msleep(20);
            readPorts();
        }
    }
    ~SimulatedFleet() {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    SimulatedFleet(const SimulatedFleet &) = delete;
    SimulatedFleet &operator=(const SimulatedFleet &) = delete;

    const std::vector<int> &ports() const { return m_ports; }
    QString log() const {
        QFile file(m_logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    void readPorts() {
        m_ports.clear();
        QStringList lines = log().split(QLatin1Char('\n'));
        lines.removeLast(); // not ended yet: its port may lack digits
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("port ")))
                m_ports.push_back(line.mid(5).toInt());
        }
    }

    QString m_logPath;
    QProcess m_process;
    std::vector<int> m_ports;
};

// Every gateway must have taken the file and read it back equal: a benchmark of failures
// measures nothing. Returns the reason when one did not.
std::optional<QString> notAllWritten(const QByteArray &out, std::size_t gateways) {
    std::size_t written = 0;
    for (const QByteArray &line : out.trimmed().split('\n')) {
        const QJsonObject result = QJsonDocument::fromJson(line).object();
        if (result.value(QStringLiteral("result")).toString() != QLatin1String("written"))
            return QStringLiteral("a gateway not written: \"%1\"").arg(QString::fromUtf8(line));
        ++written;
    }
    if (written != gateways)
        return QStringLiteral("%1 of %2 gateways reported").arg(written).arg(gateways);
    return std::nullopt;
}

using Runs = std::map<int, std::vector<ChildCost>>; // by gateway count

void writeToFleet(benchmark::State &state, Runs &runs) {
    const int gateways = int(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir;
        const SimulatedFleet fleet(gateways, dir.filePath(QStringLiteral("sim.log")));
        if (fleet.ports().size() != std::size_t(gateways)) {
            state.SkipWithError(
                ("the simulator did not start: " + fleet.log().left(2000)).toStdString().c_str());
            break;
        }
        QStringList arguments{QStringLiteral("write"),
                              QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json")};
        for (int port : fleet.ports())
            arguments << QStringLiteral("127.0.0.1:%1").arg(port);
        arguments << QStringLiteral("--jobs") << QString::number(kManyGateways)
                  << QStringLiteral("--json");
        const QString outPath = dir.filePath(QStringLiteral("out"));
        const QString errPath = dir.filePath(QStringLiteral("err"));
        const ChildCost cost = runMeasured(QStringLiteral(TOLVAR_CLI), arguments, outPath, errPath);

        QFile outFile(outPath);
        QFile errFile(errPath);
        const QByteArray out = outFile.open(QIODevice::ReadOnly) ? outFile.readAll() : QByteArray();
        const QByteArray err = errFile.open(QIODevice::ReadOnly) ? errFile.readAll() : QByteArray();
        std::optional<QString> fault;
        if (cost.exitStatus < 0)
            fault = QStringLiteral("did not start, or did not exit normally");
        else
            fault = notAllWritten(out, std::size_t(gateways));
        if (!fault && cost.exitStatus != 0)
            fault = QStringLiteral("exit status %1").arg(cost.exitStatus);
        if (fault) {
            state.SkipWithError(("tolvar-cli: " + *fault + "; " + QString::fromUtf8(err).left(2000))
                                    .toStdString()
                                    .c_str());
            break;
        }
        state.SetIterationTime(cost.wallS);
        runs[gateways].push_back(cost);
        state.counters["wall_s"] = cost.wallS;
        state.counters["cpu_ms_per_gateway"] = cost.cpuMs / gateways;
        state.counters["max_rss_mb"] = cost.maxRssMb;
    }
}

// The middle run of each gateway count, by wall time.
ChildCost median(std::vector<ChildCost> costs) {
    std::sort(costs.begin(), costs.end(),
              [](const ChildCost &a, const ChildCost &b) { return a.wallS < b.wallS; });
    return costs[costs.size() / 2];
}

void printSummary(const Runs &runs) {
    if (!runs.count(1) || !runs.count(kManyGateways)) {
        std::printf("summary: not every gateway count ran; no verdict\n");
        return;
    }
    const ChildCost one = median(runs.at(1));
    const ChildCost many = median(runs.at(kManyGateways));
    const double ratio = many.wallS / one.wallS;
    const double cpuPerGateway = many.cpuMs / kManyGateways;
    const double rss = std::max(one.maxRssMb, many.maxRssMb);
    const auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
    // The CPU goal is judged on the fleet: one gateway alone mostly pays for the program's start.
    std::printf("summary: %d gateways took %.2f s, 1 took %.2f s: ratio %.2f (goal at most %.1f, "
                "%s); CPU %.1f ms per gateway at %d (goal at most %.0f, %s; one gateway alone "
                "%.1f ms); peak memory %.1f MB (goal at most %.0f, %s)\n",
                kManyGateways, many.wallS, one.wallS, ratio, kMaxTimeRatio,
                verdict(ratio <= kMaxTimeRatio), cpuPerGateway, kManyGateways, kMaxCpuMsPerGateway,
                verdict(cpuPerGateway <= kMaxCpuMsPerGateway), one.cpuMs, rss, kMaxRssMb,
                verdict(rss <= kMaxRssMb));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    Runs runs;
    benchmark::RegisterBenchmark("writeToFleet",
                                 [&runs](benchmark::State &state) { writeToFleet(state, runs); })
        ->Arg(1)
        ->Arg(kManyGateways)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary(runs);
    return 0;
}
