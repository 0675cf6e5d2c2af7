#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include <QHeaderView>
#include <QListView>
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
    static QPoint cellAt(QTableWidget *grid, int row, int column) {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    // The middle of a row number or of a column caption.
    static QPoint sectionAt(QHeaderView *header, int section) {
        const int middle =
            header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        return header->orientation() == Qt::Vertical ? QPoint(header->width() / 2, middle)
                                                     : QPoint(middle, header->height() / 2);
    }
    static void clickHeader(QHeaderView *header, int section, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, keys, sectionAt(header, section));
    }
    static void drag(QWidget *area, QPoint from, QPoint to) {
        QTest::mousePress(area, Qt::LeftButton, {}, from);
        QTest::mouseMove(area, to);
        QTest::mouseRelease(area, Qt::LeftButton, {}, to);
    }
    // Keys go to the focused control, as the user's do.
    void focus(QWidget *control) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        control->setFocus();
    }
    // Types into the named line editor, or picks from the named list, over the clicked cell.
    void enter(QTableWidget *grid, int row, int column, const char *editor, const char *text) {
        click(grid, row, column);
        if (auto *list = window.findChild<QComboBox *>(QLatin1String(editor)))
            return choose(*list, QLatin1String(text));
        QTest::keyClicks(control<QLineEdit>(window, QLatin1String(editor)), QLatin1String(text));
    }
    static QString cellText(const QTableWidget *grid, int row, int column) {
        const QTableWidgetItem *item = grid->item(row, column);
        return item ? item->text() : QString();
    }
    // A grid row's cells from column 1 on, '|'-separated.
    static std::string rowOf(const QTableWidget *grid, int row) {
        QStringList cells;
        for (int column = 1; column < grid->columnCount(); ++column)
            cells << cellText(grid, row, column);
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
// are the logic's cases. A COB-ID character refused leaves the cell showing what the table
// holds.
TEST_F(DeviceWindow, EachTabIsEditedThroughItsEditors) {
    using Edits = std::vector<std::tuple<int, const char *, const char *>>;
    const std::tuple<int, QTableWidget *, Edits, std::string> tabs[] = {
        {0,
         window.MSFlexGrid,
         {{1, "gridText", "181g"},
          {2, "RTRCombo", "1"},
          {3, "DLenCombo", "3"},
          {4, "TypeCombo", "Word"},
          {6, "TypeCombo", "Byte"}},
         "&H181|1|3|P_AIL 1|P_AIH 1|P_DI 1|||||"},
        {1,
         window.RxPDOMSFlexGrid,
         {{1, "CycleCombo", "No"},
          {2, "RxCOBIDText", "201;"},
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

// The RxPDO COB-ID editor stays over its cell when the grid scrolls, until the cell leaves the
// view.
TEST_F(DeviceWindow, RxCobIdEditorFollowsItsCell) {
    window.SSTab->setCurrentIndex(1);
    QTableWidget *grid = window.RxPDOMSFlexGrid;
    click(grid, 5, 2);
    auto *editor = control<QLineEdit>(window, QStringLiteral("RxCOBIDText"));
    grid->verticalScrollBar()->setValue(2);
    const QPoint cell = grid->visualRect(grid->model()->index(5, 2)).topLeft();
    EXPECT_EQ(editor->pos(), grid->viewport()->mapTo(editor->parentWidget(), cell));
    EXPECT_TRUE(editor->isVisible());
    grid->verticalScrollBar()->setValue(6);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(DeviceWindow, DeleteTakesTheSelectedRowAndRenumbers) {
    QTableWidget *grid = window.MSFlexGrid;
    enter(grid, 1, 4, "TypeCombo", "Word");
    enter(grid, 2, 4, "TypeCombo", "Byte");
    EXPECT_EQ(rowOf(grid, 2), "|||P_DI 1|||||||");
    clickHeader(grid->verticalHeader(), 1);
    window.DeleteCommand->click();
    EXPECT_EQ(rowOf(grid, 1), "|||P_DI 1|||||||");
    EXPECT_EQ(config.AI_total, 0);
}

// Six TxPDO entries, a click on row 5, then another selection: the Delete button or key takes
// the rows that selection shows, in the grid and in the model, and the grid then shows none.
TEST_F(DeviceWindow, DeleteTakesTheRowsShownSelected) {
    QTableWidget *grid = window.MSFlexGrid;
    QHeaderView *numbers = grid->verticalHeader();
    const auto ids = [&](auto cell, int rows) {
        QStringList shown;
        for (int row = 1; row <= rows; ++row)
            shown << cell(row);
        return shown.join(u' ').trimmed().toStdString();
    };
    const std::tuple<const char *, std::function<void()>, const char *> cases[] = {
        {"drag", [&] { drag(grid->viewport(), cellAt(grid, 2, 2), cellAt(grid, 3, 2)); },
         "&H181 &H184 &H185 &H186"},
        {"row number", [&] { clickHeader(grid->verticalHeader(), 3); },
         "&H181 &H182 &H184 &H185 &H186"},
        {"row numbers dragged",
         [&] { drag(numbers->viewport(), sectionAt(numbers, 4), sectionAt(numbers, 6)); },
         "&H181 &H182 &H183"},
        {"row numbers shift-clicked",
         [&] {
             clickHeader(grid->verticalHeader(), 4);
             clickHeader(grid->verticalHeader(), 2, Qt::ShiftModifier);
         },
         "&H181 &H185 &H186"},
        {"Shift+Down",
         [&] {
             click(grid, 2, 2);
             QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
         },
         "&H181 &H184 &H185 &H186"},
        {"Select All", [&] { QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier); }, ""}};
    bool byKey = false;
    for (const auto &[name, select, left] : cases) {
        SCOPED_TRACE(name);
        config.TxPDO_rows[1] = 6;
        for (int row = 1; row <= 6; ++row)
            config.TxPDOTable.cell(1, row, 1) = QStringLiteral("&H18%1").arg(row);
        window.PDOGridFill(QStringLiteral("TxPDOMSFlexGrid"), 1, 6);
        click(grid, 5, 2);
        select();
        focus(grid);
        if ((byKey = !byKey))
            QTest::keyClick(grid, Qt::Key_Delete);
        else
            window.DeleteCommand->click();
        EXPECT_EQ(ids([&](int row) { return grid->item(row, 1)->text(); }, 6), left);
        EXPECT_EQ(
            ids([&](int row) { return config.TxPDOTable.cell(1, row, 1); }, config.TxPDO_rows[1]),
            left);
        EXPECT_TRUE(grid->selectedRanges().isEmpty());
    }
}

// A caption or a row number clicked, then typed at: no editor, no cell changes.
TEST_F(DeviceWindow, HeadersAreNoCells) {
    const GatewayConfig before = config;
    for (int tab = 0; tab < 4; ++tab) {
        window.SSTab->setCurrentIndex(tab);
        auto *grid = window.SSTab->currentWidget()->findChild<QTableWidget *>();
        const std::string captions = rowOf(grid, 0);
        for (const auto &[header, section] :
             {std::pair{grid->horizontalHeader(), 1}, {grid->verticalHeader(), 2}}) {
            SCOPED_TRACE(tab * 10 + section);
            clickHeader(header, section);
            focus(grid);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
            EXPECT_FALSE(editorShown());
            EXPECT_EQ(rowOf(grid, 0), captions);
            EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), grid->item(0, 1)->text());
            EXPECT_EQ(grid->verticalHeaderItem(2)->text(), QStringLiteral(" 2"));
            EXPECT_EQ(grid->item(2, 0)->text(), QStringLiteral(" 2"));
            EXPECT_EQ(rowOf(grid, 2), rowOf(grid, 3)); // both empty
            EXPECT_TRUE(config == before);
        }
    }
}

// F4 and Alt+Down open the current cell's list dropped down, on its first item; Enter opens it
// as a click does (-1: nothing chosen). A choice made with the keys is stored as a click's. The
// cases run on one after the other.
TEST_F(DeviceWindow, ListsAreOpenedAndChosenFromByKeys) {
    const std::tuple<int, int, Qt::Key, Qt::KeyboardModifiers, const char *, int, const char *>
        cases[] = {{0, 3, Qt::Key_F4, {}, "DLenCombo", 2, "3"},
                   {0, 4, Qt::Key_Down, Qt::AltModifier, "TypeCombo", 1, "P_AIL 1"},
                   {0, 3, Qt::Key_Return, {}, "DLenCombo", -1, "3"},
                   {1, 1, Qt::Key_F4, {}, "CycleCombo", 0, "No"},
                   {2, 3, Qt::Key_F4, {}, "ReadSDOCombo", 0, "S_DI 1"}};
    CellTable GatewayConfig::*const tables[] = {
        &GatewayConfig::TxPDOTable, &GatewayConfig::RxPDOTable, &GatewayConfig::ReadSDOTable};
    for (const auto &[tab, column, key, modifiers, editor, downs, stored] : cases) {
        SCOPED_TRACE(editor);
        window.SSTab->setCurrentIndex(tab);
        auto *grid = window.SSTab->currentWidget()->findChild<QTableWidget *>();
        clickHeader(grid->verticalHeader(), 1);
        focus(grid);
        for (int tabKey = 1; tabKey < column; ++tabKey)
            QTest::keyClick(grid, Qt::Key_Tab);
        ASSERT_EQ(grid->currentColumn(), column);
        QTest::keyClick(grid, key, modifiers);
        auto *list = control<QComboBox>(window, QLatin1String(editor));
        ASSERT_TRUE(list->isVisible());
        EXPECT_EQ(list->view()->isVisible(), downs >= 0);
        for (int down = 0; down < downs; ++down)
            QTest::keyClick(list->view(), Qt::Key_Down);
        if (downs >= 0)
            QTest::keyClick(list->view(), Qt::Key_Return);
        EXPECT_EQ(cellText(grid, 1, column), QLatin1String(stored));
        EXPECT_EQ((config.*tables[tab]).cell(1, 1, column), QLatin1String(stored));
    }
}

// Escape closes an editor and hands the focus back to the grid; what was typed stays entered.
TEST_F(DeviceWindow, EscapeClosesAnEditorUnchanged) {
    QTableWidget *grid = window.MSFlexGrid;
    for (const auto &[column, editor, typed] :
         {std::tuple{1, "gridText", "181"}, {3, "DLenCombo", ""}}) {
        SCOPED_TRACE(editor);
        click(grid, 1, column);
        auto *shown = control<QWidget>(window, QLatin1String(editor));
        focus(shown);
        QTest::keyClicks(shown, QLatin1String(typed));
        QTest::keyClick(shown, Qt::Key_Escape);
        EXPECT_FALSE(editorShown());
        EXPECT_EQ(QApplication::focusWidget(), grid);
        EXPECT_EQ(rowOf(grid, 1), "&H181||||||||||");
        EXPECT_EQ(config.TxPDOTable.cell(1, 1, 1) + config.TxPDOTable.cell(1, 1, 3), u"&H181");
    }
}

} // namespace
} // namespace tolvar
