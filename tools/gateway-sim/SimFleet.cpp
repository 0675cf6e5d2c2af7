#include "SimFleet.h"

#include "GatewaySimServer.h"

#include <QDir>

namespace tolvar {

SimFleet::SimFleet(const StoredConfiguration &config, const SimOptions &options)
    : options_(options) {
    for (int i = 0; i < options.count; ++i) {
        auto server = std::make_unique<GatewaySimServer>();
        server->setConfig(config);
        server->setChunking(options.chunkBytes, options.chunkDelayMs);
        server->setIdleTimeout(options.idleTimeoutS * 1000);
        servers_.push_back(std::move(server));
    }
}

SimFleet::~SimFleet() = default;

std::optional<QString> SimFleet::start(QTextStream &out, const std::function<qint64()> &clockMs) {
    if (auto failure = listenAll()) {
        return failure;
    }
    for (const auto &server : servers_) {
        out << listeningLine(*server) << Qt::endl;
    }
    for (const auto &server : servers_) {
        out << QStringLiteral("port %1").arg(server->serverPort()) << Qt::endl;
    }
    for (const auto &server : servers_) {
        const QString prefix = eventPrefix(*server);
        reportServerEvents(*server, out, clockMs, prefix);
        const QString path = savePath(server->serverPort());
        if (!path.isEmpty()) {
            saveEveryDownload(*server, path, out, prefix);
        }
    }
    return std::nullopt;
}

QList<quint16> SimFleet::ports() const {
    QList<quint16> ports;
    for (const auto &server : servers_) {
        ports << server->serverPort();
    }
    return ports;
}

QString SimFleet::savePath(quint16 port) const {
    if (options_.count == 1 || options_.savePath.isEmpty()) {
        return options_.savePath;
    }
    return QDir(options_.savePath).filePath(QStringLiteral("%1.json").arg(port));
}

std::optional<QString> SimFleet::listenAll() {
    for (int i = 0; i < size(); ++i) {
        const auto port = static_cast<quint16>(options_.port == 0 ? 0 : options_.port + i);
        GatewaySimServer &server = *servers_[i];
        if (!server.listen(port)) {
            const QString line =
                listenFailureLine(port, server.serverError(), server.errorString());
            close();
            return line;
        }
    }
    return std::nullopt;
}

void SimFleet::close() {
    for (const auto &server : servers_) {
        server->close();
    }
}

QString SimFleet::listeningLine(const GatewaySimServer &server) const {
    QString line = QStringLiteral("tolvar-gateway-sim: listening on 127.0.0.1:%1, %2 device(s)")
                       .arg(server.serverPort())
                       .arg(server.config().devices.size());
    const QString path = savePath(server.serverPort());
    if (!path.isEmpty()) {
        line += QStringLiteral(", saving downloads to %1").arg(path);
    }
    if (options_.chunkBytes > 0) {
        line += QStringLiteral(", replies in %1-byte pieces %2 ms apart")
                    .arg(options_.chunkBytes)
                    .arg(options_.chunkDelayMs);
    }
    return line;
}

// One gateway's lines need no name; several share one output.
QString SimFleet::eventPrefix(const GatewaySimServer &server) const {
    return size() > 1 ? QStringLiteral("[%1] ").arg(server.serverPort()) : QString();
}

} // namespace tolvar
