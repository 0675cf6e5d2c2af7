#pragma once

#include "link/CommandFrame.h"
#include "link/Replies.h"

#include <QString>

#include <array>

namespace tolvar {

// The read requests sent and not yet answered. Only a reply to one of them may change the
// configuration: anything else the gateway sends (a reply nobody asked for, an answer to a
// write) is left aside.
class ExpectedReplies {
public:
    // A read request went out: one reply of its kind is now awaited.
    void expect(ReadCommand command);
    // Answers whether the reply was awaited, and takes it off the list when it was.
    bool take(const Reply &reply);
    // Nothing is awaited any more (a new connection, a download).
    void clear() { m_awaited = {}; }

    // The replies awaited since the last clear() that never came, named for a user ("the table
    // reply", "the general and table replies"); empty when every one came.
    QString missing() const;

private:
    std::array<int, 3> m_awaited{}; // Ethernet, general, table
};

} // namespace tolvar
