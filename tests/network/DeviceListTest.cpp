#include "network/DeviceList.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvar {
namespace {

PerDevice<qint16> order(const std::vector<qint16> &listed) {
    PerDevice<qint16> result{};
    std::copy(listed.begin(), listed.end(), result.begin());
    return result;
}

// The ends of the search; the plain known and new devices are pressed in the window tests.
TEST(DeviceButtonLookup, SearchEndsOnePastTheAmountAndAtTheListEnd) {
    // Listed before, device and amount, the answer, listed after.
    const std::tuple<std::vector<qint16>, int, int, DeviceLookup, std::vector<qint16>> cases[] = {
        {{1, 0, 3}, 3, 3, {false, 1}, {1, 3, 3}}, // an empty slot before the device wins
        {{1, 2}, 7, 2, {false, 2}, {1, 2, 7}},    // the slot after the amount is searched
        {{1, 2, 9}, 9, 2, {true, 2}, {1, 2, 9}},
        {{1, 2, 3}, 5, 2, {false, -1}, {1, 2, 3}}, // no slot left: nothing is written
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}, 10, 40, {false, 10}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 10}}};
    for (const auto &[before, device, amount, expected, after] : cases) {
        SCOPED_TRACE(device);
        GatewayConfig config;
        config.DeviceOrder = order(before);
        EXPECT_EQ(lookUpDevice(config, device, amount), expected);
        EXPECT_EQ(config.DeviceOrder, order(after));
    }
}

} // namespace
} // namespace tolvar
