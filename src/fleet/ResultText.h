#pragma once

#include "fleet/GatewayResult.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tolvar {

// "read", "written", "changed", "unchanged", "would-change", "same", "differs", "failed",
// "stopped".
QString outcomeName(GatewayOutcome outcome);

// "read", "write", "apply", "verify".
QString commandName(GatewayCommand command);

// One line for people: "HOST:PORT  RESULT  SENT/TOTAL frames  SECONDS s  MESSAGE".
QString resultLine(const GatewayResult &result);

// The differences, one indented line each, the file as the second side.
QStringList differenceLines(const GatewayResult &result);

// One compact JSON object on one line, without the line break: host, port, command, file,
// result, frames, framesTotal, seconds, message and differences (device, table, row, field,
// gateway, file, text).
QString resultJson(const GatewayResult &result);

// 0 when every gateway ended read, written, changed, unchanged, would-change or same (also when
// there is none); 1 when one differs, failed or was stopped.
int exitStatus(const std::vector<GatewayResult> &results);

// "12/50 gateways done, 340 frames sent".
QString progressLine(int done, int total, int framesSent);

} // namespace tolvar
