#include "model/GatewayConfig.h"
#include "model/Tags.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// Compared by value; outside its limits a table reads empty and keeps nothing, in every build.
TEST(GatewayConfig, ComparesByValueAndKeepsNothingOutsideATable) {
    GatewayConfig config;
    config.WriteSDOTable.cell(10, 30, 4) = QStringLiteral("S_AOH 1");
    EXPECT_NE(config, GatewayConfig());
    config.WriteSDOTable.clear();
    const std::array<std::array<int, 3>, 6> outside{{{-1, 1, 1},
                                                     {kMaxDevices + 1, 1, 1},
                                                     {1, -1, 1},
                                                     {1, kMaxSdoRows + 1, 1},
                                                     {1, 1, -1},
                                                     {1, 1, kSdoColumns}}};
    for (const auto &[device, row, column] : outside) {
        SCOPED_TRACE(testing::Message() << device << ", " << row << ", " << column);
        EXPECT_FALSE(config.ReadSDOTable.contains(device, row, column));
        config.ReadSDOTable.cell(device, row, column) = QStringLiteral("S_DI 1");
        EXPECT_TRUE(config.ReadSDOTable.cell(device, row, column).isEmpty());
        EXPECT_TRUE(std::as_const(config).ReadSDOTable.cell(device, row, column).isEmpty());
    }
    EXPECT_EQ(config, GatewayConfig());
    EXPECT_TRUE(config.ReadSDOTable.contains(kMaxDevices, kMaxSdoRows, kSdoColumns - 1));
    EXPECT_TRUE(config.ReadSDOTable.contains(0, 0, 0));
    EXPECT_TRUE(config.TxPDOTable.contains(kMaxDevices, kMaxPdoRows, kPdoColumns - 1));
    EXPECT_EQ(makeTag(u"P_DI", 3), QStringLiteral("P_DI 3"));
}

} // namespace
} // namespace tolvar
