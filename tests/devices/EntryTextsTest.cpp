#include "TableFixtures.h"

#include "devices/EntryTexts.h"
#include "devices/GridFill.h"

namespace tolvar {
namespace {

TEST(EntryTexts, CobIdAndSdoFieldEditors) {
    // Column 0 stands for the COB-ID editor.
    const std::tuple<int, const char *, EntryTexts> cases[] = {
        {0, "181", {"181", "&H181", true}}, {0, "1g", {"", "1g", false}},
        {0, "", {"", "&H", true}},          {1, "60a0", {"60A0", "&H60A0", true}},
        {1, "6x", {"", "&H", true}},        {2, "1", {"1", "&H01", true}},
        {2, "123", {"", "&H0", true}},      {2, "", {"", "&H0", true}}};
    for (const auto &[column, typed, left] : cases) {
        SCOPED_TRACE(testing::Message() << "column " << column << " typed " << typed);
        const QString text = QString::fromUtf8(typed);
        EXPECT_EQ(column == 0 ? cobIdEntry(text) : sdoFieldEntry(column, text), left);
    }
    EXPECT_EQ(QStringList({rtrCellText(u"1"), rtrCellText(u"Null"), choiceCellText(u"No"),
                           choiceCellText(u"8"), choiceCellText(u"Null")}),
              QStringList({"1", "", "No", "8", ""}));
}

// Typed text -> shown text; the model holds what is shown.
TEST(EntryTexts, NodeIdAndGuardingTimeFallBackToTheirDefaults) {
    for (const char *typed : {"0>1", "128>1", "127>127", ">1", "12a>1"}) {
        GatewayConfig config;
        const QStringList c = QString::fromUtf8(typed).split(u'>');
        EXPECT_EQ(enterNodeId(config, 3, c[0]), c[1]) << typed;
        EXPECT_TRUE(config.NodeID[2] == c[1].toInt() && config.ModuleID[3] == c[1].toInt());
    }
    for (const char *typed : {"65536>1000", "65535>65535", "0>0", "1.5>1000"}) {
        GatewayConfig config;
        const QStringList c = QString::fromUtf8(typed).split(u'>');
        EXPECT_EQ(enterGuardTime(config, 3, c[0]), c[1]) << typed;
        EXPECT_EQ(config.GuardTime[3], c[1]);
    }
}

// Nothing is ever written for a device, row or column outside the table.
TEST(EntryTexts, NothingLandsOutsideTheTables) {
    GatewayConfig config;
    for (const auto &[table, device, cell] : {std::tuple(&config.TxPDOTable, 1, GridCell{0, 1}),
                                              {&config.TxPDOTable, 1, {201, 1}},
                                              {&config.TxPDOTable, 1, {1, 0}},
                                              {&config.TxPDOTable, 1, {1, 12}},
                                              {&config.TxPDOTable, 0, {1, 1}},
                                              {&config.TxPDOTable, 11, {1, 1}}})
        EXPECT_FALSE(storeCell(*table, device, cell, u"x"_qs));
    enterNodeId(config, 11, u"5");
    enterGuardTime(config, 0, u"5");
    EXPECT_FALSE(typePdoByte(config, kTxPdoTable, {11, 1}, {1, 4}, u"Byte") ||
                 typePdoByte(config, kTxPdoTable, {1, 1}, {201, 4}, u"Byte") ||
                 typePdoByte(config, kRxPdoTable, {1, 1}, {1, 3}, u"Byte") ||
                 typeSdoRow(config, kWriteSdoTable, {1, 1}, {31, 3}, u"Byte"));
    EXPECT_TRUE(config == GatewayConfig());
    FakeGrid grid;
    fillGrid(config, kTxPdoTable, 11, 5, grid);
    EXPECT_TRUE(grid.cells.empty());
    EXPECT_TRUE(storeCell(config.WriteSDOTable, 10, {30, 4}, u"x"_qs));
    EXPECT_EQ(config.WriteSDOTable.cell(10, 30, 4), u"x"_qs);
}

} // namespace
} // namespace tolvar
