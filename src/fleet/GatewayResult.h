#pragma once

#include "files/ConfigDifferences.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tolvar {

// The gateway subcommands of the command line.
enum class GatewayCommand { Read, Write, Apply, Verify };

// One gateway to work on, and the configuration file that goes with it (the command's, or the
// one its line in a hosts file names).
struct GatewayTarget {
    QString host;
    quint16 port = 502;
    QString file;
    bool operator==(const GatewayTarget &) const = default;
};

// How one gateway's work ended.
enum class GatewayOutcome {
    Read,        // read: the configuration is in the file
    Written,     // write: sent (and verified, unless told not to)
    Changed,     // apply: the gateway held something else; sent and verified
    Unchanged,   // apply: the gateway already held the file's configuration; nothing sent
    WouldChange, // apply --check: the gateway holds something else; nothing sent
    Same,        // verify: the gateway holds the file's configuration
    Differs,     // verify, or the read-back after a write: the gateway holds something else
    Failed,      // connection, silence, a malformed reply, a refused check or write, a file
    Stopped,     // interrupted by the user
};

struct GatewayResult {
    GatewayTarget target;
    GatewayCommand command = GatewayCommand::Read;
    GatewayOutcome outcome = GatewayOutcome::Failed;
    int framesSent = 0;  // download frames the gateway took
    int framesTotal = 0; // download frames planned; 0 when nothing was to be sent
    double seconds = 0;
    // The reason of a failure, the first difference, or what was done, for a person.
    QString message;
    // Every difference found (verify, apply, the read-back after a write); "utility" values
    // are the file's.
    std::vector<ConfigDifference> differences;
};

} // namespace tolvar
