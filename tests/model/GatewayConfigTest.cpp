#include "link/CommandFrame.h"
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

TEST(GatewayConfig, ReachesTotalsAndCountsByKind) {
    GatewayConfig config;
    config.total(ItemKind::SDO_AI) = 5;
    config.counts(ItemKind::AO)[3] = 2;
    EXPECT_EQ(config.SDO_AI_total, 5);
    EXPECT_EQ(config.AO_count[3], 2);
}

TEST(Tags, NameBlankNumber) { EXPECT_EQ(makeTag(u"P_DI", 3), QStringLiteral("P_DI 3")); }

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

TEST(CommandFrame, ReadFramesAreByteExact) {
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadParams, 1), hex("0102000000060110000000020423504400"));
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadGeneral, 1), hex("0102000000060110000000020423474400"));
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadTables, 1), hex("0102000000060110000000020423484400"));
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadTables, 7), hex("0102000000060710000000020423484400"));
}

TEST(CommandFrame, WriteFramesGiveTheirOwnLengthAndCounts) {
    const QByteArray ethernet = CommandFrame{1, 'I', 15, 30, 31}.encode();
    EXPECT_EQ(ethernet.size(), 31);
    EXPECT_EQ(ethernet.left(16), hex("01020000000601100000000f1e234944"));
    const QByteArray table = CommandFrame::withRegisters(3, 'S', 127).encode();
    EXPECT_EQ(table.size(), 267);
    EXPECT_EQ(table.left(16), hex("01020000000603100000007ffe235344"));
}

} // namespace
} // namespace tolvar
