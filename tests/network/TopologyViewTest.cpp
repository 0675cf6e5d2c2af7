#include "WindowControls.h"

#include "network/MappingModules.h"

#include <QLine>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

class NetworkPicture : public ::testing::Test {
protected:
    void showAmount(int amount) { choose(*window.DevicesNumCombo, QString::number(amount)); }
    bool shown(const QString &name) {
        const auto *widget = window.findChild<QWidget *>(name);
        return widget && widget->isVisibleTo(&window);
    }

    GatewayConfig config;
    MappingModules window{config};
};

// Each element keeps its twips; on screen it stands at twips / 15 pixels, lines as 2-pixel bars.
TEST_F(NetworkPicture, ElementsStandWhereTheTwipsSay) {
    const std::tuple<int, const char *, QVariant, QRect> elements[] = {
        {1, "Picture1", QRect(120, 480, 975, 735), {8, 32, 65, 49}},
        {1, "PCtoKestoLine", QLine(1080, 960, 1560, 960), {72, 63, 32, 2}},
        {1, "CommButt0", QRect(1560, 240, 975, 1215), {104, 16, 65, 81}},
        {1, "KestotoNumLine", QLine(2520, 960, 3000, 960), {168, 63, 32, 2}},
        {1, "Label1", QRect(2640, 480, 1800, 255), {176, 32, 120, 17}},
        {1, "DevicesNumCombo", QRect(3000, 840, 615, 315), {200, 56, 41, 21}},
        {1, "NumtoDevicesLine", QLine(3600, 960, 4200, 960), {240, 63, 40, 2}},
        {1, "0VerticalLine", QLine(4200, 960, 4200, 2200), {279, 64, 2, 83}},
        {1, "0HorizontalLine", QLine(4200, 2200, 4600, 2200), {280, 146, 27, 2}},
        {1, "CommButt1", QRect(4600, 1750, 700, 900), {307, 117, 47, 60}},
        {6, "CommButt5", QRect(4600, 6550, 700, 900), {307, 437, 47, 60}},
        {6, "0HoriToHoriLine", QLine(4200, 960, 6200, 960), {280, 63, 133, 2}},
        {6, "CommButt6", QRect(6600, 1750, 700, 900), {440, 117, 47, 60}},
        {10, "9VerticalLine", QLine(6200, 960, 6200, 7000), {412, 64, 2, 403}},
        {10, "CommButt10", QRect(6600, 6550, 700, 900), {440, 437, 47, 60}}};
    for (const auto &[devices, name, twips, pixels] : elements) {
        SCOPED_TRACE(::testing::Message() << devices << " " << name);
        showAmount(devices);
        const auto *widget = window.findChild<QWidget *>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->property("twipGeometry"), twips);
        EXPECT_EQ(widget->geometry(), pixels);
        EXPECT_TRUE(widget->isVisibleTo(&window));
    }
    EXPECT_EQ(control<QPushButton>(window, QStringLiteral("CommButt10"))->text(),
              QStringLiteral(" 10"));
}

// Stubs to the devices are drawn in the text colour, the tree in green; captions are small.
TEST_F(NetworkPicture, LinesAndButtonsAreDrawnInTheirColoursAndFont) {
    showAmount(6);
    const QColor green(0, 192, 0);
    const QColor text = window.palette().color(QPalette::WindowText);
    const std::pair<const char *, QColor> lines[] = {
        {"0HorizontalLine", text}, {"5HorizontalLine", text},  {"0VerticalLine", green},
        {"5VerticalLine", green},  {"0HoriToHoriLine", green}, {"PCtoKestoLine", green},
        {"KestotoNumLine", green}, {"NumtoDevicesLine", green}};
    for (const auto &[name, colour] : lines) {
        const auto *line = control<QWidget>(window, QLatin1String(name));
        EXPECT_EQ(line->palette().color(line->backgroundRole()), colour) << name;
    }
    for (int device = 1; device <= 6; ++device) {
        const auto *button = control<QPushButton>(window, QStringLiteral("CommButt%1").arg(device));
        EXPECT_EQ(button->font().pointSize(), 8) << device;
        EXPECT_EQ(button->accessibleName(), QStringLiteral("Device %1").arg(device));
    }
}

// A second column of devices widens the window; fewer devices hide the rest of the tree.
TEST_F(NetworkPicture, AmountSetsWidthAndShownDevices) {
    const std::tuple<int, int, int> amounts[] = {
        {1, 5800, 387}, {5, 5800, 387}, {6, 7800, 520}, {10, 7800, 520}, {3, 5800, 387}};
    for (const auto &[devices, twips, pixels] : amounts) {
        SCOPED_TRACE(devices);
        showAmount(devices);
        EXPECT_EQ(window.topology().windowWidth, twips);
        EXPECT_EQ(window.width(), pixels);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(shown(QStringLiteral("CommButt%1").arg(i + 1)), i < devices) << i;
            EXPECT_EQ(shown(QStringLiteral("%1HorizontalLine").arg(i)), i < devices) << i;
            EXPECT_EQ(shown(QStringLiteral("%1VerticalLine").arg(i)), i < devices) << i;
        }
        EXPECT_EQ(shown(QStringLiteral("0HoriToHoriLine")), devices > 5);
        EXPECT_TRUE(shown(QStringLiteral("CommButt0")));
    }
}

} // namespace
} // namespace tolvar
