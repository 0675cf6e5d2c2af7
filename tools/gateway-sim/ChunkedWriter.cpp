#include "ChunkedWriter.h"

#include <algorithm>

namespace tolvar {

ChunkedWriter::ChunkedWriter(QObject *parent) : QObject(parent) {
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &ChunkedWriter::writeNextPiece);
}

void ChunkedWriter::setChunking(int bytes, int delayMs) {
    chunkSize_ = std::max(bytes, 0);
    delayMs_ = std::max(delayMs, 0);
}

void ChunkedWriter::setSocket(QTcpSocket *socket) {
    pause_.stop();
    queue_.clear();
    socket_ = socket;
    if (socket_) {
        // Without this the kernel may glue the pieces back together.
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }
}

void ChunkedWriter::write(const QByteArray &bytes) {
    if (!socket_) {
        return;
    }
    if (chunkSize_ == 0 && queue_.isEmpty()) {
        socket_->write(bytes);
        return;
    }
    const bool wasIdle = queue_.isEmpty();
    queue_.append(bytes);
    if (wasIdle) {
        writeNextPiece();
    }
}

void ChunkedWriter::writeNextPiece() {
    if (!socket_) {
        queue_.clear();
        return;
    }
    // Taken off the queue first: the flush may report the bytes written at once, and what is
    // still owed must not count them again.
    const QByteArray piece = queue_.left(chunkSize_ == 0 ? queue_.size() : chunkSize_);
    queue_.remove(0, piece.size());
    socket_->write(piece);
    socket_->flush();
    if (!queue_.isEmpty()) {
        pause_.start(delayMs_);
    }
}

} // namespace tolvar
