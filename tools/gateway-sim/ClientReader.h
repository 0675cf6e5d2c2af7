#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpSocket>

namespace tolvar {

// Reads a client's bytes so that a client that half-closes (sends its requests, then its FIN)
// still gets its replies. Qt closes a socket whole once it reads the peer's FIN and drops what
// it has not yet written; so while replies are owed, the last byte received stays in the
// socket's buffer (already handed out) and the socket reads no further, which keeps the FIN
// unread until the replies are written.
class ClientReader {
public:
    // How far the socket reads ahead of the server while nothing is owed.
    static constexpr qint64 kReadAheadBytes = 64 * 1024;

    void setSocket(QTcpSocket *socket);

    // Received bytes not yet handed out.
    qint64 bytesAvailable() const;

    // Up to `max` of the next bytes.
    QByteArray read(qint64 max);

    // Call after every read and whenever the bytes owed change: while replies are owed, the
    // socket reads nothing more; once none are, it reads on (and may find the client's end).
    void holdEnd(bool repliesOwed);

private:
    QPointer<QTcpSocket> socket_;
    bool lastByteHeld_ = false; // the socket's first buffered byte was handed out already
};

} // namespace tolvar
