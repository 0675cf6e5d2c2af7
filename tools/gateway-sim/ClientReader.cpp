#include "ClientReader.h"

#include <algorithm>

namespace tolvar {

void ClientReader::setSocket(QTcpSocket *socket) {
    socket_ = socket;
    lastByteHeld_ = false;
    if (socket_) {
        socket_->setReadBufferSize(kReadAheadBytes);
    }
}

qint64 ClientReader::bytesAvailable() const {
    return socket_ ? socket_->bytesAvailable() - (lastByteHeld_ ? 1 : 0) : 0;
}

QByteArray ClientReader::read(qint64 max) {
    const qint64 count = std::min(max, bytesAvailable());
    if (count <= 0) {
        return {};
    }
    const qint64 held = lastByteHeld_ ? 1 : 0;
    QByteArray bytes = socket_->read(held + count - 1).mid(held);
    bytes += socket_->peek(1);
    lastByteHeld_ = true;
    return bytes;
}

void ClientReader::holdEnd(bool repliesOwed) {
    if (!socket_) {
        return;
    }
    if (repliesOwed) {
        // A buffer at its limit stops the socket reading; the held byte keeps it above zero,
        // which would mean no limit.
        socket_->setReadBufferSize(std::max<qint64>(socket_->bytesAvailable(), 1));
        return;
    }
    if (lastByteHeld_) {
        socket_->read(1);
        lastByteHeld_ = false;
    }
    socket_->setReadBufferSize(kReadAheadBytes);
}

} // namespace tolvar
