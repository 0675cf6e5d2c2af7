// Undo and redo driven through the windows' named controls, with the whole model, the network
// window's values and the device window's grids compared; and unsaved work that is never
// dropped without asking. Nothing here connects anywhere.
#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "link/InitialScreen.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include "support/ConnectByClicks.h"
#include "support/DialogAnswerer.h"

#include <QAction>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

const QString kExamples = QStringLiteral(TOLVAR_EXAMPLES_DIR "/");

// What a user can see of the configuration, and what the model holds.
struct Shown {
    GatewayConfig config;
    ControlValues network;
    QStringList grids;
    bool operator==(const Shown &) const = default;
};

// Where two states differ first, for the failure message.
std::string firstDifference(const Shown &a, const Shown &b) {
    if (!(a.config == b.config))
        return "the model";
    for (std::size_t i = 0; i < std::min(a.network.size(), b.network.size()); ++i) {
        if (a.network[i] != b.network[i])
            return (a.network[i].first + u'=' + a.network[i].second + u'/' + b.network[i].second)
                .toStdString();
    }
    for (qsizetype i = 0; i < std::min(a.grids.size(), b.grids.size()); ++i) {
        if (a.grids[i] != b.grids[i])
            return QStringLiteral("grid text %1: %2/%3").arg(i).arg(a.grids[i], b.grids[i])
                .toStdString();
    }
    return a == b ? "" : "sizes";
}

class EditSteps : public ::testing::Test {
protected:
    void SetUp() override {
        app.show();
        ASSERT_TRUE(app.openConfiguration(kExamples + "multi.json"));
        control<QPushButton>(network, QStringLiteral("CommButt1"))->click();
    }

    // The model, the network window's values and the device window's visible table and boxes.
    Shown shown() {
        QStringList grids;
        if (const auto *grid = window.SSTab->currentWidget()->findChild<QTableWidget *>()) {
            for (int row = 1; row < grid->rowCount(); ++row) {
                for (int column = 1; column < grid->columnCount(); ++column) {
                    const QTableWidgetItem *item = grid->item(row, column);
                    grids << (item ? item->text() : QString());
                }
            }
        }
        grids << window.ModuleIDText->text() << window.GardingTimeText->text();
        for (const QPushButton *button : network.findChildren<QPushButton *>()) {
            if (button->objectName().startsWith(u"CommButt") && button->isVisibleTo(&network))
                grids << button->objectName(); // the picture follows the device amount
        }
        return {app.config(), network.controlValues(), grids};
    }
    void click(QTableWidget *grid, int row, int column) {
        const QModelIndex cell = grid->model()->index(row, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    }
    void pick(QTableWidget *grid, int row, int column, const char *list, const char *item) {
        click(grid, row, column);
        choose(*control<QComboBox>(window, QLatin1String(list)), QLatin1String(item));
    }
    void type(QTableWidget *grid, int row, int column, const char *box, const char *text) {
        click(grid, row, column);
        QTest::keyClicks(control<QLineEdit>(window, QLatin1String(box)), QLatin1String(text));
    }

    UtilityApp app{0};
    MappingModules &network = app.network();
    CANopenDeviceSetting &window = app.deviceSettings();
    DialogAnswerer answerer;
    QTemporaryDir dir;
};

// Each kind of step: undo gives back everything as before, redo everything as after, and the
// Edit menu names the step.
TEST_F(EditSteps, UndoShowsTheStateBeforeAndRedoTheStateAfter) {
    answerer.reply = QMessageBox::Yes;
    enum Tab { TxPdo, RxPdo, ReadSdo, WriteSdo };
    const std::tuple<const char *, Tab, std::function<void()>> steps[] = {
        {"Word in Byte1", TxPdo, [&] { pick(window.MSFlexGrid, 1, 5, "TypeCombo", "Word"); }},
        {"Byte in Byte0", TxPdo, [&] { pick(window.MSFlexGrid, 4, 4, "TypeCombo", "Byte"); }},
        {"COB-ID", TxPdo, [&] { type(window.MSFlexGrid, 1, 1, "gridText", "1g81"); }},
        {"RTR", TxPdo, [&] { pick(window.MSFlexGrid, 1, 2, "RTRCombo", "1"); }},
        {"DLen", TxPdo, [&] { pick(window.MSFlexGrid, 1, 3, "DLenCombo", "Null"); }},
        {"Cycle", RxPdo, [&] { pick(window.RxPDOMSFlexGrid, 1, 1, "CycleCombo", "Null"); }},
        {"Index", ReadSdo, [&] { type(window.ReadSDOMSFlexGrid, 1, 1, "ReadSDOText", "2000"); }},
        {"subIndex", WriteSdo,
         [&] { type(window.WriteSDOMSFlexGrid, 1, 2, "WriteSDOText", "3"); }},
        {"Word in Byte0", ReadSdo,
         [&] { pick(window.ReadSDOMSFlexGrid, 1, 3, "ReadSDOCombo", "Word"); }},
        {"Delete 1 row", TxPdo,
         [&] {
             click(window.MSFlexGrid, 1, 4);
             window.DeleteCommand->click();
         }},
        {"Node ID", TxPdo, [&] { QTest::keyClicks(window.ModuleIDText, QStringLiteral("9")); }},
        {"Guarding Time", TxPdo,
         [&] { QTest::keyClicks(window.GardingTimeText, QStringLiteral("5")); }},
        {"Parity", TxPdo, [&] { choose(*network.ParityCombo, QStringLiteral("Odd")); }},
        {"Device Amount 3", TxPdo,
         [&] { choose(*network.DevicesNumCombo, QStringLiteral("3")); }},
        {"Open small.json", TxPdo,
         [&] { app.openConfiguration(kExamples + "small.json"); }}};
    for (const auto &[label, tab, step] : steps) {
        SCOPED_TRACE(label);
        if (!window.isOpen())
            control<QPushButton>(network, QStringLiteral("CommButt1"))->click();
        window.SSTab->setCurrentIndex(tab);
        const Shown before = shown();
        step();
        const Shown after = shown();
        ASSERT_FALSE(after == before);
        QAction *undo = app.main().edit.undo;
        EXPECT_EQ(undo->text(), QStringLiteral("Undo %1").arg(QLatin1String(label)));
        undo->trigger();
        EXPECT_EQ(firstDifference(shown(), before), "");
        app.main().edit.redo->trigger();
        EXPECT_EQ(firstDifference(shown(), after), "");
    }
}

// The device window's own menu takes the same steps, by its keys too; a tab not shown at the
// undo shows it once chosen.
TEST_F(EditSteps, TheDeviceWindowUndoesByItsKeys) {
    const Shown before = shown();
    pick(window.MSFlexGrid, 4, 6, "TypeCombo", "Byte"); // a row past the entries
    EXPECT_EQ(window.edit.undo->text(), QStringLiteral("Undo Byte in Byte2"));
    window.SSTab->setCurrentIndex(2);
    window.edit.undo->trigger();
    window.SSTab->setCurrentIndex(0);
    EXPECT_EQ(firstDifference(shown(), before), "");
    EXPECT_EQ(window.edit.redo->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                   QKeySequence(Qt::CTRL | Qt::Key_Y)}));
}

// A device amount the user picks asks first when tables hold entries, and No changes nothing
// (what Yes leaves is in the network window's and the round trip's tests).
TEST_F(EditSteps, ADeviceAmountAsksAndNoChangesNothing) {
    const Shown before = shown();
    answerer.reply = QMessageBox::No;
    choose(*network.DevicesNumCombo, QStringLiteral("5"));
    EXPECT_EQ(answerer.names.value(0), QStringLiteral("DeviceAmountBox"));
    EXPECT_EQ(answerer.text(), QStringLiteral("Changing the device amount clears the tables of "
                                              "every device. Continue?"));
    EXPECT_EQ(firstDifference(shown(), before), "");
}

// The title names the file and marks changes; closing with changes asks and Cancel keeps the
// window, Discard closes it; a file saved is unmodified again; an undone open names the file
// before.
TEST_F(EditSteps, TheTitleMarksChangesAndClosingWithChangesAsks) {
    InitialScreen &main = app.main();
    EXPECT_EQ(main.windowTitle().toStdString(), "Tolvar  Utility (ver 1.0.3) \u2014 multi.json");
    choose(*network.ParityCombo, QStringLiteral("Odd"));
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("multi.json *")));
    answerer.reply = QMessageBox::Cancel;
    main.close();
    connectByClicks(app); // a read-back would replace the changes: asked, and cancelled
    EXPECT_EQ(answerer.names,
              QStringList({QStringLiteral("UnsavedChangesBox"), QStringLiteral("UnsavedChangesBox")}));
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(app.link().isConnected());
    app.connectSet()->close();
    ASSERT_TRUE(app.saveConfigurationAs(dir.filePath(QStringLiteral("saved.json"))));
    EXPECT_EQ(main.windowTitle().toStdString(), "Tolvar  Utility (ver 1.0.3) \u2014 saved.json");
    ASSERT_TRUE(app.openConfiguration(kExamples + "small.json"));
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("\u2014 small.json")));
    main.edit.undo->trigger(); // the file before, and changes again
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("\u2014 saved.json *")));
    answerer.reply = QMessageBox::Discard;
    main.close();
    EXPECT_EQ(answerer.names.size(), 3);
    EXPECT_FALSE(main.isVisible());
}

} // namespace
} // namespace tolvar
