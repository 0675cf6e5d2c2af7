#pragma once

#include "ChunkedWriter.h"
#include "ClientReader.h"
#include "RequestSplitter.h"
#include "gateway/StoredConfiguration.h"
#include "gateway/WriteSession.h"

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
// configuration, takes configuration downloads (#ID, #RD, #SD; see WriteSession) and records
// the latest request frames. One client is served at a time; a second connection is closed at
// once. A client that does not take its replies is not read from until it does; one that sends
// nothing for the idle timeout is closed, which also frees the slot a vanished peer holds. A
// client that ends its sending side after its requests is answered, then closed.
class GatewaySimServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultIncompleteTimeoutMs = 3000;
    static constexpr int kDefaultIdleTimeoutMs = 30000;
    static constexpr qsizetype kMaxKeptFrames = 1000;
    static constexpr qsizetype kMaxKeptFrameBytes = 1 << 20;
    // Above this many reply bytes not yet taken by the client, nothing more is read from it.
    static constexpr qint64 kMaxUnsentBytes = 1 << 20;

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

    void setConfig(const StoredConfiguration &config) { session_.setConfig(config); }
    const StoredConfiguration &config() const { return session_.config(); }

    // Every reply goes out in pieces of `bytes` bytes, `delayMs` apart; 0 bytes: in one piece.
    void setChunking(int bytes, int delayMs) { writer_.setChunking(bytes, delayMs); }

    // Write frames are answered with this Modbus exception code and not taken; none: taken.
    void setWriteRefusal(std::optional<quint8> code) { writeRefusal_ = code; }

    // How long an incomplete frame waits for its next bytes before it is dropped.
    void setIncompleteFrameTimeout(int ms) { incompleteTimer_.setInterval(ms); }
    int incompleteFrameTimeout() const { return incompleteTimer_.interval(); }

    // How long a client may send nothing before it is closed; 0: for ever. Counts from the
    // next connection or request.
    void setIdleTimeout(int ms);
    int idleTimeout() const { return idleTimeoutMs_; }

    // The latest request frames, oldest first: at most kMaxKeptFrames of them, and no more
    // than kMaxKeptFrameBytes in all.
    QList<ReceivedFrame> receivedFrames() const { return received_; }
    void clearReceivedFrames();

    // Reply bytes the client has not taken yet.
    qint64 unsentBytes() const;

    bool hasClient() const { return client_ != nullptr; }
    // "127.0.0.1:port" of the client being served, empty without one.
    QString clientPeer() const;

    // The reply the gateway gives to a request command, if it answers it.
    std::optional<QByteArray> replyTo(const QString &command) const;

signals:
    void clientConnected();
    void clientDisconnected();
    void clientRefused();
    // Sent before the client is closed for sending nothing for the idle timeout.
    void clientIdle();
    // `refused`: the frame is not taken: an unknown block or command, or a write frame that ends
    // the download without starting one.
    void frameReceived(const QString &command, const QByteArray &frame, bool refused);
    void replySent(const QString &command, const QByteArray &reply);
    void incompleteFrameDropped(const QByteArray &bytes);
    void writeEvent(const tolvar::WriteEvent &event);
    // A complete download now is the served configuration.
    void configWritten(const tolvar::StoredConfiguration &config);

private:
    void acceptConnections();
    bool clientStillConnected();
    void serve(QTcpSocket *socket);
    void readClient();
    bool readMore();
    void handleFrame(const ReceivedFrame &block);
    void takeWrite(const ReceivedFrame &block);
    void report(const QList<WriteEvent> &events);
    void keep(const ReceivedFrame &block);
    void dropIncompleteFrame();
    void restartIdleTimer();
    void closeIdleClient();
    void endClient();

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    ClientReader reader_;
    RequestSplitter splitter_;
    ChunkedWriter writer_;
    QTimer incompleteTimer_;
    QTimer idleTimer_;
    int idleTimeoutMs_ = kDefaultIdleTimeoutMs;
    WriteSession session_;
    std::optional<quint8> writeRefusal_;
    QList<ReceivedFrame> unhandled_; // cut from the stream, waiting for the client to read
    QList<ReceivedFrame> received_;
    qsizetype receivedBytes_ = 0;
    bool reading_ = false;
};

} // namespace tolvar
