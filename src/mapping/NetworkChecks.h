#pragma once

#include "model/GatewayConfig.h"

#include <QString>

#include <vector>

namespace tolvar {

// A fault is something a CANopen network cannot run; information is worth knowing but may be
// meant that way.
enum class Severity { Fault, Information };

struct Finding {
    Severity severity = Severity::Fault;
    int device = 0;  // device number
    QString table;   // "TxPDO" or "RxPDO"; empty for the device itself
    int row = 0;     // entry row; 0 for the device itself
    QString message; // what is wrong and how to fix it
    bool operator==(const Finding &) const = default;
};

// Checks the listed devices (positions 0..deviceAmount-1) for what the bus cannot run: two
// devices with one node ID; two PDOs with one COB-ID (a TxPDO of one device equal to an RxPDO
// of another is a link: information); PDO COB-IDs the CANopen services keep for themselves; a
// PDO that maps bytes with a data length of 0. In list order, device by device.
std::vector<Finding> checkNetwork(const GatewayConfig &config, int deviceAmount);

bool hasFault(const std::vector<Finding> &findings);

// One line: "Fault: device 2, TxPDO row 3: ..."
QString findingText(const Finding &finding);

} // namespace tolvar
