#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

// The device settings window as the program opens it from the network window's buttons.
// Nothing here connects anywhere.
class DeviceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        network.show();
        choose(*network.DevicesNumCombo, QStringLiteral("2"));
        open(1);
    }

    void open(int device) {
        control<QPushButton>(network, QStringLiteral("CommButt%1").arg(device))->click();
    }
    // A user's click on a cell: the grid scrolls it into view first.
    static void click(QTableWidget *grid, int row, int column) {
        const QModelIndex cell = grid->model()->index(row, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    }
    // Types into the named line editor, or picks from the named list, over the clicked cell.
    void enter(QTableWidget *grid, int row, int column, const char *editor, const char *text) {
        click(grid, row, column);
        if (auto *list = window.findChild<QComboBox *>(QLatin1String(editor)))
            return choose(*list, QLatin1String(text));
        QTest::keyClicks(control<QLineEdit>(window, QLatin1String(editor)), QLatin1String(text));
    }
    // A grid row's cells from column 1 on, '|'-separated.
    static std::string rowOf(const QTableWidget *grid, int row) {
        QStringList cells;
        for (int column = 1; column < grid->columnCount(); ++column) {
            const QTableWidgetItem *item = grid->item(row, column);
            cells << (item ? item->text() : QString());
        }
        return cells.join(u'|').toStdString();
    }
    // Whether an editor floats over a grid, even one of a tab that is not the current one.
    bool editorShown() const {
        const QRegularExpression editors(
            QStringLiteral("^(grid|RTR|DLen|Type|Cycle|Rx.*|.*SDO)(Text|Combo)$"));
        const QList<QWidget *> found = window.findChildren<QWidget *>(editors);
        return std::any_of(found.begin(), found.end(),
                           [](auto *editor) { return !editor->isHidden(); });
    }

    UtilityApp app{0};
    GatewayConfig &config = app.config();
    MappingModules &network = app.network();
    CANopenDeviceSetting &window = app.deviceSettings();
};

TEST_F(DeviceWindow, OpensWithItsControlsAndHidesTheNetworkWindow) {
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(network.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("CANopenDeviceSetting"));
    EXPECT_EQ(testing::shownTexts(window, {"DeviceNumberLabel", "NumberLabel", "ModuleIDLabel1",
                                           "GardingTimeLabel", "DeleteCommand", "ExitCommand"}),
              "Device Number  1 CANopen Slave ID Guarding Time(ms) Delete Exit");
    // Per tab: its caption, the grid's last row and header, and the grid's colour.
    const std::tuple<QTableWidget *, int, const char *, QColor> grids[] = {
        {window.MSFlexGrid, 200,
         "TxPDO Setting (Hex):COB-ID|RTR|DLen|Byte0|Byte1|Byte2|Byte3|Byte4|Byte5|Byte6|Byte7",
         QColor(255, 255, 128)},
        {window.RxPDOMSFlexGrid, 200,
         "RxPDO Setting (Hex):Cycle|COB-ID|DLen|Byte0|Byte1|Byte2|Byte3|Byte4|Byte5|Byte6|Byte7",
         QColor(192, 255, 255)},
        {window.ReadSDOMSFlexGrid, 30, "Read SDO Setting (Hex):Index|subIndex|Byte0|Byte1",
         QColor(255, 224, 192)},
        {window.WriteSDOMSFlexGrid, 30, "Write SDO Setting (Hex):Index|subIndex|Byte0|Byte1",
         QColor(128, 128, 255)}};
    for (int tab = 0; tab < 4; ++tab) {
        const auto &[grid, last, header, background] = grids[tab];
        EXPECT_EQ(window.SSTab->tabText(tab).toStdString() + ':' + rowOf(grid, 0), header);
        EXPECT_EQ(grid->item(grid->rowCount() - 1, 0)->text(), QStringLiteral(" %1").arg(last));
        EXPECT_EQ(grid->palette().color(QPalette::Base), background);
    }
    EXPECT_FALSE(editorShown());
}

// A listed device shows what the model holds; a node ID is checked and kept.
TEST_F(DeviceWindow, DeviceButtonsOpenWhatTheModelHolds) {
    window.ExitCommand->click();
    choose(*network.DevicesNumCombo, QStringLiteral("3"));
    config.NodeID[1] = 42;
    config.GuardTime[2] = QStringLiteral("500");
    config.TxPDO_rows[2] = 2;
    config.TxPDOTable.cell(2, 1, 5) = QStringLiteral("P_AIH 1");
    config.TxPDOTable.cell(2, 2, 11) = QStringLiteral("P_DI 3");
    config.TxPDOTable.cell(2, 3, 1) = QStringLiteral("&H382"); // beyond the row count
    open(2);
    EXPECT_EQ(testing::shownTexts(window, {"ModuleIDText", "GardingTimeText"}), "42 500");
    const QTableWidget *grid = window.MSFlexGrid;
    EXPECT_EQ(rowOf(grid, 1) + '/' + rowOf(grid, 2) + '/' + rowOf(grid, 3),
              "||||P_AIH 1||||||/||||||||||P_DI 3/||||||||||");
    window.ModuleIDText->setText(QStringLiteral("128")); // falls back, as the entry rules say
    EXPECT_EQ(window.ModuleIDText->text(), QStringLiteral("1"));
    EXPECT_EQ(config.NodeID[1], 1);
}

// Row 1 typed through each tab's editors (Read SDO has the same as Write SDO); the typing rules
// are the logic's cases.
TEST_F(DeviceWindow, EachTabIsEditedThroughItsEditors) {
    using Edits = std::vector<std::tuple<int, const char *, const char *>>;
    const std::tuple<int, QTableWidget *, Edits, std::string> tabs[] = {
        {0,
         window.MSFlexGrid,
         {{1, "gridText", "181"},
          {2, "RTRCombo", "1"},
          {3, "DLenCombo", "3"},
          {4, "TypeCombo", "Word"},
          {6, "TypeCombo", "Byte"}},
         "&H181|1|3|P_AIL 1|P_AIH 1|P_DI 1|||||"},
        {1,
         window.RxPDOMSFlexGrid,
         {{1, "CycleCombo", "No"},
          {2, "RxCOBIDText", "201"},
          {3, "RxDLenCombo", "2"},
          {4, "RxTypeCombo", "Byte"},
          {5, "RxTypeCombo", "Word"}},
         "No|&H201|2|P_DO 1|P_AOL 1|P_AOH 1|||||"},
        {3,
         window.WriteSDOMSFlexGrid,
         {{1, "WriteSDOText", "6200"}, {2, "WriteSDOText", "2"}, {3, "WriteSDOCombo", "Word"}},
         "&H6200|&H02|S_AOL 1|S_AOH 1"}};
    for (const auto &[tab, grid, edits, shown] : tabs) {
        window.SSTab->setCurrentIndex(tab);
        for (const auto &[column, editor, text] : edits)
            enter(grid, 1, column, editor, text);
        EXPECT_EQ(rowOf(grid, 1), shown);
        click(grid, 1, 1);
        EXPECT_TRUE(editorShown()) << tab;
        grid->verticalScrollBar()->setValue(3); // an editor goes when the grid scrolls
        EXPECT_FALSE(editorShown()) << tab;
    }
}

TEST_F(DeviceWindow, DeleteTakesTheSelectedRowAndRenumbers) {
    QTableWidget *grid = window.MSFlexGrid;
    enter(grid, 1, 4, "TypeCombo", "Word");
    enter(grid, 2, 4, "TypeCombo", "Byte");
    EXPECT_EQ(rowOf(grid, 2), "|||P_DI 1|||||||");
    click(grid, 1, 0);
    window.DeleteCommand->click();
    EXPECT_EQ(rowOf(grid, 1), "|||P_DI 1|||||||");
    EXPECT_EQ(config.AI_total, 0);
}

} // namespace
} // namespace tolvar
