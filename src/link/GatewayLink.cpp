#include "link/GatewayLink.h"

#include "link/Waits.h"

#include <QEventLoop>

#include <utility>

namespace tolvar {

GatewayLink::GatewayLink(quint16 port, QObject *parent) : QObject(parent), m_port(port) {
    m_clock.start();
    m_takeTimer.setSingleShot(true);
    m_takeTimer.setInterval(0);
    m_staleTimer.setSingleShot(true);
    connect(&m_takeTimer, &QTimer::timeout, this, &GatewayLink::takeNext);
    connect(&m_staleTimer, &QTimer::timeout, this, &GatewayLink::takeNext);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        readArrivedBytes();
        m_takeTimer.start();
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, &GatewayLink::onDisconnected);
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_connecting = false;
        emit connected();
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (!std::exchange(m_connecting, false))
            return;
        emit connectionFailed(m_socket.errorString());
    });
}

GatewayLink::~GatewayLink() {
    close();
}

void GatewayLink::connectToGateway(const QString &host) {
    close();
    ++m_connectionNumber;
    m_connecting = true;
    m_socket.connectToHost(host, m_port);
}

bool GatewayLink::waitConnected(int seconds) {
    if (!isConnected()) {
        QEventLoop loop;
        connect(&m_socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
        runLoopFor(loop, seconds);
    }
    return isConnected();
}

bool GatewayLink::isConnected() const {
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

// Bytes already here answer the earlier requests; what comes after the frame answers it.
bool GatewayLink::send(const QByteArray &frame) {
    if (!isConnected())
        return false;
    readArrivedBytes();
    m_assembler.startWindow();
    m_takeTimer.start();
    return m_socket.write(frame) == frame.size();
}

void GatewayLink::close() {
    m_closing = true;
    m_connecting = false;
    m_socket.abort();
    m_closing = false;
    forgetEverything();
}

void GatewayLink::readArrivedBytes() {
    if (m_socket.bytesAvailable() > 0)
        m_assembler.append(m_socket.readAll(), m_clock.elapsed());
}

// What arrived before the close is still taken, in order; then the close is reported.
void GatewayLink::onDisconnected() {
    if (m_closing)
        return;
    readArrivedBytes();
    m_peerClosed = true;
    m_takeTimer.start();
}

// One step per turn. A handler that runs the event loop must not see the next reply before it
// has finished with this one: the step waits, and the handler's return starts it again.
void GatewayLink::takeNext() {
    if (m_delivering)
        return;
    ReplyAssembler::Step step = m_assembler.next(m_deviceCount());
    if (std::holds_alternative<std::monostate>(step)) {
        if (m_peerClosed)
            finishPeerClose();
        else
            watchDeadline();
        return;
    }
    m_delivering = true;
    if (const auto *refusal = std::get_if<ReplyAssembler::Refusal>(&step))
        emit replyRefused(refusal->reason);
    else
        emit replyReceived(std::get<Reply>(step));
    m_delivering = false;
    m_takeTimer.start();
}

// The deadline counts from the first byte of the begun reply, however its rest trickles in.
void GatewayLink::watchDeadline() {
    const std::optional<qint64> since = m_assembler.pendingSince();
    if (!since) {
        m_staleTimer.stop();
        return;
    }
    const qint64 left = *since + m_staleReplyMs - m_clock.elapsed();
    if (left > 0) {
        m_staleTimer.start(int(left));
        return;
    }
    m_staleTimer.stop();
    report(m_assembler.dropPending(ReplyAssembler::DropCause::Deadline));
}

void GatewayLink::finishPeerClose() {
    const auto dropped = m_assembler.dropPending(ReplyAssembler::DropCause::PeerClosed);
    forgetEverything();
    report(dropped);
    emit replyRefused(QStringLiteral("The gateway closed the connection."));
}

void GatewayLink::forgetEverything() {
    m_assembler.clear();
    m_takeTimer.stop();
    m_staleTimer.stop();
    m_peerClosed = false;
}

void GatewayLink::report(const std::optional<ReplyAssembler::Refusal> &refusal) {
    if (refusal)
        emit replyRefused(refusal->reason);
}

} // namespace tolvar
