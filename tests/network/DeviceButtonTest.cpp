#include "WindowControls.h"

#include "devices/CANopenDeviceSetting.h"
#include "network/MappingModules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

QString cellText(const QTableWidget &grid, int row, int column) {
    const QTableWidgetItem *item = grid.item(row, column);
    return item ? item->text() : QString();
}

class DeviceButton : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    void TearDown() override {
        if (auto *settings = openSettings())
            settings->hide();
        window.hide();
    }

    void press(int index) {
        auto *button = control<QPushButton>(window, QStringLiteral("CommButt%1").arg(index));
        ASSERT_NE(button, nullptr);
        button->click();
    }
    CANopenDeviceSetting *openSettings() {
        auto &settings = window.deviceSettings();
        return settings.isVisible() ? &settings : nullptr;
    }
    // Device 2 as a read-back would leave it, in list position `position`.
    void describeDeviceTwo(std::size_t position) {
        config.NodeID[position] = 42;
        config.GuardTime[2] = QStringLiteral("500");
        config.TxPDO_rows[2] = 2;
        const char *first[] = {"&H182", "0", "2", "P_AIL 1", "P_AIH 1"};
        for (int column = 1; column <= 5; ++column)
            config.TxPDOTable.cell(2, 1, column) = QString::fromLatin1(first[column - 1]);
        config.TxPDOTable.cell(2, 2, 1) = QStringLiteral("&H282");
        config.TxPDOTable.cell(2, 2, 11) = QStringLiteral("P_DI 3");
        // Beyond the row count: never shown.
        config.TxPDOTable.cell(2, 3, 1) = QStringLiteral("&H382");
    }

    GatewayConfig config;
    MappingModules window{config};
};

TEST_F(DeviceButton, GatewayButtonDoesNothing) {
    const PerDevice<qint16> before = config.DeviceOrder;
    press(0);
    EXPECT_EQ(window.DeviceNumber, 0);
    EXPECT_EQ(config.DeviceOrder, before);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(openSettings(), nullptr);
}

TEST_F(DeviceButton, KnownDeviceShowsWhatTheModelHolds) {
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    describeDeviceTwo(1);
    press(2);

    EXPECT_EQ(window.DeviceNumber, 2);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2, 3}));
    CANopenDeviceSetting *settings = openSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(settings->NumberLabel->text(), QStringLiteral(" 2"));
    EXPECT_EQ(settings->ModuleIDText->text(), QStringLiteral("42"));
    EXPECT_EQ(settings->GardingTimeText->text(), QStringLiteral("500"));
    const QTableWidget &grid = *settings->MSFlexGrid;
    for (int row = 1; row <= 3; ++row) {
        for (int column = 1; column < kPdoColumns; ++column) {
            const QString expected = row <= 2 ? config.TxPDOTable.cell(2, row, column) : QString();
            EXPECT_EQ(cellText(grid, row, column), expected) << row << "," << column;
        }
    }
}

TEST_F(DeviceButton, NewDeviceTakesTheFirstEmptySlotAndShowsNothing) {
    choose(*window.DevicesNumCombo, QStringLiteral("2"));
    config.DeviceOrder = {1};
    describeDeviceTwo(1);
    press(2);

    EXPECT_EQ(window.DeviceNumber, 2);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    CANopenDeviceSetting *settings = openSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->ModuleIDText->text().isEmpty());
    EXPECT_EQ(settings->GardingTimeText->text(), QStringLiteral("0"));
    EXPECT_TRUE(cellText(*settings->MSFlexGrid, 1, 1).isEmpty());
}

// Reopening starts afresh: nothing of the device shown before stays in the window.
TEST_F(DeviceButton, ExitShowsTheNetworkWindowAndReopensEmpty) {
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    describeDeviceTwo(1);
    press(2);
    CANopenDeviceSetting *settings = openSettings();
    ASSERT_NE(settings, nullptr);
    settings->ExitCommand->click();
    EXPECT_FALSE(settings->isVisible());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(config.CurrentDevice, 2);

    config.DeviceOrder[2] = 0;
    press(3);
    ASSERT_EQ(openSettings(), settings);
    EXPECT_EQ(settings->NumberLabel->text(), QStringLiteral(" 3"));
    EXPECT_TRUE(settings->ModuleIDText->text().isEmpty());
    EXPECT_EQ(settings->GardingTimeText->text(), QStringLiteral("0"));
    EXPECT_TRUE(cellText(*settings->MSFlexGrid, 1, 1).isEmpty());
    EXPECT_EQ(cellText(*settings->MSFlexGrid, 1, 0), QStringLiteral(" 1"));
}

TEST_F(DeviceButton, ClosingTheSettingsShowsTheNetworkWindow) {
    press(1);
    CANopenDeviceSetting *settings = openSettings();
    ASSERT_NE(settings, nullptr);
    settings->close();
    EXPECT_FALSE(settings->isVisible());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(DeviceButton, SettingsWindowHasItsControls) {
    press(1);
    CANopenDeviceSetting *settings = openSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->windowTitle(), QStringLiteral("CANopenDeviceSetting"));
    const std::pair<const char *, const char *> captions[] = {
        {"DeviceNumberLabel", "Device Number"},
        {"ModuleIDLabel1", "CANopen Slave ID"},
        {"GardingTimeLabel", "Guarding Time(ms)"}};
    for (const auto &[name, caption] : captions) {
        auto *label = control<QLabel>(*settings, QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromLatin1(caption));
    }
    EXPECT_EQ(control<QPushButton>(*settings, QStringLiteral("ExitCommand"))->text(),
              QStringLiteral("Exit"));
    EXPECT_EQ(settings->ModuleIDText->accessibleName(), QStringLiteral("CANopen Slave ID"));
    EXPECT_EQ(settings->GardingTimeText->accessibleName(), QStringLiteral("Guarding Time(ms)"));

    auto *grid = control<QTableWidget>(*settings, QStringLiteral("MSFlexGrid"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 201);
    EXPECT_EQ(grid->columnCount(), 12);
    const QStringList header{"NO.",   "COB-ID", "RTR",   "DLen",  "Byte0", "Byte1",
                             "Byte2", "Byte3",  "Byte4", "Byte5", "Byte6", "Byte7"};
    for (int column = 0; column < 12; ++column)
        EXPECT_EQ(cellText(*grid, 0, column), header[column]) << column;
    for (int row : {1, 9, 10, 200})
        EXPECT_EQ(cellText(*grid, row, 0), QStringLiteral(" %1").arg(row));
}

TEST_F(DeviceButton, GridFillTakesOnlyTheTxPdoGridAndItsRows) {
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    describeDeviceTwo(1);
    press(1);
    CANopenDeviceSetting *settings = openSettings();
    ASSERT_NE(settings, nullptr);
    settings->PDOGridFill(QStringLiteral("RxPDOMSFlexGrid"), 2, 2);
    EXPECT_TRUE(cellText(*settings->MSFlexGrid, 1, 1).isEmpty());
    settings->PDOGridFill(QStringLiteral("TxPDOMSFlexGrid"), 2, 3);
    EXPECT_EQ(cellText(*settings->MSFlexGrid, 3, 1), QStringLiteral("&H382"));
    EXPECT_EQ(cellText(*settings->MSFlexGrid, 1, 5), QStringLiteral("P_AIH 1"));
}

} // namespace
} // namespace tolvar
