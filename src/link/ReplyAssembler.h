#pragma once

#include "link/Replies.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <variant>

namespace tolvar {

// Collects the bytes the gateway sends and cuts them into whole replies. Nothing of a reply
// leaves here before all its bytes have arrived and it has been checked against the model.
class ReplyAssembler {
public:
    struct Refusal {
        QString reason; // for a user: what was dropped and why
        bool operator==(const Refusal &) const = default;
    };
    using Step = std::variant<std::monostate, Reply, Refusal>;

    // Adds a received block. A pending, incomplete reply is dropped (and reported) when the
    // block itself begins a reply.
    std::optional<Refusal> append(QByteArrayView block);

    // The next complete reply, or a refusal for bytes that are dropped, or monostate when
    // nothing more can be taken now. Call until it answers monostate.
    Step next(int deviceCount);

    // Drops an incomplete reply after the link has waited too long for the rest.
    std::optional<Refusal> dropPending();

    bool hasPending() const { return !m_buffer.isEmpty(); }

private:
    QByteArray m_buffer;
};

} // namespace tolvar
