#pragma once

#include "link/Replies.h"

#include <QByteArray>

namespace tolvar {

// The bytes the gateway sends for a reply: MBAP header, signature, kind, one spare byte and
// the contents; for an exception, the 9 bytes of a Modbus exception response. The inverse of
// parseReply; the gateway simulator answers with it.
QByteArray encodeReply(const Reply &reply);

} // namespace tolvar
