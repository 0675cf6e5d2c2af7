#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <optional>
#include <variant>

namespace tolvar {

class GatewaySimServer;
struct WriteEvent;

inline constexpr quint16 kDefaultSimPort = 502;

struct SimOptions {
    quint16 port = kDefaultSimPort;
    std::optional<QString> configPath; // none: the built-in configuration
    QString savePath;   // empty: downloads are not saved
    int chunkBytes = 0;
    int chunkDelayMs = 0;
};

// The command line: --port N, --config FILE, --save FILE, --chunk N, --chunk-delay-ms M, plus
// help/version.
void addSimOptions(QCommandLineParser &parser);
// The options of a parsed command line, or the line that says which value is wrong.
std::variant<SimOptions, QString> readSimOptions(const QCommandLineParser &parser);

// "01 02 00 ..." : the bytes in upper-case hex, separated by blanks.
QString hexBytes(const QByteArray &bytes);

// The line printed for a received block: its command name and its bytes; of an "unknown"
// block only the first kMaxPrintedUnknownBytes, then "… (N bytes)".
inline constexpr int kMaxPrintedUnknownBytes = 64;
QString frameLine(const QString &command, const QByteArray &frame);

// The line printed for a step of a configuration download.
QString writeEventLine(const WriteEvent &event);

// The one line printed when listening fails: address, reason and what to do about it.
QString listenFailureLine(quint16 port, QAbstractSocket::SocketError error, const QString &reason);

// Prints one line per server event (connections, frames, replies, downloads, dropped bytes).
void reportServerEvents(GatewaySimServer &server, QTextStream &out);

// After every complete download, writes the configuration to `path` and prints one line.
void saveEveryDownload(GatewaySimServer &server, const QString &path, QTextStream &out);

} // namespace tolvar
