#pragma once

#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "model/GatewayConfig.h"

#include <QString>

#include <optional>

namespace tolvar {

// Stores the device records of a general reply: record k at list position k, device-number
// fields at DeviceOrder[k].
void storeDeviceRecords(GatewayConfig &config, const GeneralReply &reply);

// Stores the six serial-port bytes of a general reply.
void storeSerialSettings(GatewayConfig &config, const SerialSettings &serial);

// Why a table reply does not fit the device list (a position without a device), if it does not.
std::optional<QString> checkTableReply(const GatewayConfig &config, const TableReply &reply);

// Fills the four tables of every device from a checked table reply, tagging every mapped byte
// with the running item numbers, and sets row counts, node IDs and totals.
void applyTableReply(GatewayConfig &config, ReadBackCounters &counters, const TableReply &reply);

} // namespace tolvar
