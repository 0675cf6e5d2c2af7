#pragma once

#include <QString>

namespace tolvar {

// What a command without a gateway prints (UTF-8) and its exit status.
struct CommandOutput {
    QString out;
    QString err;
    int exitCode = 0;
    bool operator==(const CommandOutput &) const = default;
};

// Every field in which `second` differs from `first`, one line each ("first X, second Y"), and a
// last line naming both files with the count. Exit 0 the same, 1 they differ, 2 a file error.
CommandOutput diffFiles(const QString &first, const QString &second);

// Every finding of the checks before a download, one line each, then a summary line. Exit 0 no
// fault (information only), 1 a fault (also what a download would refuse), 2 a file error.
CommandOutput checkFile(const QString &path);

// The Modbus map of the file as CSV, as "Export Modbus Map..." writes it: to `output`
// atomically, or on stdout when `output` is empty. Exit 0, or 2 when a file cannot be read or
// written.
CommandOutput mapFile(const QString &path, const QString &output);

} // namespace tolvar
