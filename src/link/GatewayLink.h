#pragma once

#include "link/Replies.h"
#include "link/ReplyAssembler.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace tolvar {

// The one TCP connection to the gateway. Everything received goes to one buffer; only whole,
// checked replies leave this class, as signals, one at a time.
class GatewayLink : public QObject {
    Q_OBJECT

public:
    // How long the rest of a begun reply may take before its bytes are dropped.
    static constexpr int kStaleReplyMs = 3000;

    explicit GatewayLink(quint16 port, QObject *parent = nullptr);

    quint16 port() const { return m_port; }
    void connectToGateway(const QString &host);
    // Runs the event loop until connected or `seconds` have passed; answers whether connected.
    bool waitConnected(int seconds);
    bool isConnected() const;
    // Sends one frame as one write, only while connected. Answers whether it was sent.
    bool send(const QByteArray &frame);
    void close();

    // Tests shorten the wait for the rest of a begun reply.
    void setStaleReplyMs(int ms) { m_staleTimer.setInterval(ms); }

    // The number of device blocks a table reply holds: the device amount shown at the time.
    void setDeviceCountSource(std::function<int()> source) { m_deviceCount = std::move(source); }

signals:
    void replyReceived(const tolvar::Reply &reply);
    void replyRefused(const QString &reason);

private:
    void onReadyRead();
    void dispatchReplies();
    void onStaleReply();
    void report(const std::optional<ReplyAssembler::Refusal> &refusal);

    quint16 m_port;
    QTcpSocket m_socket;
    ReplyAssembler m_assembler;
    QTimer m_staleTimer;
    std::function<int()> m_deviceCount = [] { return 1; };
    bool m_dispatching = false;
};

} // namespace tolvar
