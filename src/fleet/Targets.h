#pragma once

#include "fleet/GatewayResult.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace tolvar {

// No hosts file is larger; a thousand gateways take a few dozen kB.
inline constexpr qsizetype kMaxHostsFileBytes = 1024 * 1024;

// The value of a text of decimal digits only (no sign, no blanks) within lo..hi.
std::optional<int> decimalNumber(const QString &text, int lo, int hi);

// "HOST", "HOST:PORT" or "[IPv6]:PORT" (port 1..65535, default 502), or a one-line refusal that
// quotes the text and says what to write. An IPv6 host is kept without its brackets.
std::variant<GatewayTarget, QString> parseTarget(const QString &text);

// "HOST:PORT", an IPv6 host in brackets: how messages and result lines name a gateway.
QString targetText(const GatewayTarget &target);

// Two texts naming one gateway ("LOCALHOST" and "localhost", "[::1]" and "[0::1]") give one key.
QString targetKey(const GatewayTarget &target);

// One gateway a line: `HOST[:PORT] [FILE]`; `#` starts a comment, blank lines are skipped. A
// relative FILE is relative to the folder of `hostsPath`; a line without FILE takes
// `commandFile`, and is refused when that is empty and `fileRequired`. Refusals read
// "PATH, line N: what is wrong; what to write". A gateway listed twice is refused: two jobs on
// one gateway would fight. A file listing no gateway is refused too.
std::variant<std::vector<GatewayTarget>, QString> parseHostsFile(const QByteArray &text,
                                                                 const QString &hostsPath,
                                                                 const QString &commandFile,
                                                                 bool fileRequired = true);

// parseHostsFile of a regular file of at most kMaxHostsFileBytes.
std::variant<std::vector<GatewayTarget>, QString>
loadHostsFile(const QString &path, const QString &commandFile, bool fileRequired = true);

} // namespace tolvar
