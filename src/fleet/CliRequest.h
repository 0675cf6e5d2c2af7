#pragma once

#include "fleet/GatewayResult.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <variant>
#include <vector>

namespace tolvar {

enum class CliCommand { Read, Write, Apply, Verify, Diff, Check, Map };

inline constexpr int kDefaultJobs = 16;
inline constexpr int kMaxJobs = 256;

// What tolvar-cli is asked to do, checked: every gateway is named once and has its file.
struct CliRequest {
    CliCommand command = CliCommand::Read;
    // write, apply, verify: the FILE named, if one was; diff: both files; check, map: the file.
    QStringList files;
    // Every gateway with its file: the configuration to send or compare, or for read the file
    // to write. Command-line gateways first, then the hosts file's in its order.
    std::vector<GatewayTarget> targets;
    int jobs = kDefaultJobs;
    bool json = false;
    bool check = false;    // apply --check: never writes
    bool force = false;    // send despite faults of the checks
    bool verify = true;    // read back after a write; off with --no-verify
    bool ethernet = false; // send the Ethernet rows the file marks
    // read: -o as given; map: the CSV file, empty for stdout.
    QString output;
    // read with several gateways: `output` is a folder, created when missing, and each gateway
    // without a file of its own is read into "<host>_<port>.json" there.
    bool outputFolder = false;
    int connectTimeoutS = 1;
    quint8 unitId = 1;
};

// What to print instead: help (exit code 0) or a refusal that says what to do (2).
struct CliUsage {
    QString text;
    int exitCode = 2;
};

// Reads the arguments after the program name. Reads a hosts file named with --hosts; the
// configuration files are left to the caller. `version` is what --version shows after the name.
std::variant<CliRequest, CliUsage> parseCliArguments(const QStringList &arguments,
                                                     const QString &version);

// The gateway command of a subcommand that works on gateways.
std::optional<GatewayCommand> gatewayCommandOf(CliCommand command);

// The file name a gateway is read into within a folder: "<host>_<port>.json", characters a
// file name should not hold replaced by '-'.
QString readFileName(const GatewayTarget &target);

} // namespace tolvar
