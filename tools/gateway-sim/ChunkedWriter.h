#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace tolvar {

// Writes bytes to a socket in pieces of a fixed size with a pause between pieces, so that a
// client sees one reply arrive in several blocks. Size 0 writes everything at once.
class ChunkedWriter : public QObject {
    Q_OBJECT

public:
    explicit ChunkedWriter(QObject *parent = nullptr);

    void setChunking(int bytes, int delayMs);
    int chunkSize() const { return chunkSize_; }
    int chunkDelayMs() const { return delayMs_; }

    // The socket to write to; a new socket (or none) drops what the old one did not get.
    void setSocket(QTcpSocket *socket);

    void write(const QByteArray &bytes);

    // True when nothing is left to write.
    bool isIdle() const { return queue_.isEmpty(); }
    // Bytes waiting for their turn, not yet handed to the socket.
    qint64 queuedBytes() const { return queue_.size(); }

private:
    void writeNextPiece();

    QPointer<QTcpSocket> socket_;
    QByteArray queue_;
    QTimer pause_;
    int chunkSize_ = 0;
    int delayMs_ = 0;
};

} // namespace tolvar
