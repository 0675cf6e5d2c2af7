#include "TableFixtures.h"

#include "devices/DataTyping.h"
#include "devices/GridFill.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tolvar {
namespace {

struct TypingCase {
    const char *choice;
    int byte; // the typed data byte, 0 = Byte0
    std::string_view before;
    std::string_view after;
    bool renumbered;
};

qint16 letters(std::string_view row, char letter) {
    return qint16(std::count(row.begin(), row.end(), letter));
}

// Types row 1 of device 1 while device 2, listed after it, holds `other`: afterwards both
// rows, the grid, the totals and the per-device counts are those of the numbered letters.
template <typename Table>
void runTypingCases(const Table &table, bool (*type)(GatewayConfig &, const Table &,
                                                     const EditScope &, GridCell, QStringView),
                    std::string_view other, std::initializer_list<TypingCase> cases) {
    for (const TypingCase &c : cases) {
        SCOPED_TRACE(testing::Message() << table.byteTag.toString().toStdString() << " "
                                        << c.choice << " in byte " << c.byte << " of "
                                        << c.before);
        GatewayConfig config;
        listDevices(config, {1, 2});
        Numbering before;
        putRow(config, table, 1, 1, rowTexts(table, c.before, before));
        putRow(config, table, 2, 1, rowTexts(table, other, before));
        (config.*table.rows)[1] = (config.*table.rows)[2] = 1;
        config.total(table.byteKind) = qint16(before.byte - 1);
        config.total(table.wordKind) = qint16(before.word - 1);
        config.counts(table.byteKind)[0] = letters(c.before, 'B');
        config.counts(table.wordKind)[0] = letters(c.before, 'L');
        FakeGrid grid;
        fillGrid(config, table, 1, 1, grid);

        const GridCell target{1, table.firstByteColumn + c.byte};
        EXPECT_EQ(type(config, table, {1, 2, &grid}, target, QString::fromUtf8(c.choice)),
                  c.renumbered);
        Numbering after;
        EXPECT_EQ(tableRow(config, table, 1, 1), rowTexts(table, c.after, after));
        EXPECT_EQ(tableRow(config, table, 2, 1), rowTexts(table, other, after));
        EXPECT_EQ(gridRow(grid, table, 1), tableRow(config, table, 1, 1));
        EXPECT_EQ(config.total(table.byteKind), after.byte - 1);
        EXPECT_EQ(config.total(table.wordKind), after.word - 1);
        EXPECT_EQ(config.counts(table.byteKind)[0], letters(c.after, 'B'));
        EXPECT_EQ(config.counts(table.wordKind)[0], letters(c.after, 'L'));
        EXPECT_EQ((config.*table.rows)[1], 1);
    }
}

TEST(DataTyping, PdoRuleTableOnBothPdoTables) {
    for (const PdoTable *table : {&kTxPdoTable, &kRxPdoTable}) {
        runTypingCases(*table, typePdoByte, "BLH.....",
                       {{"Word", 2, "........", "..LH....", true},
                        {"Word", 2, "..BB....", "..LH....", true},
                        {"Word", 2, "..BLH...", "..LH....", true},
                        {"Word", 3, "..LHLH..", "...LH...", true},
                        {"Word", 2, "LHLH.B..", "LHLH.B..", true},
                        {"Word", 6, "......BB", "......LH", true},
                        {"Word", 7, "B.......", "B.......", true},
                        {"Word", 2, "..x.....", "..x.....", false},
                        {"Byte", 0, "........", "B.......", true},
                        {"Byte", 0, "B.B.....", "B.B.....", true},
                        {"Byte", 0, "LHB.....", "B.B.....", true},
                        {"Byte", 1, "LHB.....", ".BB.....", true},
                        {"Byte", 7, "......LH", ".......B", true},
                        {"Byte", 0, "x.......", "x.......", false},
                        {"Null", 0, "........", "........", false},
                        {"Null", 0, "B.B.....", "..B.....", true},
                        {"Null", 0, "LHB.....", "..B.....", true},
                        {"Null", 1, "LHB.....", "..B.....", true},
                        {"Null", 0, "x.......", "x.......", false},
                        {"", 7, "B.......", "B.......", true},
                        {"", 0, "x.......", "x.......", false}});
    }
}

TEST(DataTyping, SdoRuleTableOnBothSdoTables) {
    for (const SdoTable *table : {&kReadSdoTable, &kWriteSdoTable}) {
        runTypingCases(*table, typeSdoRow, "LH",
                       {{"Word", 0, "..", "LH", true},
                        {"Word", 0, "B.", "LH", true},
                        {"Word", 0, "LH", "LH", true},
                        {"Word", 0, "x.", "LH", true},
                        {"Byte", 0, "..", "B.", true},
                        {"Byte", 0, "B.", "B.", true},
                        {"Byte", 0, "LH", "B.", true},
                        {"Byte", 0, "x.", "x.", false},
                        {"Null", 0, "..", "..", false},
                        {"Null", 0, "B.", "..", true},
                        {"Null", 0, "LH", "..", true},
                        {"Null", 0, "x.", "x.", false},
                        {"", 0, "B.", "B.", false},
                        {"Word", 1, "B.", "B.", false}});
    }
}

// Every typed item but "Null" makes its row an entry; only deletion shrinks the count.
TEST(DataTyping, EntryCountGrowsToTheTypedRow) {
    const struct {
        const char *choice;
        int row;
        qint16 before;
        qint16 after;
    } cases[] = {{"Byte", 3, 1, 3}, {"Word", 4, 2, 4}, {"Null", 3, 1, 1},
                 {"", 3, 1, 3},     {"Byte", 1, 5, 5}, {"Byte", 0, 5, 5}};
    const EntryTable *tables[] = {&kTxPdoTable, &kRxPdoTable, &kReadSdoTable, &kWriteSdoTable};
    for (const auto &c : cases) {
        for (const EntryTable *table : tables) {
            SCOPED_TRACE(testing::Message() << c.choice << " in row " << c.row);
            GatewayConfig config;
            listDevices(config, {1});
            (config.*table->rows)[1] = c.before;
            const GridCell target{c.row, table->firstByteColumn};
            if (table->lastColumn == kLastPdoByteColumn)
                typePdoByte(config, static_cast<const PdoTable &>(*table), {1, 1}, target,
                            QString::fromUtf8(c.choice));
            else
                typeSdoRow(config, static_cast<const SdoTable &>(*table), {1, 1}, target,
                           QString::fromUtf8(c.choice));
            EXPECT_EQ((config.*table->rows)[1], c.after);
        }
    }
}

} // namespace
} // namespace tolvar
