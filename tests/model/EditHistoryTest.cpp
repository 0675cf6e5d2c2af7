#include "devices/DataTyping.h"
#include "devices/EntryDeletion.h"
#include "devices/Renumbering.h"
#include "model/EditHistory.h"
#include "network/DeviceList.h"

#include <gtest/gtest.h>

#include <functional>

namespace tolvar {
namespace {

// `devices` listed from position 0, each with `rows` TxPDO rows of a byte, a word and a byte,
// numbered as the renumbering numbers them.
GatewayConfig typedConfig(int devices, int rows) {
    GatewayConfig config;
    changeDeviceAmount(config, devices);
    for (int device = 1; device <= devices; ++device) {
        for (int row = 1; row <= rows; ++row) {
            for (int column : {4, 7})
                config.TxPDOTable.cell(device, row, column) = QStringLiteral("P_DI 0");
            config.TxPDOTable.cell(device, row, 5) = QStringLiteral("P_AIL 0");
            config.TxPDOTable.cell(device, row, 6) = QStringLiteral("P_AIH 0");
        }
        config.TxPDO_rows[std::size_t(device)] = qint16(rows);
    }
    const TagNumbers numbers = renumberPositions(config, kTxPdoTable, {1, devices});
    config.DI_total = qint16(numbers.bytes);
    config.AI_total = qint16(numbers.words);
    return config;
}

using Edit = std::function<void(GatewayConfig &)>;

// Each edit as one step: undone the whole model is as before, redone as after.
TEST(EditHistory, UndoGivesTheModelBeforeAndRedoTheModelAfter) {
    const std::pair<const char *, Edit> edits[] = {
        {"a byte typed before every tag",
         [](GatewayConfig &c) {
             c.CurrentDevice = 1;
             typePdoByte(c, kTxPdoTable, {1, 3}, {1, 8}, u"Byte");
         }},
        {"a word typed over a byte",
         [](GatewayConfig &c) { typePdoByte(c, kTxPdoTable, {2, 3}, {3, 7}, u"Word"); }},
        {"two rows deleted",
         [](GatewayConfig &c) { deleteEntries(c, kTxPdoTable, {1, 3}, {2, 3}); }},
        {"numbers written otherwise than the renumbering writes them",
         [](GatewayConfig &c) {
             c.TxPDOTable.cell(3, 1, 4) = QStringLiteral("P_DI 07");
             c.TxPDOTable.cell(3, 2, 4) = QStringLiteral("P_DI x");
             typePdoByte(c, kTxPdoTable, {1, 3}, {1, 8}, u"Byte");
         }},
        {"a new device amount", [](GatewayConfig &c) {
             changeDeviceAmount(c, 2);
             clearEntryCounts(c);
             c.GuardTime[1] = QStringLiteral("500");
         }}};
    for (const auto &[name, edit] : edits) {
        SCOPED_TRACE(name);
        GatewayConfig model = typedConfig(3, 4);
        EditHistory history(model);
        const GatewayConfig before = model;
        edit(model);
        const GatewayConfig after = model;
        history.commit(QStringLiteral("step"));
        ASSERT_TRUE(history.undo());
        EXPECT_TRUE(model == before);
        ASSERT_TRUE(history.redo());
        EXPECT_TRUE(model == after);
    }
}

// A renumbering moves every later tag; the step keeps the moves as runs, not cell by cell.
TEST(EditHistory, ATypedByteOnTheLargestTableStaysSmall) {
    GatewayConfig model = typedConfig(kMaxDevices, kMaxPdoRows);
    EditHistory history(model);
    model.CurrentDevice = 1;
    typePdoByte(model, kTxPdoTable, {1, kMaxDevices}, {1, 8}, u"Byte");
    history.commit(QStringLiteral("Byte in Byte4"));
    EXPECT_LT(history.bytes(), 16u * 1024u);
}

TEST(EditHistory, KeepsStepsInOrderWithLabelsAndTheCleanMark) {
    GatewayConfig model;
    EditHistory history(model);
    const auto edit = [&](qint16 total, const char *label, const char *key = "") {
        model.DO_total = total;
        history.commit(QLatin1String(label), QLatin1String(key));
    };
    history.commit(QStringLiteral("nothing changed"));
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo() || history.redo());
    edit(1, "COB-ID", "cell 1");
    edit(2, "COB-ID", "cell 1"); // the second keystroke of the same entry
    EXPECT_EQ(history.stepCount(), 1);
    edit(3, "Word in Byte2");
    EXPECT_EQ(history.undoText(), QStringLiteral("Undo Word in Byte2"));
    EXPECT_FALSE(history.isClean());
    history.markClean();
    history.undo();
    EXPECT_FALSE(history.isClean());
    EXPECT_EQ(history.redoText(), QStringLiteral("Redo Word in Byte2"));
    history.undo();
    EXPECT_EQ(model.DO_total, 0); // both keystrokes went at once
    EXPECT_EQ(history.undoText(), QStringLiteral("Undo"));
    edit(5, "COB-ID", "cell 1"); // a new step drops the steps undone and the clean mark
    EXPECT_FALSE(history.canRedo());
    model.TxPDOTable.cell(1, 1, 4) = QStringLiteral("P_DI 1");
    history.commit(QStringLiteral("Byte"), QStringLiteral("cell 2"));
    model.TxPDOTable.cell(1, 1, 4) = QStringLiteral("P_DI 2"); // a move is kept apart
    history.commit(QStringLiteral("Byte"), QStringLiteral("cell 2"));
    EXPECT_EQ(history.stepCount(), 3);
    EXPECT_EQ(history.redoText(), QStringLiteral("Redo"));
    history.markClean(); // three steps deep, as deep as the steps dropped below
    for (int step = 0; step < EditHistory::kMaxSteps; ++step)
        edit(qint16(10 + step), "step");
    EXPECT_EQ(history.stepCount(), EditHistory::kMaxSteps);
    EXPECT_FALSE(history.isClean());
    while (history.undo()) {
    }
    EXPECT_TRUE(history.isClean()); // the oldest steps are gone, the state they led to is not
    history.restart();
    EXPECT_TRUE(history.isClean());
    EXPECT_FALSE(history.canUndo());
}

} // namespace
} // namespace tolvar
