#include "network/TopologyLayout.h"

#include <algorithm>
#include <cmath>

namespace tolvar {
namespace {

constexpr int kDevicesPerColumn = 5;
constexpr int kFirstStubLeft = 4200;
constexpr int kStubLength = 400;
constexpr int kColumnSpacing = 2000;
constexpr int kFirstRowLevel = 2200;
constexpr int kRowSpacing = 1200;
constexpr int kButtonWidth = 700;
constexpr int kButtonHeight = 900;
constexpr int kRightMargin = 1200;
constexpr int kBottomMargin = 150;

// Drawing state: where the next device goes.
struct TreeCursor {
    int row = 0;
    int column = 0;
    int nextJoiningLine = 0;
    bool newColumn = false;

    void advanceColumnWhenFull() {
        if (row != 0 && row % kDevicesPerColumn == 0) {
            row = 0;
            ++column;
            newColumn = true;
        }
    }
};

void placeDevice(TopologyLayout &layout, TreeCursor &cursor, int i) {
    const auto at = static_cast<std::size_t>(i);
    const int y = kFirstRowLevel + kRowSpacing * cursor.row;
    const int x = kFirstStubLeft + kColumnSpacing * cursor.column;
    const TwipLine stub{true, x, y, x + kStubLength, y};
    layout.horizontal[at] = stub;
    layout.vertical[at] = {true, stub.x1, topology::kTrunkLevel, stub.x1, y};
    if (cursor.newColumn) {
        const int previousColumnStub = layout.horizontal[at - kDevicesPerColumn].x1;
        layout.joining[static_cast<std::size_t>(cursor.nextJoiningLine)] = {
            true, previousColumnStub, topology::kTrunkLevel, stub.x1, topology::kTrunkLevel};
        ++cursor.nextJoiningLine;
        cursor.newColumn = false;
    }
    layout.buttons[at] = {{true, stub.x2, y - kButtonHeight / 2, kButtonWidth, kButtonHeight},
                          QStringLiteral(" %1").arg(i + 1)};
}

} // namespace

TopologyLayout topologyLayout(int deviceCount) {
    const int devices = std::clamp(deviceCount, 0, kDeviceLines);
    TopologyLayout layout;
    TreeCursor cursor;
    for (int i = 0; i < devices; ++i) {
        cursor.advanceColumnWhenFull();
        placeDevice(layout, cursor, i);
        ++cursor.row;
    }
    const int rightmostStubEnd = devices > 0
                                     ? layout.horizontal[static_cast<std::size_t>(devices - 1)].x2
                                     : kFirstStubLeft + kStubLength;
    layout.windowWidth = rightmostStubEnd + kRightMargin;
    int lowest = topology::kGatewayButton.top + topology::kGatewayButton.height;
    for (const DeviceButtonPlace &button : layout.buttons) {
        if (button.rect.visible)
            lowest = std::max(lowest, button.rect.top + button.rect.height);
    }
    layout.pictureHeight = lowest + kBottomMargin;
    return layout;
}

int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / topology::kTwipsPerPixel));
}

} // namespace tolvar
