#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <functional>
#include <optional>
#include <variant>

namespace tolvar {

class GatewaySimServer;
struct WriteEvent;

inline constexpr quint16 kDefaultSimPort = 502;
inline constexpr int kMaxSimCount = 256;

struct SimOptions {
    quint16 port = kDefaultSimPort;    // of the first gateway; 0: each takes a free one
    int count = 1;                     // gateways served, on port, port + 1, ...
    std::optional<QString> configPath; // none: the built-in configuration
    QString savePath;                  // empty: downloads are not saved; with count > 1 a folder
    int chunkBytes = 0;
    int chunkDelayMs = 0;
    int idleTimeoutS = 30; // 0: an idle client is never closed
};

// The command line: --port N, --count N, --config FILE, --save FILE|DIR, --chunk N,
// --chunk-delay-ms M, --idle-timeout S, plus help/version.
void addSimOptions(QCommandLineParser &parser);
// The options of a parsed command line, or the line that says which value is wrong. With one
// gateway --save names a file, with several an existing folder; either other way is refused.
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

// "… 12,345 more refused frames": the line that stands for frames left out of the log.
QString refusedSummaryLine(qint64 count);

// Milliseconds of a steady clock.
qint64 steadyClockMs();

// Prints one line per server event (connections, frames, replies, downloads, dropped bytes),
// each starting with `prefix`. Refused frames go through a LogThrottle on `clockMs`: the lines of
// a frame it only counts (the frame, its refusal, its answer) are left out, and their number is
// printed once due.
void reportServerEvents(GatewaySimServer &server, QTextStream &out,
                        const std::function<qint64()> &clockMs = steadyClockMs,
                        const QString &prefix = {});

// After every complete download, writes the configuration to `path` and prints one line that
// starts with `prefix`.
void saveEveryDownload(GatewaySimServer &server, const QString &path, QTextStream &out,
                       const QString &prefix = {});

} // namespace tolvar
