#include "link/ReplyAssembler.h"

#include "link/ReplyParser.h"

namespace tolvar {

namespace {

QString kindName(char kind) {
    switch (kind) {
    case reply::kEthernet:
        return QStringLiteral("Ethernet reply");
    case reply::kGeneral:
        return QStringLiteral("general reply");
    default:
        return QStringLiteral("table reply");
    }
}

// The full length of a begun reply when its bytes so far tell it (a table reply's length is
// only known once it is complete).
std::optional<int> expectedLength(const QByteArray &bytes) {
    switch (bytes[reply::kKind]) {
    case reply::kEthernet:
        return reply::kEthernetLength;
    case reply::kGeneral:
        if (bytes.size() > reply::kContents)
            return reply::generalLength(static_cast<quint8>(bytes[reply::kContents]));
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// "an incomplete general reply (40 of 71 bytes)", or the bytes of a reply not yet recognised.
QString describePending(const QByteArray &bytes) {
    if (!startsWithReplyHeader(bytes))
        return QStringLiteral("%1 bytes of a reply not yet recognised").arg(bytes.size());
    const QString kind = kindName(bytes[reply::kKind]);
    if (const std::optional<int> total = expectedLength(bytes))
        return QStringLiteral("an incomplete %1 (%2 of %3 bytes)")
            .arg(kind)
            .arg(bytes.size())
            .arg(*total);
    return QStringLiteral("an incomplete %1 (%2 bytes)").arg(kind).arg(bytes.size());
}

} // namespace

// The link takes every complete reply (next answers monostate) before it appends, so bytes
// still held here are the start of one reply that has not finished.
std::optional<ReplyAssembler::Refusal> ReplyAssembler::append(QByteArrayView block) {
    std::optional<Refusal> refusal;
    if (!m_buffer.isEmpty() && startsWithReplyHeader(block)) {
        // A reply cut short is never finished with the bytes of the next one.
        refusal = Refusal{
            QStringLiteral("Dropped %1: a new reply began.").arg(describePending(m_buffer))};
        m_buffer.clear();
    }
    m_buffer.append(block);
    return refusal;
}

ReplyAssembler::Step ReplyAssembler::next(int deviceCount) {
    if (m_buffer.isEmpty())
        return std::monostate{};
    ParseOutcome parsed = parseReply(m_buffer, deviceCount);
    switch (parsed.status) {
    case ParseOutcome::Status::Incomplete:
        return std::monostate{};
    case ParseOutcome::Status::Invalid:
        // Nothing after a refused reply can be told apart from its rest.
        m_buffer.clear();
        return Refusal{parsed.problem};
    case ParseOutcome::Status::Complete:
        break;
    }
    m_buffer.remove(0, parsed.length);
    return std::move(parsed.reply);
}

std::optional<ReplyAssembler::Refusal> ReplyAssembler::dropPending() {
    if (m_buffer.isEmpty())
        return std::nullopt;
    Refusal refusal{
        QStringLiteral("Dropped %1: the rest did not arrive.").arg(describePending(m_buffer))};
    m_buffer.clear();
    return refusal;
}

} // namespace tolvar
