#include "network/DeviceList.h"

#include <algorithm>

namespace tolvar {
namespace {

constexpr ItemKind kAllKinds[] = {ItemKind::DO,     ItemKind::DI,     ItemKind::AI,
                                  ItemKind::AO,     ItemKind::SDO_DO, ItemKind::SDO_DI,
                                  ItemKind::SDO_AI, ItemKind::SDO_AO};

void clearDeviceList(GatewayConfig &config) {
    for (ItemKind kind : kAllKinds)
        config.total(kind) = 0;
    config.DeviceOrder.fill(0);
    config.TxPDOTable.clear();
    config.RxPDOTable.clear();
    config.ReadSDOTable.clear();
    config.WriteSDOTable.clear();
}

} // namespace

void changeDeviceAmount(GatewayConfig &config, int n) {
    clearDeviceList(config);
    const int listed = std::clamp(n, 0, kMaxDevices);
    for (int position = 0; position < listed; ++position)
        config.DeviceOrder[static_cast<std::size_t>(position)] = static_cast<qint16>(position + 1);
}

bool hasTableEntries(const GatewayConfig &config) {
    const auto any = [](const PerDevice<qint16> &rows) {
        return std::any_of(rows.begin(), rows.end(), [](qint16 count) { return count != 0; });
    };
    return any(config.TxPDO_rows) || any(config.RxPDO_rows) || any(config.ReadSDO_rows) ||
           any(config.WriteSDO_rows);
}

void clearEntryCounts(GatewayConfig &config) {
    for (PerDevice<qint16> *rows : {&config.TxPDO_rows, &config.RxPDO_rows, &config.ReadSDO_rows,
                                    &config.WriteSDO_rows})
        rows->fill(0);
    for (ItemKind kind : kAllKinds)
        config.counts(kind).fill(0);
}

DeviceLookup lookUpDevice(GatewayConfig &config, int device, int amount) {
    const int lastSlot = std::min(amount, static_cast<int>(config.DeviceOrder.size()) - 1);
    for (int slot = 0; slot <= lastSlot; ++slot) {
        qint16 &listed = config.DeviceOrder[static_cast<std::size_t>(slot)];
        if (listed == 0) {
            listed = static_cast<qint16>(device);
            return {false, slot};
        }
        if (listed == device)
            return {true, slot};
    }
    return {};
}

} // namespace tolvar
