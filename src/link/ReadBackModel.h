#pragma once

#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "model/GatewayConfig.h"

#include <QString>

#include <optional>

namespace tolvar {

// Why the model cannot hold the record of device `device` (list position + 1), if it cannot:
// a count above what a 16-bit total holds, or more rows than a table has.
std::optional<QString> deviceRecordProblem(const DeviceRecord &record, int device);

// Stores the device records of a general reply: record k at list position k, device-number
// fields at DeviceOrder[k]. A record the model cannot hold is not stored.
void storeDeviceRecords(GatewayConfig &config, const GeneralReply &reply);

// Stores the six serial-port bytes of a general reply.
void storeSerialSettings(GatewayConfig &config, const SerialSettings &serial);

// Why a table reply does not fit the device list (a position without a device), if it does not.
std::optional<QString> checkTableReply(const GatewayConfig &config, const TableReply &reply);

// Fills the four tables of every device from a checked table reply, tagging every mapped byte
// with item numbers from 1 (the running counters and totals start afresh with each table
// reply), and sets row counts, node IDs and totals.
void applyTableReply(GatewayConfig &config, ReadBackCounters &counters, const TableReply &reply);

} // namespace tolvar
