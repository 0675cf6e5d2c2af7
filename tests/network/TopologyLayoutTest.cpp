#include "network/TopologyLayout.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

constexpr TwipLine kHidden{};

TwipLine line(int x1, int y1, int x2, int y2) {
    return {true, x1, y1, x2, y2};
}

DeviceButtonPlace button(int left, int top, const char *caption) {
    return {{true, left, top, 700, 900}, QString::fromLatin1(caption)};
}

TEST(TopologyLayout, OneDeviceHasOneStubAndNoJoiningLine) {
    TopologyLayout expected;
    expected.horizontal[0] = line(4200, 2200, 4600, 2200);
    expected.vertical[0] = line(4200, 960, 4200, 2200);
    expected.buttons[0] = button(4600, 1750, " 1");
    expected.windowWidth = 5800;
    expected.pictureHeight = 2800;
    EXPECT_EQ(topologyLayout(1), expected);
}

TEST(TopologyLayout, SixthDeviceOpensTheSecondColumn) {
    const TopologyLayout layout = topologyLayout(6);
    const int rows[] = {2200, 3400, 4600, 5800, 7000};
    for (int i = 0; i < 5; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(layout.horizontal[at], line(4200, rows[i], 4600, rows[i])) << i;
        EXPECT_EQ(layout.vertical[at], line(4200, 960, 4200, rows[i])) << i;
    }
    EXPECT_EQ(layout.buttons[4], button(4600, 6550, " 5"));
    EXPECT_EQ(layout.horizontal[5], line(6200, 2200, 6600, 2200));
    EXPECT_EQ(layout.vertical[5], line(6200, 960, 6200, 2200));
    EXPECT_EQ(layout.buttons[5], button(6600, 1750, " 6"));
    EXPECT_EQ(layout.joining[0], line(4200, 960, 6200, 960));
    for (std::size_t j = 1; j < layout.joining.size(); ++j)
        EXPECT_EQ(layout.joining[j], kHidden) << j;
    for (std::size_t i = 6; i < 10; ++i) {
        EXPECT_EQ(layout.horizontal[i], kHidden) << i;
        EXPECT_FALSE(layout.buttons[i].rect.visible) << i;
    }
    EXPECT_EQ(layout.windowWidth, 7800);
}

TEST(TopologyLayout, TenDevicesFillTwoColumns) {
    const TopologyLayout layout = topologyLayout(10);
    const DeviceButtonPlace expected[] = {button(4600, 1750, " 1"), button(4600, 2950, " 2"),
                                          button(4600, 4150, " 3"), button(4600, 5350, " 4"),
                                          button(4600, 6550, " 5"), button(6600, 1750, " 6"),
                                          button(6600, 2950, " 7"), button(6600, 4150, " 8"),
                                          button(6600, 5350, " 9"), button(6600, 6550, " 10")};
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(layout.buttons[i], expected[i]) << i;
    EXPECT_EQ(layout.horizontal[9], line(6200, 7000, 6600, 7000));
    EXPECT_EQ(layout.vertical[9], line(6200, 960, 6200, 7000));
    EXPECT_EQ(layout.joining[0], line(4200, 960, 6200, 960));
    EXPECT_EQ(layout.joining[1], kHidden);
    EXPECT_EQ(layout.windowWidth, 7800);
}

struct WidthCase {
    int devices;
    int visible;
    int joiningLines;
    int width;
    int height;
};

void PrintTo(const WidthCase &c, std::ostream *os) {
    *os << c.devices << " devices";
}

class TopologyWidth : public ::testing::TestWithParam<WidthCase> {};

TEST_P(TopologyWidth, ShowsOneTreeBranchPerDevice) {
    const WidthCase &c = GetParam();
    const TopologyLayout layout = topologyLayout(c.devices);
    for (int i = 0; i < kDeviceLines; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const bool shown = i < c.visible;
        EXPECT_EQ(layout.horizontal[at].visible, shown) << i;
        EXPECT_EQ(layout.vertical[at].visible, shown) << i;
        EXPECT_EQ(layout.buttons[at].rect.visible, shown) << i;
    }
    int joining = 0;
    for (const TwipLine &join : layout.joining)
        joining += join.visible ? 1 : 0;
    EXPECT_EQ(joining, c.joiningLines);
    EXPECT_EQ(layout.windowWidth, c.width);
    EXPECT_EQ(layout.pictureHeight, c.height);
}

// The picture reaches 150 twips below the lowest button (or the gateway).
INSTANTIATE_TEST_SUITE_P(
    Amounts, TopologyWidth,
    ::testing::Values(WidthCase{1, 1, 0, 5800, 2800}, WidthCase{3, 3, 0, 5800, 5200},
                      WidthCase{5, 5, 0, 5800, 7600}, WidthCase{6, 6, 1, 7800, 7600},
                      WidthCase{9, 9, 1, 7800, 7600}, WidthCase{10, 10, 1, 7800, 7600},
                      WidthCase{0, 0, 0, 5800, 1605}, WidthCase{12, 10, 1, 7800, 7600}));

TEST(TwipsToPixels, FifteenTwipsMakeOnePixelRoundedToNearest) {
    EXPECT_EQ(twipsToPixels(0), 0);
    EXPECT_EQ(twipsToPixels(15), 1);
    EXPECT_EQ(twipsToPixels(22), 1);
    EXPECT_EQ(twipsToPixels(23), 2);
    EXPECT_EQ(twipsToPixels(4600), 307);
    EXPECT_EQ(twipsToPixels(5800), 387);
    EXPECT_EQ(twipsToPixels(7800), 520);
}

} // namespace
} // namespace tolvar
