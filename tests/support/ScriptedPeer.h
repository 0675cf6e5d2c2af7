#pragma once

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A loopback TCP peer for tests: accepts one client, records what it sends and sends back
// whatever the test scripts, byte for byte.
class ScriptedPeer : public QObject {
    Q_OBJECT

public:
    ScriptedPeer();

    quint16 port() const { return m_server.serverPort(); }
    bool hasClient() const {
        return m_client && m_client->state() == QAbstractSocket::ConnectedState;
    }
    QByteArray received() const { return m_received; }

    // Sends `bytes` and lets them arrive on their own before the test goes on.
    void send(const QByteArray &bytes);
    void disconnectClient();

signals:
    void bytesReceived();

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_received;
};

// A loopback port on which nothing listens (a refused connection).
quint16 closedLoopbackPort();

// Runs the event loop until `done` answers true or `ms` have passed; answers `done()`.
bool pumpUntil(const std::function<bool()> &done, int ms = 3000);
