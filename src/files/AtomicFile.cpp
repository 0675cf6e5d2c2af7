#include "files/AtomicFile.h"

#include <QSaveFile>

namespace tolvar {

std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: cannot write: %2").arg(path, file.errorString());
    return std::nullopt;
}

} // namespace tolvar
