#pragma once

#include "model/GatewayConfig.h"

#include <QStringList>

namespace tolvar::testing {

// What must hold of the configuration model whatever the user or the gateway did:
// - entry counts lie within their tables (0..200 PDO rows, 0..30 SDO rows) and totals are >= 0;
// - the device list holds each device number at most once (a device listed twice counts as not
//   listed, so its data bytes are reported);
// - every tag stands in a data column of a counted row (rows 1..entry count) of a listed
//   device, belongs to its table, and a word's low byte is followed by its high byte;
// - the tags of each kind are numbered 1..n without gaps in device-list order, then by row and
//   column, and the kind's total is n;
// - device 0, row 0 and column 0 of every table stay empty.
// Answers one line per broken rule (at most a few), empty when everything holds.
QStringList modelInvariantFaults(const GatewayConfig &config);

} // namespace tolvar::testing
