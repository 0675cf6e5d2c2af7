#include "link/GatewayLink.h"

#include "link/Waits.h"

#include <QEventLoop>

namespace tolvar {

GatewayLink::GatewayLink(quint16 port, QObject *parent) : QObject(parent), m_port(port) {
    m_staleTimer.setSingleShot(true);
    m_staleTimer.setInterval(kStaleReplyMs);
    connect(&m_socket, &QTcpSocket::readyRead, this, &GatewayLink::onReadyRead);
    connect(&m_staleTimer, &QTimer::timeout, this, &GatewayLink::onStaleReply);
}

void GatewayLink::connectToGateway(const QString &host) {
    m_socket.abort();
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

bool GatewayLink::send(const QByteArray &frame) {
    if (!isConnected())
        return false;
    return m_socket.write(frame) == frame.size();
}

void GatewayLink::close() {
    m_socket.abort();
    m_staleTimer.stop();
    report(m_assembler.dropPending());
}

// A handler may run the event loop; bytes arriving then wait in the socket until the replies
// already buffered have been taken, so a complete reply is never mistaken for a cut one.
void GatewayLink::onReadyRead() {
    if (!m_dispatching)
        dispatchReplies();
}

void GatewayLink::dispatchReplies() {
    m_dispatching = true;
    for (;;) {
        ReplyAssembler::Step step = m_assembler.next(m_deviceCount());
        if (std::holds_alternative<std::monostate>(step)) {
            if (m_socket.bytesAvailable() <= 0)
                break;
            report(m_assembler.append(m_socket.readAll()));
            continue;
        }
        if (const auto *refusal = std::get_if<ReplyAssembler::Refusal>(&step))
            emit replyRefused(refusal->reason);
        else
            emit replyReceived(std::get<Reply>(step));
    }
    m_dispatching = false;
    if (m_assembler.hasPending())
        m_staleTimer.start();
    else
        m_staleTimer.stop();
}

void GatewayLink::onStaleReply() {
    report(m_assembler.dropPending());
}

void GatewayLink::report(const std::optional<ReplyAssembler::Refusal> &refusal) {
    if (refusal)
        emit replyRefused(refusal->reason);
}

} // namespace tolvar
