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

TEST(Tags, NameBlankNumber) { EXPECT_EQ(makeTag(u"P_DI", 3), QStringLiteral("P_DI 3")); }

} // namespace
} // namespace tolvar
