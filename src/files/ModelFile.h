#pragma once

#include "files/ReadBackCopy.h"
#include "gateway/StoredConfiguration.h"
#include "model/GatewayConfig.h"

#include <QString>

#include <variant>

namespace tolvar {

// The configuration file of what the utility holds: the model and the network window's texts
// (all three Ethernet rows whatever their check boxes, the SYNC values as shown). The tables
// are what a download would send. A configuration a file cannot hold is refused with a message
// naming the device, table and row, or the field, and how to fix it.
std::variant<StoredConfiguration, QString> configurationOf(const GatewayConfig &model,
                                                           const NetworkTexts &network);

// What a read-back of a configuration leaves in a model and the network window: its three
// replies taken in order.
ReadBackCopy readBackOf(const StoredConfiguration &config);
// The same of the three replies a gateway gave.
ReadBackCopy readBackOf(const EthernetReply &ethernet, const GeneralReply &general,
                        const TableReply &tables);

} // namespace tolvar
