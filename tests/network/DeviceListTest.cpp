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

GatewayConfig filledConfig() {
    GatewayConfig config;
    for (ItemKind kind : {ItemKind::DO, ItemKind::AI, ItemKind::SDO_DI, ItemKind::SDO_AO})
        config.total(kind) = 7;
    config.DeviceOrder = order({3, 1, 2, 5, 4});
    config.TxPDOTable.cell(1, 1, 1) = QStringLiteral("&H181");
    config.RxPDOTable.cell(10, 200, 11) = QStringLiteral("P_DO 9");
    config.ReadSDOTable.cell(2, 30, 3) = QStringLiteral("S_DI 1");
    config.WriteSDOTable.cell(5, 1, 4) = QStringLiteral("S_AOH 2");
    config.TxPDO_rows[1] = 4;
    config.WriteSDO_rows[5] = 1;
    config.DI_count[2] = 6;
    config.NodeID[0] = 17;
    config.ModuleID[3] = 17;
    config.GuardTime[3] = QStringLiteral("250");
    return config;
}

class DeviceAmount : public ::testing::TestWithParam<int> {};

TEST_P(DeviceAmount, ListsDevicesInOrderAndDiscardsTables) {
    const int n = GetParam();
    GatewayConfig config = filledConfig();
    changeDeviceAmount(config, n);

    GatewayConfig expected = filledConfig();
    expected.DO_total = expected.AI_total = expected.SDO_DI_total = expected.SDO_AO_total = 0;
    expected.TxPDOTable.clear();
    expected.RxPDOTable.clear();
    expected.ReadSDOTable.clear();
    expected.WriteSDOTable.clear();
    expected.DeviceOrder.fill(0);
    for (int position = 0; position < n; ++position)
        expected.DeviceOrder[static_cast<std::size_t>(position)] =
            static_cast<qint16>(position + 1);
    EXPECT_EQ(config, expected);
}

INSTANTIATE_TEST_SUITE_P(OneToTen, DeviceAmount, ::testing::Values(1, 2, 3, 5, 6, 10));

TEST(DeviceAmount, AmountsOutsideTheListAreClamped) {
    GatewayConfig config = filledConfig();
    changeDeviceAmount(config, 0);
    EXPECT_EQ(config.DeviceOrder, order({}));
    changeDeviceAmount(config, 15);
    EXPECT_EQ(config.DeviceOrder, order({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

struct LookupCase {
    const char *name;
    std::vector<qint16> before;
    int device;
    int amount;
    DeviceLookup expected;
    std::vector<qint16> after;
};

void PrintTo(const LookupCase &c, std::ostream *os) {
    *os << c.name;
}

class DeviceButtonLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(DeviceButtonLookup, FindsOrListsTheDevice) {
    const LookupCase &c = GetParam();
    GatewayConfig config;
    config.DeviceOrder = order(c.before);
    EXPECT_EQ(lookUpDevice(config, c.device, c.amount), c.expected);
    EXPECT_EQ(config.DeviceOrder, order(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceButtonLookup,
    ::testing::Values(
        LookupCase{"KnownInSecondSlot", {1, 2, 3}, 2, 3, {true, 1}, {1, 2, 3}},
        LookupCase{"NewTakesFirstEmptySlot", {1}, 2, 2, {false, 1}, {1, 2}},
        LookupCase{"EmptySlotBeforeTheDeviceWins", {1, 0, 3}, 3, 3, {false, 1}, {1, 3, 3}},
        // The search covers slot n itself, one past the device amount.
        LookupCase{"SlotAfterTheAmountIsSearched", {1, 2}, 7, 2, {false, 2}, {1, 2, 7}},
        LookupCase{"KnownInSlotAfterTheAmount", {1, 2, 9}, 9, 2, {true, 2}, {1, 2, 9}},
        LookupCase{"NoSlotLeftWritesNothing", {1, 2, 3}, 5, 2, {false, -1}, {1, 2, 3}},
        LookupCase{"FullListOfTen",
                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                   10,
                   10,
                   {true, 9},
                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        // Slot 10 is the last one the list has.
        LookupCase{"AmountBeyondTheListStopsAtSlotTen",
                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 9},
                   10,
                   40,
                   {false, 10},
                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 10}}),
    [](const auto &test) { return std::string(test.param.name); });

} // namespace
} // namespace tolvar
