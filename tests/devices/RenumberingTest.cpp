#include "TableFixtures.h"

#include "devices/Renumbering.h"

namespace tolvar {
namespace {

// Device 1: byte, word, byte; device 2: one word. All four tables are renumbered together;
// each numbers its own tags from 1 over the listed devices in list order, counts them at the
// list position and redraws the rows of the edited device 2 into its grid.
TEST(Renumbering, EachTableNumbersItsTagsInListOrder) {
    const Letters pdo[] = {{}, {"BLHB"}, {"LH"}}, sdo[] = {{}, {"B.", "LH", "B."}, {"LH"}};
    const struct {
        std::initializer_list<qint16> order;
        int amount;
    } cases[] = {{{1, 2}, 2}, {{2, 1}, 2}, {{1, 2}, 1}, {{0, 2, 1}, 3}};
    for (const auto &c : cases) {
        GatewayConfig config;
        listDevices(config, c.order);
        Numbering stale{50, 70};
        for (const EntryTable *table : kAllTables) {
            for (int device : {1, 2})
                putRows(config, *table, device, (isPdo(*table) ? pdo : sdo)[device], stale);
        }
        FakeGrid grids[4];
        for (int t = 0; t < 4; ++t)
            renumberPositions(config, *kAllTables[t], {2, c.amount, &grids[t]});
        for (int t = 0; t < 4; ++t) {
            const EntryTable &table = *kAllTables[t];
            SCOPED_TRACE(testing::Message() << table.byteTag.toString().toStdString() << " slot 0 "
                                            << c.order.begin()[0] << " amount " << c.amount);
            Numbering fresh;
            for (std::size_t k = 0; k < std::size_t(c.amount); ++k) {
                const int device = config.DeviceOrder[k];
                const Letters &rows = (isPdo(table) ? pdo : sdo)[device];
                const Numbering first = fresh;
                expectRows(config, table, device, rows, fresh);
                EXPECT_EQ(config.counts(table.byteKind)[k], fresh.byte - first.byte);
                EXPECT_EQ(config.counts(table.wordKind)[k], fresh.word - first.word);
            }
            EXPECT_EQ(gridRow(grids[t], table, 1), c.amount == 1 ? gridRow(FakeGrid(), table, 1)
                                                                 : tableRow(config, table, 2, 1));
        }
        EXPECT_EQ(config.DI_total, 0);
        if (c.amount == 2 && c.order.begin()[0] == 1) {
            EXPECT_EQ(tableRow(config, kTxPdoTable, 1, 1) + tableRow(config, kTxPdoTable, 2, 1),
                      "f|f|f|P_DI 1|P_AIL 1|P_AIH 1|P_DI 2||||f|f|f|P_AIL 2|P_AIH 2||||||");
        }
    }
}

} // namespace
} // namespace tolvar
