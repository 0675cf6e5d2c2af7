#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tolvar {

// One block cut from the received byte stream: a request frame or a garbage block.
struct ReceivedFrame {
    QString command; // "#PD", "#GD", "#HD", "#ID", "#RD", "#SD" or "unknown"
    QByteArray frame;
    bool operator==(const ReceivedFrame &) const = default;
};

// Cuts the byte stream of one connection into request frames. A frame's length follows from
// its header: #ID frames are 31 bytes, #RD frames 23*N + 30 with N at offset 16, every other
// command 13 + the byte count at offset 12. Bytes that do not start with a request header
// are garbage: all bytes buffered at that moment form one "unknown" block.
class RequestSplitter {
public:
    // Appends bytes and returns every block that is now complete, in stream order.
    QList<ReceivedFrame> feed(const QByteArray &bytes);

    // Bytes of a frame that is not yet complete.
    const QByteArray &pending() const { return buffer_; }

    // Forgets the incomplete frame and returns its bytes.
    QByteArray takePending();

    // The name printed for a frame: its command, or "unknown" for commands the gateway lacks.
    static QString commandName(const QByteArray &bytes);

private:
    QByteArray buffer_;
};

} // namespace tolvar
