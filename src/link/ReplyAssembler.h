#pragma once

#include "link/Replies.h"
#include "link/ReplyReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <deque>
#include <optional>
#include <variant>

namespace tolvar {

// Cuts the bytes the gateway sends into whole replies. The bytes that arrive after one request
// and before the next form that request's answer window; within a window they are taken
// strictly in order, so what comes out depends only on the bytes and the window boundaries,
// never on how the bytes were split on the way.
class ReplyAssembler {
public:
    struct Refusal {
        QString reason; // for a user: what was dropped or refused and why
        bool operator==(const Refusal &) const = default;
    };
    using Step = std::variant<std::monostate, Reply, Refusal>;

    // Why an incomplete reply is given up.
    enum class DropCause { Deadline, PeerClosed };

    // Adds received bytes to the current window; `arrivedMs` is when they arrived, on any
    // steady clock.
    void append(QByteArrayView block, qint64 arrivedMs = 0);

    // A request went out: bytes appended from now on belong to its window. What the previous
    // window leaves incomplete is dropped once next() reaches it.
    void startWindow();

    // The next complete reply, or a refusal (a reply the model cannot hold, which also discards
    // the rest of its window, or an incomplete reply at the end of its window), or monostate
    // when nothing more can be taken now. A Modbus exception response is a reply of its own.
    // Bytes that cannot begin a reply are skipped silently.
    Step next(int deviceCount);

    // When the first byte of the incomplete reply (or of bytes that may still become one)
    // arrived; nothing when next() would not wait for more bytes.
    std::optional<qint64> pendingSince() const;

    // Gives up the incomplete reply and the rest of its window; answers the report, if the
    // bytes were recognised as a reply.
    std::optional<Refusal> dropPending(DropCause cause);

    // Forgets every byte and window (a new connection).
    void clear() { *this = ReplyAssembler{}; }

private:
    struct Arrival {
        qint64 end; // stream offset after the bytes that arrived at `ms`
        qint64 ms;
    };

    qint64 windowEnd() const;
    bool windowClosed() const { return !m_windowEnds.empty(); }
    QByteArrayView unread(qint64 end) const;
    Refusal describeDrop(const QString &cause) const;
    void discardWindow();
    void forgetTakenBytes();

    QByteArray m_bytes;
    qint64 m_bytesStart = 0; // stream offset of m_bytes[0]
    qint64 m_position = 0;   // stream offset of the first byte not yet taken
    std::deque<qint64> m_windowEnds;
    std::deque<Arrival> m_arrivals;
    std::optional<ReplyReader> m_reader; // the reply beginning at m_position, once recognised
    bool m_discarding = false;           // the rest of the current window is not looked at
};

} // namespace tolvar
