#include "link/ReplyAssembler.h"

namespace tolvar {

void ReplyAssembler::append(QByteArrayView block, qint64 arrivedMs) {
    if (block.isEmpty())
        return;
    forgetTakenBytes();
    m_bytes.append(block);
    const qint64 end = m_bytesStart + m_bytes.size();
    if (!m_arrivals.empty() && m_arrivals.back().ms == arrivedMs)
        m_arrivals.back().end = end;
    else
        m_arrivals.push_back({end, arrivedMs});
}

void ReplyAssembler::startWindow() {
    const qint64 end = m_bytesStart + m_bytes.size();
    if (m_windowEnds.empty() || m_windowEnds.back() != end)
        m_windowEnds.push_back(end);
}

qint64 ReplyAssembler::windowEnd() const {
    return windowClosed() ? m_windowEnds.front() : m_bytesStart + m_bytes.size();
}

QByteArrayView ReplyAssembler::unread(qint64 end) const {
    return QByteArrayView(m_bytes).sliced(m_position - m_bytesStart, end - m_position);
}

ReplyAssembler::Step ReplyAssembler::next(int deviceCount) {
    for (;;) {
        const qint64 end = windowEnd();
        if (m_discarding)
            m_position = end;
        if (m_position == end) {
            if (!windowClosed())
                return std::monostate{};
            m_windowEnds.pop_front();
            m_discarding = false;
            continue;
        }
        const QByteArrayView bytes = unread(end);
        if (!m_reader) {
            const Envelope exception = exceptionEnvelopeOf(bytes);
            if (exception == Envelope::Known) {
                m_position += reply::kExceptionLength;
                return Reply{exceptionOf(bytes)};
            }
            Envelope envelope = envelopeOf(bytes);
            if (envelope == Envelope::Foreign)
                envelope = exception;
            switch (envelope) {
            case Envelope::Foreign:
                ++m_position;
                continue;
            case Envelope::Partial:
                if (!windowClosed())
                    return std::monostate{};
                m_position = end; // never recognised as a reply: nothing to report
                continue;
            case Envelope::Known:
                m_reader.emplace(bytes[reply::kKind], deviceCount);
                break;
            }
        }
        switch (m_reader->read(bytes)) {
        case ReplyReader::Status::NeedMore: {
            if (!windowClosed())
                return std::monostate{};
            Refusal dropped =
                describeDrop(QStringLiteral("the next request went out before the rest arrived"));
            m_reader.reset();
            m_position = end;
            return dropped;
        }
        case ReplyReader::Status::Refused: {
            Refusal refused{m_reader->problem()};
            discardWindow();
            return refused;
        }
        case ReplyReader::Status::Complete:
            break;
        }
        m_position += m_reader->length();
        Reply reply = m_reader->takeReply();
        m_reader.reset();
        return reply;
    }
}

std::optional<qint64> ReplyAssembler::pendingSince() const {
    if (windowClosed() || m_discarding || m_position == windowEnd())
        return std::nullopt;
    for (const Arrival &arrival : m_arrivals) {
        if (arrival.end > m_position)
            return arrival.ms;
    }
    return std::nullopt;
}

std::optional<ReplyAssembler::Refusal> ReplyAssembler::dropPending(DropCause cause) {
    if (!pendingSince())
        return std::nullopt;
    std::optional<Refusal> dropped;
    if (m_reader)
        dropped = describeDrop(cause == DropCause::Deadline
                                   ? QStringLiteral("the rest did not arrive in time")
                                   : QStringLiteral("the gateway closed the connection"));
    discardWindow();
    return dropped;
}

// "Dropped an incomplete general reply (40 of 71 bytes): the rest did not arrive in time."
ReplyAssembler::Refusal ReplyAssembler::describeDrop(const QString &cause) const {
    const qint64 received = windowEnd() - m_position;
    const QString size =
        m_reader->expectedLength()
            ? QStringLiteral("%1 of %2 bytes").arg(received).arg(*m_reader->expectedLength())
            : QStringLiteral("%1 bytes").arg(received);
    return Refusal{QStringLiteral("Dropped an incomplete %1 (%2): %3.")
                       .arg(m_reader->kindName(), size, cause)};
}

void ReplyAssembler::discardWindow() {
    m_reader.reset();
    m_discarding = true;
}

// Bytes before the current position are never looked at again; they go once they are at
// least half the buffer, so each byte is moved a bounded number of times.
void ReplyAssembler::forgetTakenBytes() {
    while (!m_arrivals.empty() && m_arrivals.front().end <= m_position)
        m_arrivals.pop_front();
    const qint64 taken = m_position - m_bytesStart;
    if (taken == 0 || taken < m_bytes.size() / 2)
        return;
    m_bytes.remove(0, taken);
    m_bytesStart = m_position;
}

} // namespace tolvar
