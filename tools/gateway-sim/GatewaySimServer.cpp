#include "GatewaySimServer.h"

#include "gateway/ReplyEncoder.h"
#include "link/CommandFrame.h"

#include <QHostAddress>
#include <QScopedValueRollback>

#include <algorithm>

namespace tolvar {

namespace {

// Bounds what is taken from a client at once, so a flood of requests is answered only as fast
// as the client takes the replies.
constexpr qint64 kReadPieceBytes = 4096;

bool isWriteCommand(const QString &command) {
    return command == QLatin1String("#ID") || command == QLatin1String("#RD") ||
           command == QLatin1String("#SD");
}

// A refusal after which the session is not in a download drops the frame that caused it; with a
// download in progress, that frame started a new one.
bool isRefusal(const QList<WriteEvent> &events) {
    return std::any_of(events.begin(), events.end(), [](const WriteEvent &event) {
        return event.kind == WriteEvent::Kind::Refused;
    });
}

} // namespace

GatewaySimServer::GatewaySimServer(QObject *parent) : QObject(parent) {
    incompleteTimer_.setSingleShot(true);
    incompleteTimer_.setInterval(kDefaultIncompleteTimeoutMs);
    connect(&incompleteTimer_, &QTimer::timeout, this, &GatewaySimServer::dropIncompleteFrame);
    idleTimer_.setSingleShot(true);
    connect(&idleTimer_, &QTimer::timeout, this, &GatewaySimServer::closeIdleClient);
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

void GatewaySimServer::setIdleTimeout(int ms) {
    idleTimeoutMs_ = std::max(ms, 0);
}

QString GatewaySimServer::clientPeer() const {
    if (!client_) {
        return {};
    }
    return QStringLiteral("%1:%2").arg(client_->peerAddress().toString()).arg(client_->peerPort());
}

void GatewaySimServer::clearReceivedFrames() {
    received_.clear();
    receivedBytes_ = 0;
}

qint64 GatewaySimServer::unsentBytes() const {
    return client_ ? client_->bytesToWrite() + writer_.queuedBytes() : 0;
}

std::optional<QByteArray> GatewaySimServer::replyTo(const QString &command) const {
    if (command == QLatin1String("#PD")) {
        return encodeReply(ethernetReplyOf(config()));
    }
    if (command == QLatin1String("#GD")) {
        return encodeReply(generalReplyOf(config()));
    }
    if (command == QLatin1String("#HD")) {
        return encodeReply(tableReplyOf(config()));
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
    reader_.setSocket(socket);
    // Lets the system notice a peer that vanished, where it checks.
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    writer_.setSocket(socket);
    connect(socket, &QTcpSocket::readyRead, this, &GatewaySimServer::readClient);
    connect(socket, &QTcpSocket::bytesWritten, this, &GatewaySimServer::readClient);
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == client_) {
            endClient();
        }
    });
    restartIdleTimer();
    emit clientConnected();
}

// Handles frames one at a time while the client takes its replies. A flush inside a reply may
// signal bytesWritten at once; that call leaves the frames to this loop.
void GatewaySimServer::readClient() {
    if (reading_) {
        return;
    }
    {
        const QScopedValueRollback<bool> reading(reading_, true);
        while (client_ && unsentBytes() <= kMaxUnsentBytes) {
            if (unhandled_.isEmpty() && !readMore()) {
                break;
            }
            if (!unhandled_.isEmpty()) {
                handleFrame(unhandled_.takeFirst());
            }
        }
    }
    reader_.holdEnd(unsentBytes() > 0);
}

// Cuts the next received bytes into frames; false when nothing is waiting.
bool GatewaySimServer::readMore() {
    if (reader_.bytesAvailable() == 0) {
        return false;
    }
    unhandled_ = splitter_.feed(reader_.read(kReadPieceBytes));
    restartIdleTimer();
    if (splitter_.pending().isEmpty()) {
        incompleteTimer_.stop();
    } else {
        incompleteTimer_.start();
    }
    return true;
}

void GatewaySimServer::handleFrame(const ReceivedFrame &block) {
    keep(block);
    if (isWriteCommand(block.command)) {
        takeWrite(block);
        return;
    }
    const std::optional<QByteArray> reply = replyTo(block.command);
    emit frameReceived(block.command, block.frame, !reply);
    if (reply) {
        writer_.write(*reply);
        emit replySent(block.command, *reply);
    }
}

void GatewaySimServer::takeWrite(const ReceivedFrame &block) {
    if (writeRefusal_) {
        emit frameReceived(block.command, block.frame, true);
        const QByteArray refusal =
            encodeReply(ExceptionReply{frame::kWriteMultipleRegisters, *writeRefusal_});
        writer_.write(refusal);
        emit replySent(block.command, refusal);
        return;
    }
    const QList<WriteEvent> events = session_.take(block.frame);
    emit frameReceived(block.command, block.frame, isRefusal(events) && !session_.inProgress());
    report(events);
    const QByteArray response = writeResponseTo(block.frame);
    writer_.write(response);
    emit replySent(block.command, response);
}

void GatewaySimServer::report(const QList<WriteEvent> &events) {
    for (const WriteEvent &event : events) {
        emit writeEvent(event);
        if (event.kind == WriteEvent::Kind::Applied) {
            emit configWritten(config());
        }
    }
}

void GatewaySimServer::keep(const ReceivedFrame &block) {
    received_.append(block);
    receivedBytes_ += block.frame.size();
    while (received_.size() > kMaxKeptFrames || receivedBytes_ > kMaxKeptFrameBytes) {
        receivedBytes_ -= received_.takeFirst().frame.size();
    }
}

void GatewaySimServer::dropIncompleteFrame() {
    // Unread bytes may complete the frame; they wait only for the client to take its replies.
    if (reader_.bytesAvailable() > 0) {
        incompleteTimer_.start();
        return;
    }
    const QByteArray bytes = splitter_.takePending();
    if (!bytes.isEmpty()) {
        emit incompleteFrameDropped(bytes);
    }
}

void GatewaySimServer::restartIdleTimer() {
    if (client_ && idleTimeoutMs_ > 0) {
        idleTimer_.start(idleTimeoutMs_);
    } else {
        idleTimer_.stop();
    }
}

void GatewaySimServer::closeIdleClient() {
    if (client_) {
        emit clientIdle();
        client_->abort();
        endClient();
    }
}

void GatewaySimServer::endClient() {
    QTcpSocket *socket = client_;
    client_ = nullptr;
    writer_.setSocket(nullptr);
    reader_.setSocket(nullptr);
    splitter_.takePending();
    unhandled_.clear();
    incompleteTimer_.stop();
    idleTimer_.stop();
    report(session_.end());
    if (socket) {
        socket->disconnect(this);
        socket->deleteLater();
        emit clientDisconnected();
    }
}

} // namespace tolvar
