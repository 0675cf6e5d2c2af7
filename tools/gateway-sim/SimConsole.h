#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <variant>

namespace tolvar {

class GatewaySimServer;

inline constexpr quint16 kDefaultSimPort = 502;

struct SimOptions {
    quint16 port = kDefaultSimPort;
    QString configPath; // empty: the built-in configuration
    int chunkBytes = 0;
    int chunkDelayMs = 0;
};

// The command line: --port N, --config FILE, --chunk N, --chunk-delay-ms M, plus help/version.
void addSimOptions(QCommandLineParser &parser);
// The options of a parsed command line, or the line that says which value is wrong.
std::variant<SimOptions, QString> readSimOptions(const QCommandLineParser &parser);

// "01 02 00 ..." : the bytes in upper-case hex, separated by blanks.
QString hexBytes(const QByteArray &bytes);

// The line printed for a received block: its command name and its bytes.
QString frameLine(const QString &command, const QByteArray &frame);

// The one line printed when listening fails: address, reason and what to do about it.
QString listenFailureLine(quint16 port, QAbstractSocket::SocketError error, const QString &reason);

// Prints one line per server event (connections, frames, replies, dropped bytes) to `out`.
void reportServerEvents(GatewaySimServer &server, QTextStream &out);

} // namespace tolvar
