#include "model/GatewayConfig.h"
#include "model/Tags.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(GatewayConfig, StartsEmptyAndComparesByValue) {
    GatewayConfig a;
    GatewayConfig b;
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.TxPDOTable.rowCount(), kMaxPdoRows);
    EXPECT_EQ(a.ReadSDOTable.columnCount(), kSdoColumns);
    EXPECT_TRUE(a.TxPDOTable.cell(kMaxDevices, kMaxPdoRows, kPdoColumns - 1).isEmpty());

    b.WriteSDOTable.cell(10, 30, 4) = QStringLiteral("S_AOH 1");
    EXPECT_NE(a, b);
    b.WriteSDOTable.clear();
    EXPECT_EQ(a, b);
}

// Outside its limits a table reads empty and keeps nothing, in every build.
TEST(GatewayConfig, CellsOutsideTheTableReadEmptyAndKeepNothing) {
    GatewayConfig config;
    const GatewayConfig before;
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
    EXPECT_EQ(config, before);
    EXPECT_TRUE(config.ReadSDOTable.contains(kMaxDevices, kMaxSdoRows, kSdoColumns - 1));
    EXPECT_TRUE(config.ReadSDOTable.contains(0, 0, 0));
}

TEST(Tags, NameBlankNumber) { EXPECT_EQ(makeTag(u"P_DI", 3), QStringLiteral("P_DI 3")); }

} // namespace
} // namespace tolvar
