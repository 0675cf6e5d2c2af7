#include "ScriptedPeer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

ScriptedPeer::ScriptedPeer() {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        QTcpSocket *socket = m_client = m_server.nextPendingConnection();
        // What arrives while a handler of these bytes runs the event loop is not announced
        // again: it is taken once the handler is done.
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            while (socket->bytesAvailable() > 0) {
                m_received += socket->readAll();
                emit bytesReceived();
            }
        });
    });
}

void ScriptedPeer::send(const QByteArray &bytes) {
    if (!m_client || bytes.isEmpty())
        return;
    m_client->write(bytes);
    m_client->waitForBytesWritten(1000);
    // Give the receiver a chance to see these bytes on their own.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void ScriptedPeer::disconnectClient() {
    if (m_client)
        m_client->disconnectFromHost();
}

quint16 closedLoopbackPort() {
    QTcpServer probe; // closes when it goes, leaving its port free
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool pumpUntil(const std::function<bool()> &done, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}
