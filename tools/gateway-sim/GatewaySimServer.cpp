#include "GatewaySimServer.h"

#include "link/ReplyEncoder.h"

#include <QHostAddress>

namespace tolvar {

GatewaySimServer::GatewaySimServer(QObject *parent) : QObject(parent) {
    incompleteTimer_.setSingleShot(true);
    incompleteTimer_.setInterval(kDefaultIncompleteTimeoutMs);
    connect(&incompleteTimer_, &QTimer::timeout, this, &GatewaySimServer::dropIncompleteFrame);
    connect(&server_, &QTcpServer::newConnection, this, &GatewaySimServer::acceptConnections);
}

GatewaySimServer::~GatewaySimServer() {
    // The client socket is a child of server_ and outlives the other members; its last
    // signals must not reach this half-destroyed object.
    if (client_) {
        client_->disconnect(this);
    }
}

bool GatewaySimServer::listen(quint16 port) {
    return server_.listen(QHostAddress::LocalHost, port);
}

void GatewaySimServer::close() {
    server_.close();
    if (client_) {
        client_->abort();
        endClient();
    }
}

QString GatewaySimServer::clientPeer() const {
    if (!client_) {
        return {};
    }
    return QStringLiteral("%1:%2").arg(client_->peerAddress().toString()).arg(client_->peerPort());
}

std::optional<QByteArray> GatewaySimServer::replyTo(const QString &command) const {
    if (command == QLatin1String("#PD")) {
        return encodeReply(ethernetReplyOf(config_));
    }
    if (command == QLatin1String("#GD")) {
        return encodeReply(generalReplyOf(config_));
    }
    if (command == QLatin1String("#HD")) {
        return encodeReply(tableReplyOf(config_));
    }
    return std::nullopt;
}

void GatewaySimServer::acceptConnections() {
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        if (clientStillConnected()) {
            socket->close();
            socket->deleteLater();
            emit clientRefused();
        } else {
            serve(socket);
        }
    }
}

// A client that closed just before the next one connected may not have been noticed yet;
// polling it once lets its end be seen, so a quick reconnect is served, not refused.
bool GatewaySimServer::clientStillConnected() {
    if (client_ && client_->state() == QAbstractSocket::ConnectedState) {
        client_->waitForReadyRead(0);
    }
    if (client_ && client_->state() != QAbstractSocket::ConnectedState) {
        endClient();
    }
    return client_ != nullptr;
}

void GatewaySimServer::serve(QTcpSocket *socket) {
    client_ = socket;
    writer_.setSocket(socket);
    connect(socket, &QTcpSocket::readyRead, this, &GatewaySimServer::readClient);
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == client_) {
            endClient();
        }
    });
    emit clientConnected();
}

void GatewaySimServer::readClient() {
    if (!client_) {
        return;
    }
    const QList<ReceivedFrame> blocks = splitter_.feed(client_->readAll());
    for (const ReceivedFrame &block : blocks) {
        handleFrame(block);
    }
    if (splitter_.pending().isEmpty()) {
        incompleteTimer_.stop();
    } else {
        incompleteTimer_.start();
    }
}

void GatewaySimServer::handleFrame(const ReceivedFrame &block) {
    received_.append(block);
    emit frameReceived(block.command, block.frame);
    if (const std::optional<QByteArray> reply = replyTo(block.command)) {
        writer_.write(*reply);
        emit replySent(block.command, *reply);
    }
}

void GatewaySimServer::dropIncompleteFrame() {
    const QByteArray bytes = splitter_.takePending();
    if (!bytes.isEmpty()) {
        emit incompleteFrameDropped(bytes);
    }
}

void GatewaySimServer::endClient() {
    QTcpSocket *socket = client_;
    client_ = nullptr;
    writer_.setSocket(nullptr);
    splitter_.takePending();
    incompleteTimer_.stop();
    if (socket) {
        socket->disconnect(this);
        socket->deleteLater();
        emit clientDisconnected();
    }
}

} // namespace tolvar
