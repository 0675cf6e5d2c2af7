#include "WindowControls.h"

#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "network/MappingModules.h"

#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

// The windows as the program wires them; nothing here connects anywhere.
class DeviceButton : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }

    void press(int index) {
        auto *button = control<QPushButton>(window, QStringLiteral("CommButt%1").arg(index));
        ASSERT_NE(button, nullptr);
        button->click();
    }
    // Device 2 as a read-back would leave it, at list position `position`, with two TxPDO rows.
    void describeDeviceTwo(std::size_t position) {
        config.NodeID[position] = 42;
        config.GuardTime[2] = QStringLiteral("500");
        config.TxPDO_rows[2] = 2;
        config.TxPDOTable.cell(2, 1, 1) = QStringLiteral("&H182");
        config.TxPDOTable.cell(2, 1, 5) = QStringLiteral("P_AIH 1");
        config.TxPDOTable.cell(2, 2, 11) = QStringLiteral("P_DI 3");
        config.TxPDOTable.cell(2, 3, 1) = QStringLiteral("&H382"); // beyond the row count
    }
    // What the settings window shows: slave ID, guarding time and grid rows 1..3.
    std::string settingsShown() {
        const CANopenDeviceSetting &settings = app.deviceSettings();
        QStringList shown{settings.ModuleIDText->text(), settings.GardingTimeText->text()};
        for (int row = 1; row <= 3; ++row) {
            QStringList cells;
            for (int column = 1; column < kPdoColumns; ++column) {
                const QTableWidgetItem *item = settings.MSFlexGrid->item(row, column);
                cells << (item ? item->text() : QString());
            }
            shown << cells.join(u'|');
        }
        return shown.join(u'\n').toStdString();
    }

    UtilityApp app{0};
    GatewayConfig &config = app.config();
    MappingModules &window = app.network();
};

TEST_F(DeviceButton, GatewayButtonDoesNothing) {
    press(0);
    EXPECT_EQ(window.DeviceNumber, 0);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(app.deviceSettings().isVisible());
}

TEST_F(DeviceButton, KnownDeviceShowsWhatTheModelHolds) {
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    describeDeviceTwo(1);
    press(2);
    EXPECT_EQ(window.DeviceNumber, 2);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2, 3}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(app.deviceSettings().isVisible());
    EXPECT_EQ(settingsShown(), "42\n500\n"
                               "&H182||||P_AIH 1||||||\n"
                               "||||||||||P_DI 3\n"
                               "||||||||||");
}

// Reopened for a device not yet listed, the window shows nothing of the device before.
TEST_F(DeviceButton, NewDeviceTakesTheFirstEmptySlotAndShowsNothing) {
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    describeDeviceTwo(1);
    press(2);
    app.deviceSettings().ExitCommand->click();
    EXPECT_TRUE(window.isVisible());
    config.DeviceOrder = {1};
    press(2);
    EXPECT_EQ(window.DeviceNumber, 2);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    EXPECT_EQ(settingsShown(), "\n0\n||||||||||\n||||||||||\n||||||||||");
}

} // namespace
} // namespace tolvar
