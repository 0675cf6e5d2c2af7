#pragma once

#include "model/GatewayConfig.h"

namespace tolvar {

// The list positions a device amount covers, kept within the model.
int listedCount(int deviceAmount);

// The device at a list position with its four row counts, each within its table. A position
// without a device number 1..10 stands for a device with empty tables (number 0).
struct ListedDevice {
    int number = 0;
    int txPdoRows = 0;
    int rxPdoRows = 0;
    int readSdoRows = 0;
    int writeSdoRows = 0;
};

ListedDevice listedDevice(const GatewayConfig &config, int position);

} // namespace tolvar
