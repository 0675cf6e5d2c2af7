#pragma once

#include "link/Replies.h"
#include "link/ReplyAssembler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace tolvar {

// The one TCP connection to the gateway. Only whole, checked replies leave this class, as
// signals, one per turn of the event loop, so a flood of replies never freezes the windows.
class GatewayLink : public QObject {
    Q_OBJECT

public:
    // How long a begun reply may take, from its first byte, before it is dropped.
    static constexpr int kStaleReplyMs = 3000;

    explicit GatewayLink(quint16 port, QObject *parent = nullptr);
    ~GatewayLink() override;

    quint16 port() const { return m_port; }
    void connectToGateway(const QString &host);
    // Runs the event loop until connected or `seconds` have passed; answers whether connected.
    bool waitConnected(int seconds);
    bool isConnected() const;
    // Counts the connections begun. A sender that paces itself over several waits notes it, so
    // that it does not go on over a connection made in the meantime.
    int connectionNumber() const { return m_connectionNumber; }
    // Sends one frame as one write, only while connected, and opens its answer window.
    // Answers whether it was sent.
    bool send(const QByteArray &frame);
    // Bytes handed to send() that the gateway has not taken yet.
    qint64 untakenBytes() const { return m_socket.bytesToWrite(); }
    // Closes the connection from this side: nothing is reported, pending bytes are forgotten.
    void close();

    // Tests shorten the wait for the rest of a begun reply.
    void setStaleReplyMs(int ms) { m_staleReplyMs = ms; }

    // The number of device blocks a table reply holds: the device amount shown at the time.
    void setDeviceCountSource(std::function<int()> source) { m_deviceCount = std::move(source); }

signals:
    // The connection asked for by connectToGateway() is made, or cannot be made and why.
    void connected();
    void connectionFailed(const QString &reason);
    void replyReceived(const tolvar::Reply &reply);
    // Refused replies, dropped incomplete replies and the gateway closing the connection.
    void replyRefused(const QString &reason);

private:
    void readArrivedBytes();
    void onDisconnected();
    void takeNext();
    void watchDeadline();
    void finishPeerClose();
    void forgetEverything();
    void report(const std::optional<ReplyAssembler::Refusal> &refusal);

    quint16 m_port;
    ReplyAssembler m_assembler;
    QElapsedTimer m_clock;
    QTimer m_takeTimer;  // zero-time: the next reply on the next turn of the event loop
    QTimer m_staleTimer; // the deadline of the reply that has begun
    int m_staleReplyMs = kStaleReplyMs;
    std::function<int()> m_deviceCount = [] { return 1; };
    int m_connectionNumber = 0;
    bool m_delivering = false; // a handler of the last reply is still running
    bool m_peerClosed = false; // what was received before the close is still being taken
    bool m_closing = false;    // this side closes; the socket's disconnect is no news
    bool m_connecting = false; // connectToGateway() has not been answered yet
    QTcpSocket m_socket;       // last, so it goes first and its signals find the rest alive
};

} // namespace tolvar
