#pragma once

#include "model/GatewayConfig.h"

namespace tolvar {

// A new device amount discards every table and lists devices 1..n at positions 0..n-1.
// Row counts, per-device counts, node IDs and guarding times are kept.
void changeDeviceAmount(GatewayConfig &config, int n);

// Where a device button found its device in the device list.
struct DeviceLookup {
    bool known = false; // the device was already listed
    int slot = -1;      // its list position; -1 when no slot took it
    bool operator==(const DeviceLookup &) const = default;
};

// Whether any device has entries in any of its four tables.
bool hasTableEntries(const GatewayConfig &config);

// Empty tables count no entries: every device's entry counts and every per-device item count
// go to 0, so nothing cleared is sent, counted or checked afterwards.
void clearEntryCounts(GatewayConfig &config);

// Searches the device list from position 0 up to position `amount` for `device`: an empty
// position on the way takes the device (new), a position holding it answers known.
DeviceLookup lookUpDevice(GatewayConfig &config, int device, int amount);

} // namespace tolvar
