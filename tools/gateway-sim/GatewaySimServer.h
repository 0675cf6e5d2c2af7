#pragma once

#include "ChunkedWriter.h"
#include "RequestSplitter.h"
#include "SimConfig.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

namespace tolvar {

// A simulated gateway on 127.0.0.1: answers the read commands #PD, #GD and #HD from its
// configuration and records every request frame. One client is served at a time; a second
// connection is closed at once.
class GatewaySimServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultIncompleteTimeoutMs = 3000;

    explicit GatewaySimServer(QObject *parent = nullptr);
    ~GatewaySimServer() override;

    // Listens on 127.0.0.1 only; port 0 picks a free port.
    bool listen(quint16 port);
    void close();
    bool isListening() const { return server_.isListening(); }
    quint16 serverPort() const { return server_.serverPort(); }
    QHostAddress serverAddress() const { return server_.serverAddress(); }
    QString errorString() const { return server_.errorString(); }
    QAbstractSocket::SocketError serverError() const { return server_.serverError(); }

    void setConfig(const SimConfig &config) { config_ = config; }
    const SimConfig &config() const { return config_; }

    // Every reply goes out in pieces of `bytes` bytes, `delayMs` apart; 0 bytes: in one piece.
    void setChunking(int bytes, int delayMs) { writer_.setChunking(bytes, delayMs); }

    // How long an incomplete frame waits for its next bytes before it is dropped.
    void setIncompleteFrameTimeout(int ms) { incompleteTimer_.setInterval(ms); }
    int incompleteFrameTimeout() const { return incompleteTimer_.interval(); }

    QList<ReceivedFrame> receivedFrames() const { return received_; }
    void clearReceivedFrames() { received_.clear(); }

    bool hasClient() const { return client_ != nullptr; }
    // "127.0.0.1:port" of the client being served, empty without one.
    QString clientPeer() const;

    // The reply the gateway gives to a request command, if it answers it.
    std::optional<QByteArray> replyTo(const QString &command) const;

signals:
    void clientConnected();
    void clientDisconnected();
    void clientRefused();
    void frameReceived(const QString &command, const QByteArray &frame);
    void replySent(const QString &command, const QByteArray &reply);
    void incompleteFrameDropped(const QByteArray &bytes);

private:
    void acceptConnections();
    bool clientStillConnected();
    void serve(QTcpSocket *socket);
    void readClient();
    void handleFrame(const ReceivedFrame &block);
    void dropIncompleteFrame();
    void endClient();

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    RequestSplitter splitter_;
    ChunkedWriter writer_;
    QTimer incompleteTimer_;
    SimConfig config_;
    QList<ReceivedFrame> received_;
};

} // namespace tolvar
