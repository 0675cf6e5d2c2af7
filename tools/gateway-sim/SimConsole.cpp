#include "SimConsole.h"

#include "GatewaySimServer.h"
#include "LogThrottle.h"
#include "files/ConfigurationFile.h"

#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <chrono>

namespace tolvar {

namespace {

const QString kProgram = QStringLiteral("tolvar-gateway-sim");
constexpr int kMaxChunkDelayMs = 60000;
constexpr int kMaxIdleTimeoutS = 86400;

// A whole number min..max from an option value; nothing when the text is not one.
std::optional<int> optionNumber(const QCommandLineParser &parser, const QString &name, int max,
                                int min = 0) {
    bool ok = false;
    const uint value = parser.value(name).toUInt(&ok);
    if (!ok || value < static_cast<uint>(min) || value > static_cast<uint>(max)) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QString badValue(const QCommandLineParser &parser, const QString &name, int max, int min = 0) {
    return QStringLiteral("%1: --%2 %3: expected a whole number %4..%5")
        .arg(kProgram, name, parser.value(name))
        .arg(min)
        .arg(max);
}

// What is wrong with the way --port, --count and --save go together, if anything. The folder
// is checked now so that a typing error shows at start, not at the first download.
std::optional<QString> fleetMismatch(const SimOptions &options) {
    if (options.port > 0 && options.port + options.count - 1 > 65535) {
        return QStringLiteral("%1: --port %2 --count %3: the ports would run past 65535")
            .arg(kProgram)
            .arg(options.port)
            .arg(options.count);
    }
    if (options.savePath.isEmpty()) {
        return std::nullopt;
    }
    const bool folder = QFileInfo(options.savePath).isDir();
    if (options.count > 1 && !folder) {
        return QStringLiteral("%1: --save %2: not a folder; with --count %3 it names the folder "
                              "that holds one <port>.json per gateway")
            .arg(kProgram, options.savePath)
            .arg(options.count);
    }
    if (options.count == 1 && folder) {
        return QStringLiteral("%1: --save %2: a folder; with one gateway it names the file to "
                              "write (a folder with --count 2 or more)")
            .arg(kProgram, options.savePath);
    }
    return std::nullopt;
}

QString withoutFinalStop(QString text) {
    while (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text;
}

QString listenRemedy(quint16 port, QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::SocketAccessError && port < 1024) {
        return QStringLiteral("Port %1 needs root or CAP_NET_BIND_SERVICE; run as root or choose "
                              "another port with --port N.")
            .arg(port);
    }
    if (error == QAbstractSocket::AddressInUseError) {
        return QStringLiteral("Another program (perhaps another simulator) uses port %1; stop it "
                              "or choose another port with --port N.")
            .arg(port);
    }
    return QStringLiteral("Choose another port with --port N.");
}

// Prints the server's lines, leaving out those of the refused frames its throttle only counts.
class ThrottledPrinter : public QObject {
public:
    static constexpr int kSummaryCheckMs = 100;

    ThrottledPrinter(QTextStream &out, std::function<qint64()> clockMs, QString prefix,
                     QObject *parent)
        : QObject(parent), out_(out), clockMs_(std::move(clockMs)), prefix_(std::move(prefix)) {
        summaryCheck_.setInterval(kSummaryCheckMs);
        connect(&summaryCheck_, &QTimer::timeout, this, &ThrottledPrinter::printDueSummary);
    }

    void printFrame(const QString &line, bool refused) {
        frameLeftOut_ = refused && !throttle_.admit(clockMs_());
        printDueSummary();
        printOfFrame(line);
    }

    // A line that follows from the last frame: left out with it.
    void printOfFrame(const QString &line) {
        if (!frameLeftOut_) {
            print(line);
        }
    }

    void print(const QString &line) { out_ << prefix_ << line << Qt::endl; }

private:
    void printDueSummary() {
        if (const qint64 count = throttle_.takeDueCount(clockMs_())) {
            print(refusedSummaryLine(count));
        }
        if (!throttle_.hasCounted()) {
            summaryCheck_.stop();
        } else if (!summaryCheck_.isActive()) {
            summaryCheck_.start();
        }
    }

    QTextStream &out_;
    std::function<qint64()> clockMs_;
    QString prefix_;
    LogThrottle throttle_;
    QTimer summaryCheck_;
    bool frameLeftOut_ = false;
};

} // namespace

void addSimOptions(QCommandLineParser &parser) {
    parser.setApplicationDescription(
        QStringLiteral("Simulated Tolvar gateway on 127.0.0.1: answers the read commands of "
                       "the utility from a stored configuration, takes its configuration "
                       "downloads and prints every request."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("TCP port on 127.0.0.1 (default 502; 0 picks a free one). "
                                     "With --count, the first of consecutive ports."),
                      QStringLiteral("N"), QString::number(kDefaultSimPort)});
    parser.addOption({QStringLiteral("count"),
                      QStringLiteral("Serve N independent gateways (1..%1), each with its own "
                                     "copy of the configuration; prints \"port P\" for each.")
                          .arg(kMaxSimCount),
                      QStringLiteral("N"), QStringLiteral("1")});
    parser.addOption({QStringLiteral("config"),
                      QStringLiteral("JSON configuration to serve (default: one device, node "
                                     "ID 1, empty tables)."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("save"),
                      QStringLiteral("After every complete configuration download, write the "
                                     "configuration held to FILE (same JSON format). With "
                                     "--count 2 or more, an existing folder that gets one "
                                     "<port>.json per gateway."),
                      QStringLiteral("FILE|DIR")});
    parser.addOption({QStringLiteral("chunk"),
                      QStringLiteral("Send every reply in pieces of N bytes (0: in one piece)."),
                      QStringLiteral("N"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("chunk-delay-ms"),
                      QStringLiteral("Pause of M milliseconds between the pieces of a reply."),
                      QStringLiteral("M"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("idle-timeout"),
                      QStringLiteral("Close a client that sends nothing for S seconds, which also "
                                     "frees the slot of a client that vanished (0: never)."),
                      QStringLiteral("S"), QStringLiteral("30")});
}

std::variant<SimOptions, QString> readSimOptions(const QCommandLineParser &parser) {
    const QString port = QStringLiteral("port");
    const QString chunk = QStringLiteral("chunk");
    const QString delay = QStringLiteral("chunk-delay-ms");
    const QString idle = QStringLiteral("idle-timeout");
    const QString count = QStringLiteral("count");
    SimOptions options;
    if (const auto value = optionNumber(parser, port, 65535)) {
        options.port = static_cast<quint16>(*value);
    } else {
        return badValue(parser, port, 65535);
    }
    if (const auto value = optionNumber(parser, count, kMaxSimCount, 1)) {
        options.count = *value;
    } else {
        return badValue(parser, count, kMaxSimCount, 1);
    }
    if (const auto value = optionNumber(parser, chunk, 65535)) {
        options.chunkBytes = *value;
    } else {
        return badValue(parser, chunk, 65535);
    }
    if (const auto value = optionNumber(parser, delay, kMaxChunkDelayMs)) {
        options.chunkDelayMs = *value;
    } else {
        return badValue(parser, delay, kMaxChunkDelayMs);
    }
    if (const auto value = optionNumber(parser, idle, kMaxIdleTimeoutS)) {
        options.idleTimeoutS = *value;
    } else {
        return badValue(parser, idle, kMaxIdleTimeoutS);
    }
    // "--config ''" is a missing file name, not the built-in configuration.
    if (parser.isSet(QStringLiteral("config")))
        options.configPath = parser.value(QStringLiteral("config"));
    options.savePath = parser.value(QStringLiteral("save"));
    if (auto mismatch = fleetMismatch(options)) {
        return *mismatch;
    }
    return options;
}

QString hexBytes(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString frameLine(const QString &command, const QByteArray &frame) {
    if (command == QLatin1String("unknown") && frame.size() > kMaxPrintedUnknownBytes) {
        return QStringLiteral("%1 %2 \u2026 (%3 bytes)")
            .arg(command, hexBytes(frame.left(kMaxPrintedUnknownBytes)))
            .arg(frame.size());
    }
    return command + QLatin1Char(' ') + hexBytes(frame);
}

QString writeEventLine(const WriteEvent &event) {
    switch (event.kind) {
    case WriteEvent::Kind::Warning:
        return QStringLiteral("warning: ") + event.text;
    case WriteEvent::Kind::Refused:
        return QStringLiteral("download refused: %1; the configuration stays as it was")
            .arg(event.text);
    case WriteEvent::Kind::Progress:
    case WriteEvent::Kind::Applied:
        break;
    }
    return event.text;
}

QString listenFailureLine(quint16 port, QAbstractSocket::SocketError error, const QString &reason) {
    return QStringLiteral("%1: cannot listen on 127.0.0.1:%2: %3. %4")
        .arg(kProgram)
        .arg(port)
        .arg(withoutFinalStop(reason), listenRemedy(port, error));
}

QString refusedSummaryLine(qint64 count) {
    return QStringLiteral("\u2026 %1 more refused frame%2")
        .arg(QLocale(QLocale::English).toString(count), count == 1 ? "" : "s");
}

qint64 steadyClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void reportServerEvents(GatewaySimServer &server, QTextStream &out,
                        const std::function<qint64()> &clockMs, const QString &prefix) {
    auto *printer = new ThrottledPrinter(out, clockMs, prefix, &server);
    auto print = [printer](const QString &line) { printer->print(line); };
    auto printOfFrame = [printer](const QString &line) { printer->printOfFrame(line); };
    QObject::connect(&server, &GatewaySimServer::clientConnected, printer, [&server, print] {
        print(QStringLiteral("client connected: %1").arg(server.clientPeer()));
    });
    QObject::connect(&server, &GatewaySimServer::clientDisconnected, printer,
                     [print] { print(QStringLiteral("client disconnected")); });
    QObject::connect(&server, &GatewaySimServer::clientIdle, printer, [&server, print] {
        print(QStringLiteral("closing the client: no request for %1 s")
                  .arg(server.idleTimeout() / 1000.0));
    });
    QObject::connect(&server, &GatewaySimServer::clientRefused, printer, [print] {
        print(QStringLiteral("second connection closed: one client at a time"));
    });
    QObject::connect(&server, &GatewaySimServer::frameReceived, printer,
                     [printer](const QString &command, const QByteArray &frame, bool refused) {
                         printer->printFrame(frameLine(command, frame), refused);
                     });
    QObject::connect(
        &server, &GatewaySimServer::replySent, printer,
        [printOfFrame](const QString &command, const QByteArray &reply) {
            printOfFrame(
                QStringLiteral("answered %1 with %2 bytes").arg(command).arg(reply.size()));
        });
    QObject::connect(
        &server, &GatewaySimServer::writeEvent, printer,
        [printOfFrame](const WriteEvent &event) { printOfFrame(writeEventLine(event)); });
    QObject::connect(&server, &GatewaySimServer::incompleteFrameDropped, printer,
                     [&server, print](const QByteArray &bytes) {
                         print(QStringLiteral("incomplete frame dropped after %1 ms without "
                                              "bytes (%2 bytes): %3")
                                   .arg(server.incompleteFrameTimeout())
                                   .arg(bytes.size())
                                   .arg(hexBytes(bytes)));
                     });
}

void saveEveryDownload(GatewaySimServer &server, const QString &path, QTextStream &out,
                       const QString &prefix) {
    QObject::connect(&server, &GatewaySimServer::configWritten, &server,
                     [path, prefix, &out](const StoredConfiguration &config) {
                         const auto failure = saveConfigurationFile(config, path);
                         out << prefix
                             << (failure
                                     ? QStringLiteral("cannot save the configuration: ") + *failure
                                     : QStringLiteral("saved the configuration to ") + path)
                             << Qt::endl;
                     });
}

} // namespace tolvar
