#include "mapping/ListedDevices.h"

#include <algorithm>

namespace tolvar {
namespace {

int rowsOf(const PerDevice<qint16> &rows, int device, int limit) {
    return std::clamp<int>(rows[std::size_t(device)], 0, limit);
}

} // namespace

int listedCount(int deviceAmount) {
    return std::clamp(deviceAmount, 0, kMaxDevices);
}

ListedDevice listedDevice(const GatewayConfig &config, int position) {
    const int device = config.DeviceOrder[std::size_t(position)];
    if (!isDeviceNumber(device))
        return {};
    return {device, rowsOf(config.TxPDO_rows, device, kMaxPdoRows),
            rowsOf(config.RxPDO_rows, device, kMaxPdoRows),
            rowsOf(config.ReadSDO_rows, device, kMaxSdoRows),
            rowsOf(config.WriteSDO_rows, device, kMaxSdoRows)};
}

} // namespace tolvar
