#include "WindowControls.h"

#include "network/MappingModules.h"
#include "network/PictureButton.h"
#include "network/TopologyLayout.h"

#include <QLabel>
#include <QLine>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

QRect twipBox(const QWidget &widget) {
    return widget.property("twipGeometry").toRect();
}
QLine twipLine(const QWidget &widget) {
    return widget.property("twipGeometry").toLine();
}

class NetworkPicture : public ::testing::Test {
protected:
    void showAmount(int amount) { choose(*window.DevicesNumCombo, QString::number(amount)); }
    QWidget *element(const QString &name) { return control<QWidget>(window, name); }
    bool shown(const QString &name) {
        QWidget *widget = element(name);
        return widget && widget->isVisibleTo(&window);
    }

    GatewayConfig config;
    MappingModules window{config};
};

struct FixedBox {
    const char *name;
    QRect twips;
    QRect pixels;
};

void PrintTo(const FixedBox &c, std::ostream *os) {
    *os << c.name;
}

class FixedPictureBox : public NetworkPicture, public ::testing::WithParamInterface<FixedBox> {};

TEST_P(FixedPictureBox, StandsWhereTheTwipsSay) {
    const FixedBox &c = GetParam();
    QWidget *widget = element(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(twipBox(*widget), c.twips);
    EXPECT_EQ(widget->geometry(), c.pixels);
    EXPECT_TRUE(widget->isVisibleTo(&window));
}

INSTANTIATE_TEST_SUITE_P(
    Elements, FixedPictureBox,
    ::testing::Values(FixedBox{"Picture1", {120, 480, 975, 735}, {8, 32, 65, 49}},
                      FixedBox{"CommButt0", {1560, 240, 975, 1215}, {104, 16, 65, 81}},
                      FixedBox{"DevicesNumCombo", {3000, 840, 615, 315}, {200, 56, 41, 21}},
                      FixedBox{"Label1", {2640, 480, 1800, 255}, {176, 32, 120, 17}}));

struct FixedLine {
    const char *name;
    QLine twips;
    QRect pixels;
};

void PrintTo(const FixedLine &c, std::ostream *os) {
    *os << c.name;
}

class FixedPictureLine : public NetworkPicture, public ::testing::WithParamInterface<FixedLine> {};

TEST_P(FixedPictureLine, IsAGreenBarOnItsCourse) {
    const FixedLine &c = GetParam();
    QWidget *line = element(QString::fromLatin1(c.name));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(twipLine(*line), c.twips);
    EXPECT_EQ(line->geometry(), c.pixels);
    EXPECT_EQ(line->palette().color(line->backgroundRole()), QColor(0, 192, 0));
    EXPECT_TRUE(line->autoFillBackground());
}

INSTANTIATE_TEST_SUITE_P(
    Elements, FixedPictureLine,
    ::testing::Values(FixedLine{"PCtoKestoLine", {1080, 960, 1560, 960}, {72, 63, 32, 2}},
                      FixedLine{"KestotoNumLine", {2520, 960, 3000, 960}, {168, 63, 32, 2}},
                      FixedLine{"NumtoDevicesLine", {3600, 960, 4200, 960}, {240, 63, 40, 2}}));

TEST_F(NetworkPicture, OneDeviceDrawsOneBranch) {
    EXPECT_EQ(twipLine(*element(QStringLiteral("0HorizontalLine"))), QLine(4200, 2200, 4600, 2200));
    EXPECT_EQ(element(QStringLiteral("0HorizontalLine"))->geometry(), QRect(280, 146, 27, 2));
    EXPECT_EQ(twipLine(*element(QStringLiteral("0VerticalLine"))), QLine(4200, 960, 4200, 2200));
    EXPECT_EQ(element(QStringLiteral("0VerticalLine"))->geometry(), QRect(279, 64, 2, 83));
    auto *device = control<QPushButton>(window, QStringLiteral("CommButt1"));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->text(), QStringLiteral(" 1"));
    EXPECT_EQ(twipBox(*device), QRect(4600, 1750, 700, 900));
    EXPECT_EQ(device->geometry(), QRect(307, 117, 47, 60));
    EXPECT_EQ(device->font().pointSize(), 8);
    EXPECT_TRUE(device->isEnabled());
    EXPECT_FALSE(shown(QStringLiteral("CommButt2")));
    EXPECT_FALSE(shown(QStringLiteral("0HoriToHoriLine")));
    EXPECT_EQ(window.width(), 387);
    EXPECT_EQ(window.topology(), topologyLayout(1));
}

// Device stubs take the window's text colour, the tree's other lines stay green.
TEST_F(NetworkPicture, StubsUseTheTextColour) {
    QWidget *stub = element(QStringLiteral("0HorizontalLine"));
    EXPECT_EQ(stub->palette().color(stub->backgroundRole()),
              window.palette().color(QPalette::WindowText));
    QWidget *drop = element(QStringLiteral("0VerticalLine"));
    EXPECT_EQ(drop->palette().color(drop->backgroundRole()), QColor(0, 192, 0));
}

TEST_F(NetworkPicture, SixDevicesOpenTheSecondColumn) {
    showAmount(6);
    auto *sixth = control<QPushButton>(window, QStringLiteral("CommButt6"));
    ASSERT_NE(sixth, nullptr);
    EXPECT_EQ(twipBox(*sixth), QRect(6600, 1750, 700, 900));
    EXPECT_EQ(sixth->geometry(), QRect(440, 117, 47, 60));
    EXPECT_EQ(twipLine(*element(QStringLiteral("5VerticalLine"))), QLine(6200, 960, 6200, 2200));
    EXPECT_TRUE(shown(QStringLiteral("0HoriToHoriLine")));
    EXPECT_EQ(twipLine(*element(QStringLiteral("0HoriToHoriLine"))), QLine(4200, 960, 6200, 960));
    EXPECT_EQ(element(QStringLiteral("0HoriToHoriLine"))->geometry(), QRect(280, 63, 133, 2));
    EXPECT_EQ(window.width(), 520);
}

TEST_F(NetworkPicture, TenDevicesFillBothColumns) {
    showAmount(10);
    auto *last = control<QPushButton>(window, QStringLiteral("CommButt10"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text(), QStringLiteral(" 10"));
    EXPECT_EQ(twipBox(*last), QRect(6600, 6550, 700, 900));
    EXPECT_EQ(last->geometry(), QRect(440, 437, 47, 60));
    for (int i = 1; i <= 10; ++i)
        EXPECT_TRUE(shown(QStringLiteral("CommButt%1").arg(i))) << i;
    EXPECT_EQ(window.topology(), topologyLayout(10));
}

TEST_F(NetworkPicture, FewerDevicesHideTheRest) {
    showAmount(10);
    showAmount(3);
    for (int i = 0; i < 10; ++i) {
        const bool present = i < 3;
        EXPECT_EQ(shown(QStringLiteral("CommButt%1").arg(i + 1)), present) << i;
        EXPECT_EQ(shown(QStringLiteral("%1HorizontalLine").arg(i)), present) << i;
        EXPECT_EQ(shown(QStringLiteral("%1VerticalLine").arg(i)), present) << i;
    }
    for (int j = 0; j < 4; ++j)
        EXPECT_FALSE(shown(QStringLiteral("%1HoriToHoriLine").arg(j))) << j;
    EXPECT_TRUE(shown(QStringLiteral("CommButt0")));
    EXPECT_EQ(window.width(), 387);
}

// The picture file of the devices is missing here: the buttons show our own picture.
TEST_F(NetworkPicture, DevicesShowAPictureWithoutThePictureFile) {
    showAmount(2);
    for (const char *name : {"CommButt0", "CommButt1", "CommButt2"}) {
        auto *button = control<PictureButton>(window, QString::fromLatin1(name));
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->picture().isNull()) << name;
    }
    auto *pc = control<QLabel>(window, QStringLiteral("Picture1"));
    ASSERT_NE(pc, nullptr);
    EXPECT_FALSE(pc->pixmap().isNull());
}

// The parameter frames below the picture fit the window's width.
TEST_F(NetworkPicture, FramesFitTheNarrowWindow) {
    window.show();
    for (const char *name : {"CANopenParam", "SetingIPFrame", "TolvarFrame1", "SaveCommand"}) {
        QWidget *frame = element(QString::fromLatin1(name));
        ASSERT_NE(frame, nullptr);
        const QRect box(frame->mapTo(&window, QPoint(0, 0)), frame->size());
        EXPECT_LE(box.right(), window.width()) << name;
        EXPECT_GE(frame->width(), frame->minimumSizeHint().width()) << name;
        EXPECT_GE(box.top(), twipsToPixels(window.topology().pictureHeight)) << name;
    }
    window.hide();
}

} // namespace
} // namespace tolvar
