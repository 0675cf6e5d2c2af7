#include "TableFixtures.h"

#include "devices/GridFill.h"

#include <sstream>

namespace tolvar {
namespace {

// Each case is "choice byte before after renumbered(r/-)": types row 1 of device 1 while
// device 2, listed after it, holds `other`; afterwards both devices, the grid, the totals and
// the per-device counts are those of the numbered letters.
void runTypingCases(const EntryTable &table, const std::string &other,
                    std::initializer_list<const char *> cases) {
    for (const char *text : cases) {
        SCOPED_TRACE(testing::Message() << table.byteTag.toString().toStdString() << ": " << text);
        std::istringstream in(text);
        std::string choice, before, after, renumbered;
        int byte = 0;
        in >> choice >> byte >> before >> after >> renumbered;
        GatewayConfig config;
        listDevices(config, {1, 2});
        Numbering numbering;
        putRows(config, table, 1, {before}, numbering);
        config.counts(table.byteKind)[0] = qint16(numbering.byte - 1);
        config.counts(table.wordKind)[0] = qint16(numbering.word - 1);
        putRows(config, table, 2, {other}, numbering);
        config.total(table.byteKind) = qint16(numbering.byte - 1);
        config.total(table.wordKind) = qint16(numbering.word - 1);
        FakeGrid grid;
        fillGrid(config, table, 1, 1, grid);

        const GridCell target{1, table.firstByteColumn + byte};
        EXPECT_EQ(typeInto(config, table, {1, 2, &grid}, target, choice), renumbered == "r");
        Numbering fresh;
        expectRows(config, table, 1, {after}, fresh);
        EXPECT_EQ(config.counts(table.byteKind)[0], fresh.byte - 1);
        EXPECT_EQ(config.counts(table.wordKind)[0], fresh.word - 1);
        expectRows(config, table, 2, {other}, fresh);
        EXPECT_EQ(gridRow(grid, table, 1), tableRow(config, table, 1, 1));
        EXPECT_EQ(config.total(table.byteKind), fresh.byte - 1);
        EXPECT_EQ(config.total(table.wordKind), fresh.word - 1);
        EXPECT_EQ((config.*table.rows)[1], 1);
    }
}

TEST(DataTyping, PdoRuleTableOnBothPdoTables) {
    for (const PdoTable *table : {&kTxPdoTable, &kRxPdoTable}) {
        runTypingCases(*table, "BLH", {"Word 2 ........ ..LH.... r", "Word 2 ..BB.... ..LH.... r",
                                       "Word 2 ..BLH... ..LH.... r", "Word 3 ..LHLH.. ...LH... r",
                                       "Word 2 LHLH.B.. LHLH.B.. r", "Word 6 ......BB ......LH r",
                                       "Word 7 B....... B....... r", "Word 2 ..x..... ..x..... -",
                                       "Byte 0 ........ B....... r", "Byte 0 B.B..... B.B..... r",
                                       "Byte 0 LHB..... B.B..... r", "Byte 1 LHB..... .BB..... r",
                                       "Byte 7 ......LH .......B r", "Byte 0 x....... x....... -",
                                       "Null 0 ........ ........ -", "Null 0 B....... ........ r",
                                       "Null 0 LHB..... ..B..... r", "Null 1 LHB..... ..B..... r",
                                       "Null 0 x....... x....... -", "- 7 B....... B....... r",
                                       "- 0 x....... x....... -"});
    }
}

TEST(DataTyping, SdoRuleTableOnBothSdoTables) {
    for (const SdoTable *table : {&kReadSdoTable, &kWriteSdoTable}) {
        runTypingCases(*table, "LH",
                       {"Word 0 .. LH r", "Word 0 B. LH r", "Word 0 LH LH r", "Word 0 x. LH r",
                        "Byte 0 .. B. r", "Byte 0 B. B. r", "Byte 0 LH B. r", "Byte 0 x. x. -",
                        "Null 0 .. .. -", "Null 0 B. .. r", "Null 0 LH .. r", "Null 0 x. x. -",
                        "- 0 B. B. -", "Word 1 B. B. -"});
    }
}

// "choice row before after": any item but "Null" makes its row an entry; only deletion shrinks.
TEST(DataTyping, EntryCountGrowsToTheTypedRow) {
    for (const char *text :
         {"Byte 3 1 3", "Word 4 2 4", "Null 3 1 1", "- 3 1 3", "Byte 1 5 5", "Byte 0 5 5"}) {
        for (const EntryTable *table : kAllTables) {
            SCOPED_TRACE(text);
            std::istringstream in(text);
            std::string choice;
            int row = 0, before = 0, after = 0;
            in >> choice >> row >> before >> after;
            GatewayConfig config;
            (config.*table->rows)[1] = qint16(before);
            typeInto(config, *table, {1, 1}, {row, table->firstByteColumn}, choice);
            EXPECT_EQ((config.*table->rows)[1], after);
        }
    }
}

} // namespace
} // namespace tolvar
