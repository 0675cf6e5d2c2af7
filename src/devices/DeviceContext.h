#pragma once

#include "devices/EntryTables.h"
#include "model/GatewayConfig.h"

#include <functional>

namespace tolvar {

// What every handler of the device settings window works with: the model, the device the
// network window chose last and the device amount it shows.
struct DeviceContext {
    GatewayConfig &config;
    std::function<int()> deviceNumber;
    std::function<int()> deviceAmount;

    // Every handler starts by taking the chosen device as the current one.
    int refreshCurrentDevice() {
        config.CurrentDevice = static_cast<qint16>(deviceNumber());
        return config.CurrentDevice;
    }
    EditScope scope(GridView *grid) {
        return {refreshCurrentDevice(), deviceAmount(), grid};
    }
};

} // namespace tolvar
