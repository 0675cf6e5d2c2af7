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
    const struct {
        const char *name;
        std::vector<qint16> before;
        int device;
        int amount;
        DeviceLookup expected;
        std::vector<qint16> after;
    } cases[] = {{"empty slot before the device wins", {1, 0, 3}, 3, 3, {false, 1}, {1, 3, 3}},
                 {"slot after the amount is searched", {1, 2}, 7, 2, {false, 2}, {1, 2, 7}},
                 {"known in the slot after the amount", {1, 2, 9}, 9, 2, {true, 2}, {1, 2, 9}},
                 {"no slot left writes nothing", {1, 2, 3}, 5, 2, {false, -1}, {1, 2, 3}},
                 {"amount beyond the list stops at slot ten",
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 9},
                  10,
                  40,
                  {false, 10},
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 10}}};
    for (const auto &c : cases) {
        GatewayConfig config;
        config.DeviceOrder = order(c.before);
        EXPECT_EQ(lookUpDevice(config, c.device, c.amount), c.expected) << c.name;
        EXPECT_EQ(config.DeviceOrder, order(c.after)) << c.name;
    }
}

} // namespace
} // namespace tolvar
