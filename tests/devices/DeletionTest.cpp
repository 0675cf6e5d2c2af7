#include "TableFixtures.h"

#include "devices/EntryDeletion.h"
#include "devices/GridFill.h"

namespace tolvar {
namespace {

// Device 1 holds entries "r1".."r5" of one digital byte each, device 2 one word; the totals
// start wrong. Every case runs on every table, and a second Delete must change nothing.
TEST(EntryDeletion, DeletesTheSelectedEntriesOfEveryTable) {
    const struct {
        RowSelection selected;
        std::vector<int> kept;
        RowSelection left;
    } cases[] = {{{2, 3}, {1, 4, 5}, {4, 4}},       {{4, 9}, {1, 2, 3}, {4, 5}},
                 {{6, 6}, {1, 2, 3, 4, 5}, {6, 6}}, {{1, 5}, {}, {1, 5}},
                 {{3, 2}, {1, 4, 5}, {4, 4}},       {{0, 2}, {1, 2, 3, 4, 5}, {0, 2}}};
    for (const auto &c : cases) {
        for (const EntryTable *table : kAllTables) {
            SCOPED_TRACE(testing::Message() << table->byteTag.toString().toStdString() << " rows "
                                            << c.selected.first << ".." << c.selected.last);
            GatewayConfig config;
            listDevices(config, {1, 2});
            Numbering numbering{9, 9};
            putRows(config, *table, 1, {"B", "B", "B", "B", "B"}, numbering);
            putRows(config, *table, 2, {"LH"}, numbering);
            CellTable &cells = config.*table->cells;
            for (int row = 1; row <= 5; ++row)
                cells.cell(1, row, 1) = QString("r%1").arg(row);
            config.total(table->byteKind) = config.total(table->wordKind) = 40;
            FakeGrid grid;
            fillGrid(config, *table, 1, 5, grid);
            const GatewayConfig before = config;

            const RowSelection left = deleteEntries(config, *table, {1, 2, &grid}, c.selected);
            EXPECT_EQ(left, c.left);
            if (c.selected.first > 5) {
                EXPECT_TRUE(config == before);
                continue;
            }
            const qint16 kept = qint16(c.kept.size());
            for (int row = 1; row <= 5; ++row) {
                const bool stays = row <= kept;
                EXPECT_EQ(cells.cell(1, row, 1),
                          stays ? QString("r%1").arg(c.kept[std::size_t(row - 1)]) : QString());
                EXPECT_EQ(cells.cell(1, row, table->firstByteColumn),
                          stays ? QString("%1 %2").arg(table->byteTag).arg(row) : QString());
                EXPECT_EQ(gridRow(grid, *table, row), tableRow(config, *table, 1, row));
            }
            EXPECT_EQ((config.*table->rows)[1], kept);
            EXPECT_EQ(config.counts(table->byteKind)[0], kept);
            EXPECT_EQ(config.total(table->byteKind), kept);
            EXPECT_EQ(config.total(table->wordKind), 1);
            const GatewayConfig once = config;
            deleteEntries(config, *table, {1, 2, &grid}, left);
            EXPECT_TRUE(config == once) << "a second Delete changed the model";
        }
    }
}

} // namespace
} // namespace tolvar
