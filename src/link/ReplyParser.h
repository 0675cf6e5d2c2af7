#pragma once

#include "link/Replies.h"

#include <QByteArrayView>
#include <QString>

namespace tolvar {

// What the bytes at the start of a buffer amount to.
struct ParseOutcome {
    enum class Status {
        Incomplete, // a reply has begun; more bytes are needed to know or finish it
        Invalid,    // not a reply, or a reply the model cannot hold; `problem` says why
        Complete,   // `reply` holds the first `length` bytes
    };
    Status status = Status::Incomplete;
    int length = 0;
    Reply reply;
    QString problem; // for a user: what was refused and why
};

// Parses the reply at the start of `bytes` in one go. `deviceCount` is the number of device
// blocks a table reply holds (the device amount shown at the time).
ParseOutcome parseReply(QByteArrayView bytes, int deviceCount);

// Whether the block begins with the reply signature and one of the three kinds.
bool startsWithReplyHeader(QByteArrayView bytes);

} // namespace tolvar
