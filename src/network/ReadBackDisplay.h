#pragma once

#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "model/GatewayConfig.h"

namespace tolvar {

class MappingModules;

// Shows the gateway's Ethernet address, mask and default gateway in the network window.
void showEthernetReply(MappingModules &window, const EthernetReply &reply);

// Shows a checked general reply: the device amount (which starts the device list afresh), the
// CAN and serial parameters, and stores the device records and serial codes in the model.
void showGeneralReply(MappingModules &window, GatewayConfig &config, ReadBackCounters &counters,
                      const GeneralReply &reply);

} // namespace tolvar
