#include "devices/DataTyping.h"
#include "devices/EntryDeletion.h"
#include "devices/EntryTexts.h"
#include "devices/GridFill.h"
#include "devices/Renumbering.h"
#include "network/DeviceList.h"

#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tolvar {
namespace {

// A grid that keeps what it is shown.
struct FakeGrid : GridView {
    QString cellText(int row, int column) const override { return cells.value({row, column}); }
    void setCellText(int row, int column, const QString &text) override {
        cells[{row, column}] = text;
    }
    QMap<std::pair<int, int>, QString> cells;
};

// One row's cells from column 1 to the last, joined by '|'.
template <typename Cell> QString joined(const EntryTable &table, Cell cell) {
    QStringList texts;
    for (int column = 1; column <= table.lastColumn; ++column)
        texts << cell(column);
    return texts.join(u'|');
}
QString tableRow(const GatewayConfig &config, const EntryTable &table, int device, int row) {
    return joined(table, [&](int c) { return (config.*table.cells).cell(device, row, c); });
}
QString gridRow(const GridView &grid, const EntryTable &table, int row) {
    return joined(table, [&](int c) { return grid.cellText(row, c); });
}

// Rows of data bytes, one letter a byte from the first data column: '.' empty, 'B' digital
// byte, 'L'/'H' low/high byte of a word, 'x' a text that is no tag. The entry fields hold "f".
// Tags are numbered on from the running positions, as the renumbering numbers them.
using Letters = std::vector<std::string>;
struct Numbering {
    int byte = 1;
    int word = 1;
    QString text(const EntryTable &table, int column, const std::string &letters) {
        const auto i = std::size_t(column - table.firstByteColumn);
        const char letter = column < table.firstByteColumn ? 'f'
                            : i < letters.size()           ? letters[i]
                                                           : '.';
        const auto tag = [](QStringView name, int n) { return QString("%1 %2").arg(name).arg(n); };
        if (letter == 'f' || letter == 'x')
            return letter == 'f' ? QStringLiteral("f") : QStringLiteral("P_D");
        if (letter == 'B')
            return tag(table.byteTag, byte++);
        if (letter == 'L')
            return tag(table.lowTag, word);
        return letter == 'H' ? tag(table.highTag, word++) : QString();
    }
    QString row(const EntryTable &table, const std::string &letters) {
        return joined(table, [&](int c) { return text(table, c, letters); });
    }
};

// Writes the rows of a device and makes them its entries.
void putRows(GatewayConfig &config, const EntryTable &table, int device, const Letters &rows,
             Numbering &numbering) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int column = 1; column <= table.lastColumn; ++column)
            (config.*table.cells).cell(device, int(r + 1), column) =
                numbering.text(table, column, rows[r]);
    }
    (config.*table.rows)[std::size_t(device)] = qint16(rows.size());
}
void expectRows(const GatewayConfig &config, const EntryTable &table, int device,
                const Letters &rows, Numbering &numbering) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(tableRow(config, table, device, int(r + 1)), numbering.row(table, rows[r]));
}
void listDevices(GatewayConfig &config, std::initializer_list<qint16> order) {
    std::copy(order.begin(), order.end(), config.DeviceOrder.begin());
}

const EntryTable *const kAllTables[] = {&kTxPdoTable, &kRxPdoTable, &kReadSdoTable,
                                        &kWriteSdoTable};
bool isPdo(const EntryTable &table) {
    return table.lastColumn == kLastPdoByteColumn;
}

// The typing of the table's family; "-" stands for the chooser's empty item.
bool typeInto(GatewayConfig &config, const EntryTable &table, const EditScope &scope,
              GridCell target, const std::string &choice) {
    const QString item = choice == "-" ? QString() : QString::fromStdString(choice);
    if (isPdo(table))
        return typePdoByte(config, static_cast<const PdoTable &>(table), scope, target, item);
    return typeSdoRow(config, static_cast<const SdoTable &>(table), scope, target, item);
}

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
        runTypingCases(*table, "BLH",
                       {"Word 2 ........ ..LH.... r", "Word 2 ..BLH... ..LH.... r",
                        "Word 3 ..LHLH.. ...LH... r", "Word 6 ......BB ......LH r",
                        "Word 7 B....... B....... r", "Word 2 ..x..... ..x..... -",
                        "Byte 0 ........ B....... r", "Byte 0 LHB..... B.B..... r",
                        "Byte 1 LHB..... .BB..... r", "Byte 7 ......LH .......B r",
                        "Null 1 LHB..... ..B..... r", "- 7 B....... B....... r"});
    }
}

TEST(DataTyping, SdoRuleTableOnBothSdoTables) {
    for (const SdoTable *table : {&kReadSdoTable, &kWriteSdoTable}) {
        runTypingCases(*table, "LH",
                       {"Word 0 .. LH r", "Word 0 x. LH r", "Byte 0 .. B. r", "Byte 0 LH B. r",
                        "Byte 0 x. x. -", "Null 0 LH .. r", "- 0 B. B. -", "Word 1 B. B. -"});
    }
}

// Device 1: byte, word, byte; device 2: one word. All four tables are renumbered together;
// each numbers its own tags from 1 over the listed devices in list order, counts them at the
// list position and redraws the rows of the edited device 2 into its grid.
TEST(Renumbering, EachTableNumbersItsTagsInListOrder) {
    const Letters pdo[] = {{}, {"BLHB"}, {"LH"}}, sdo[] = {{}, {"B.", "LH", "B."}, {"LH"}};
    const struct {
        std::initializer_list<qint16> order;
        int amount;
    } cases[] = {{{1, 2}, 2}, {{1, 2}, 1}, {{0, 2, 1}, 3}};
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
            SCOPED_TRACE(testing::Message() << t << " amount " << c.amount);
            Numbering fresh;
            for (std::size_t k = 0; k < std::size_t(c.amount); ++k) {
                const int device = config.DeviceOrder[k];
                const Numbering first = fresh;
                expectRows(config, table, device, (isPdo(table) ? pdo : sdo)[device], fresh);
                EXPECT_EQ(config.counts(table.byteKind)[k], fresh.byte - first.byte);
                EXPECT_EQ(config.counts(table.wordKind)[k], fresh.word - first.word);
            }
            EXPECT_EQ(gridRow(grids[t], table, 1), c.amount == 1 ? gridRow(FakeGrid(), table, 1)
                                                                 : tableRow(config, table, 2, 1));
        }
    }
}

// Device 1 holds entries "r1".."r5" of one digital byte each, device 2 one word; the totals
// start wrong. Every case runs on every table.
TEST(EntryDeletion, DeletesTheSelectedEntriesOfEveryTable) {
    // Selected rows, the entries kept, the selection left.
    const std::tuple<RowSelection, std::vector<int>, RowSelection> cases[] = {
        {{2, 3}, {1, 4, 5}, {4, 4}},       {{4, 9}, {1, 2, 3}, {4, 5}},
        {{6, 6}, {1, 2, 3, 4, 5}, {6, 6}}, {{1, 5}, {}, {1, 5}},
        {{3, 2}, {1, 4, 5}, {4, 4}},       {{0, 2}, {1, 2, 3, 4, 5}, {0, 2}}};
    for (const auto &[selected, keptEntries, selectionLeft] : cases) {
        for (const EntryTable *table : kAllTables) {
            SCOPED_TRACE(testing::Message() << selected.first << ".." << selected.last);
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

            const RowSelection left = deleteEntries(config, *table, {1, 2, &grid}, selected);
            EXPECT_EQ(left, selectionLeft);
            if (selected.first > 5) {
                EXPECT_TRUE(config == before);
                continue;
            }
            const qint16 kept = qint16(keptEntries.size());
            for (int row = 1; row <= 5; ++row) {
                const bool stays = row <= kept;
                EXPECT_EQ(cells.cell(1, row, 1),
                          stays ? QString("r%1").arg(keptEntries[std::size_t(row - 1)])
                                : QString());
                EXPECT_EQ(cells.cell(1, row, table->firstByteColumn),
                          stays ? QString("%1 %2").arg(table->byteTag).arg(row) : QString());
                EXPECT_EQ(gridRow(grid, *table, row), tableRow(config, *table, 1, row));
            }
            EXPECT_EQ((config.*table->rows)[1], kept);
            EXPECT_EQ(config.counts(table->byteKind)[0], kept);
            EXPECT_EQ(config.total(table->byteKind), kept);
            EXPECT_EQ(config.total(table->wordKind), 1);
        }
    }
}

TEST(EntryTexts, EditorsKeepValidTextsAndFallBack) {
    // Column 0 stands for the COB-ID editor.
    const std::tuple<int, const char *, EntryTexts> cases[] = {{0, "181", {"181", "&H181", true}},
                                                               {0, "1g", {"", "1g", false}},
                                                               {1, "6x", {"", "&H", true}},
                                                               {2, "1", {"1", "&H01", true}}};
    for (const auto &[column, typed, left] : cases) {
        SCOPED_TRACE(testing::Message() << "column " << column << " typed " << typed);
        const QString text = QString::fromUtf8(typed);
        EXPECT_EQ(column == 0 ? cobIdEntry(text) : sdoFieldEntry(column, text), left);
    }
    EXPECT_EQ(QStringList({rtrCellText(u"1"), rtrCellText(u"Null"), choiceCellText(u"No"),
                           choiceCellText(u"8"), choiceCellText(u"Null")}),
              QStringList({"1", "", "No", "8", ""}));
    // Node ID (N) and guarding time (G): typed text > shown text; the model holds what is shown.
    for (const char *typed : {"N0>1", "N128>1", "N127>127", "N12a>1", "G65536>1000", "G65535>65535",
                              "G0>0", "G1.5>1000"}) {
        GatewayConfig config;
        const QStringList c = QString::fromUtf8(typed + 1).split(u'>');
        if (typed[0] == 'N') {
            EXPECT_EQ(enterNodeId(config, 3, c[0]), c[1]) << typed;
            EXPECT_TRUE(config.NodeID[2] == c[1].toInt() && config.ModuleID[3] == c[1].toInt());
        } else {
            EXPECT_EQ(enterGuardTime(config, 3, c[0]), c[1]) << typed;
            EXPECT_EQ(config.GuardTime[3], c[1]);
        }
    }
}

// The ends of the search, and a new device; a known one is pressed in the window tests.
TEST(DeviceButtonLookup, SearchEndsOnePastTheAmountAndAtTheListEnd) {
    // Listed before, device and amount, the answer, listed after.
    const std::tuple<PerDevice<qint16>, int, int, DeviceLookup, PerDevice<qint16>> cases[] = {
        {{1, 0, 3}, 3, 3, {false, 1}, {1, 3, 3}}, // an empty slot before the device wins
        {{1, 2}, 7, 2, {false, 2}, {1, 2, 7}},    // the slot after the amount is searched
        {{1, 2, 9}, 9, 2, {true, 2}, {1, 2, 9}},
        {{1, 2}, 3, 3, {false, 2}, {1, 2, 3}},
        {{1, 2, 3}, 5, 2, {false, -1}, {1, 2, 3}}, // no slot left: nothing is written
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}, 10, 40, {false, 10}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 10}}};
    for (const auto &[before, device, amount, expected, after] : cases) {
        SCOPED_TRACE(device);
        GatewayConfig config;
        config.DeviceOrder = before;
        EXPECT_EQ(lookUpDevice(config, device, amount), expected);
        EXPECT_EQ(config.DeviceOrder, after);
    }
}

} // namespace
} // namespace tolvar
