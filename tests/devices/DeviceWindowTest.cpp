#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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
    // Node ID, guarding time and TxPDO rows 1..3, as the window shows them.
    std::string deviceShown() const {
        return testing::shownTexts(window, {"ModuleIDText", "GardingTimeText"}) + "\n" +
               rowOf(window.MSFlexGrid, 1) + "\n" + rowOf(window.MSFlexGrid, 2) + "\n" +
               rowOf(window.MSFlexGrid, 3);
    }
    std::vector<std::string> visibleEditors() const {
        std::vector<std::string> names;
        for (const char *name : {"gridText", "RTRCombo", "DLenCombo", "TypeCombo", "CycleCombo",
                                 "RxCOBIDText", "RxDLenCombo", "RxTypeCombo", "ReadSDOText",
                                 "ReadSDOCombo", "WriteSDOText", "WriteSDOCombo"}) {
            // Shown by the window, even while its tab is not the current one.
            if (!window.findChild<QWidget *>(QLatin1String(name))->isHidden())
                names.emplace_back(name);
        }
        return names;
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
    EXPECT_EQ(window.objectName(), QStringLiteral("CANopenDeviceSetting"));
    EXPECT_EQ(testing::shownTexts(window, {"DeviceNumberLabel", "NumberLabel", "ModuleIDLabel1",
                                           "GardingTimeLabel", "DeleteCommand", "ExitCommand"}),
              "Device Number  1 CANopen Slave ID Guarding Time(ms) Delete Exit");
    QStringList captions;
    for (int tab = 0; tab < window.SSTab->count(); ++tab)
        captions << window.SSTab->tabText(tab);
    EXPECT_EQ(captions.join(u','),
              QStringLiteral("TxPDO Setting (Hex),RxPDO Setting (Hex),"
                             "Read SDO Setting (Hex),Write SDO Setting (Hex)"));
    const std::tuple<QTableWidget *, int, const char *, QColor> grids[] = {
        {window.MSFlexGrid, 201, "COB-ID|RTR|DLen|Byte0|Byte1|Byte2|Byte3|Byte4|Byte5|Byte6|Byte7",
         QColor(255, 255, 128)},
        {window.RxPDOMSFlexGrid, 201,
         "Cycle|COB-ID|DLen|Byte0|Byte1|Byte2|Byte3|Byte4|Byte5|Byte6|Byte7",
         QColor(192, 255, 255)},
        {window.ReadSDOMSFlexGrid, 31, "Index|subIndex|Byte0|Byte1", QColor(255, 224, 192)},
        {window.WriteSDOMSFlexGrid, 31, "Index|subIndex|Byte0|Byte1", QColor(128, 128, 255)}};
    for (const auto &[grid, rows, header, background] : grids) {
        EXPECT_EQ(grid->rowCount(), rows);
        EXPECT_EQ(rowOf(grid, 0), header);
        EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("NO."));
        EXPECT_EQ(grid->item(rows - 1, 0)->text(), QStringLiteral(" %1").arg(rows - 1));
        EXPECT_EQ(grid->palette().color(QPalette::Base), background);
    }
    EXPECT_TRUE(visibleEditors().empty());
}

// The gateway's button opens nothing; a listed device shows what the model holds, and one not
// yet listed takes the first empty slot and shows nothing of the device before.
TEST_F(DeviceWindow, DeviceButtonsOpenWhatTheModelHolds) {
    window.ExitCommand->click();
    open(0);
    EXPECT_EQ(network.DeviceNumber, 1);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    EXPECT_TRUE(network.isVisible());
    EXPECT_FALSE(window.isVisible());
    choose(*network.DevicesNumCombo, QStringLiteral("3"));
    config.NodeID[1] = 42;
    config.GuardTime[2] = QStringLiteral("500");
    config.TxPDO_rows[2] = 2;
    config.TxPDOTable.cell(2, 1, 1) = QStringLiteral("&H182");
    config.TxPDOTable.cell(2, 1, 5) = QStringLiteral("P_AIH 1");
    config.TxPDOTable.cell(2, 2, 11) = QStringLiteral("P_DI 3");
    config.TxPDOTable.cell(2, 3, 1) = QStringLiteral("&H382"); // beyond the row count
    open(2);
    EXPECT_EQ(network.DeviceNumber, 2);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2, 3}));
    EXPECT_EQ(deviceShown(), "42 500\n&H182||||P_AIH 1||||||\n||||||||||P_DI 3\n||||||||||");
    window.ExitCommand->click();
    config.DeviceOrder = {1};
    open(2);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    EXPECT_EQ(deviceShown(), " 0\n||||||||||\n||||||||||\n||||||||||");
}

// The fallbacks themselves are the entry rules' cases; here the window shows and keeps them.
TEST_F(DeviceWindow, NodeIdAndGuardingTimeAreCheckedAndKept) {
    window.ModuleIDText->setText(QStringLiteral("128"));
    EXPECT_EQ(window.ModuleIDText->text(), QStringLiteral("1"));
    window.ModuleIDText->setText(QStringLiteral("127"));
    window.GardingTimeText->setText(QStringLiteral("0"));
    EXPECT_EQ(config.NodeID[0], 127);
    EXPECT_EQ(config.ModuleID[1], 127);
    EXPECT_EQ(config.GuardTime[1], QStringLiteral("0"));
}

// Typing, switching tabs, deleting, leaving and coming back, through the TxPDO editors.
TEST_F(DeviceWindow, TxPdoEditedThroughItsEditors) {
    QTableWidget *grid = window.MSFlexGrid;
    enter(grid, 1, 1, "gridText", "181");
    EXPECT_EQ(config.TxPDOTable.cell(1, 1, 1), QStringLiteral("&H181"));
    enter(grid, 1, 2, "RTRCombo", "1");
    enter(grid, 1, 3, "DLenCombo", "3");
    enter(grid, 1, 4, "TypeCombo", "Word");
    enter(grid, 1, 6, "TypeCombo", "Byte");
    enter(grid, 2, 1, "gridText", "2a1");
    enter(grid, 2, 4, "TypeCombo", "Byte");
    EXPECT_EQ(rowOf(grid, 1), "&H181|1|3|P_AIL 1|P_AIH 1|P_DI 1|||||");
    EXPECT_EQ(rowOf(grid, 2), "&H2A1|||P_DI 2|||||||");
    EXPECT_EQ(config.DI_total, 2);

    click(grid, 1, 11); // Byte7 offers no word
    const QComboBox *types = control<QComboBox>(window, QStringLiteral("TypeCombo"));
    EXPECT_EQ(QStringList({types->itemText(0), types->itemText(1), types->itemText(2)}),
              QStringList({QStringLiteral("Byte"), QStringLiteral("Null"), QString()}));
    EXPECT_EQ(visibleEditors(), std::vector<std::string>{"TypeCombo"});
    window.resize(500, window.height()); // Byte7 away from its place: no editor over it
    click(grid, 1, 11);
    EXPECT_TRUE(visibleEditors().empty());

    click(grid, 1, 0);
    window.DeleteCommand->click();
    EXPECT_EQ(rowOf(grid, 1), "&H2A1|||P_DI 1|||||||");
    EXPECT_EQ(config.AI_total, 0);

    window.ExitCommand->click();
    EXPECT_TRUE(network.isVisible());
    EXPECT_FALSE(window.isVisible());
    open(1);
    EXPECT_EQ(rowOf(grid, 1), "&H2A1|||P_DI 1|||||||");
}

TEST_F(DeviceWindow, RxPdoEditedThroughItsEditors) {
    window.SSTab->setCurrentIndex(1);
    QTableWidget *grid = window.RxPDOMSFlexGrid;
    enter(grid, 1, 1, "CycleCombo", "No");
    enter(grid, 1, 2, "RxCOBIDText", "201");
    enter(grid, 1, 3, "RxDLenCombo", "2");
    enter(grid, 1, 4, "RxTypeCombo", "Byte");
    enter(grid, 1, 5, "RxTypeCombo", "Word");
    EXPECT_EQ(rowOf(grid, 1), "No|&H201|2|P_DO 1|P_AOL 1|P_AOH 1|||||");
    EXPECT_EQ(config.AO_total, 1);
    click(grid, 1, 6);
    grid->verticalScrollBar()->setValue(1); // a list goes when the grid scrolls
    EXPECT_TRUE(visibleEditors().empty());
    click(grid, 2, 2);
    grid->verticalScrollBar()->setValue(5); // the COB-ID editor stays
    EXPECT_EQ(visibleEditors(), std::vector<std::string>{"RxCOBIDText"});
    config.TxPDOTable.cell(1, 1, 1) = QStringLiteral("&H181");
    config.TxPDO_rows[1] = 1;
    window.SSTab->setCurrentIndex(0); // a tab switch hides every editor and refills its grid
    EXPECT_TRUE(visibleEditors().empty());
    EXPECT_EQ(rowOf(window.MSFlexGrid, 1), "&H181||||||||||");
    window.SSTab->setCurrentIndex(1);
    window.ExitCommand->click();
    open(1); // a window opened afresh shows the TxPDO tab
    EXPECT_EQ(window.SSTab->currentIndex(), 0);
}

TEST_F(DeviceWindow, SdoTablesEditedThroughTheirEditors) {
    const std::tuple<int, QTableWidget *, const char *, const char *, std::string, ItemKind>
        tabs[] = {{2, window.ReadSDOMSFlexGrid, "ReadSDOText", "ReadSDOCombo", "S_AIL 1|S_AIH 1",
                   ItemKind::SDO_AI},
                  {3, window.WriteSDOMSFlexGrid, "WriteSDOText", "WriteSDOCombo", "S_AOL 1|S_AOH 1",
                   ItemKind::SDO_AO}};
    for (const auto &[tab, grid, text, combo, word, wordKind] : tabs) {
        window.SSTab->setCurrentIndex(tab);
        enter(grid, 1, 1, text, "60a0");
        enter(grid, 1, 2, text, "1");
        enter(grid, 1, 3, combo, "Word");
        EXPECT_EQ(rowOf(grid, 1), "&H60A0|&H01|" + word);
        EXPECT_EQ(config.total(wordKind), 1);
        grid->verticalScrollBar()->setValue(3);
        EXPECT_TRUE(visibleEditors().empty());
    }
}

} // namespace
} // namespace tolvar
