#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace tolvar::fuzz {

// A broken promise: libFuzzer keeps the input that led here as a crash artifact.
[[noreturn]] inline void fail(const char *what, const QString &details = {}) {
    std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, qPrintable(details));
    std::fflush(stderr);
    std::abort();
}

inline void check(bool holds, const char *what, const QString &details = {}) {
    if (!holds)
        fail(what, details);
}

inline QByteArray bytesOf(const unsigned char *data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace tolvar::fuzz
