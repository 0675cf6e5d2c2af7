#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tolvar {

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a failed
// write never leaves half a file. On failure the message, starting with the path.
std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace tolvar
