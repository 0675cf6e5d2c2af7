#pragma once

#include <QString>

#include <array>

namespace tolvar {

// Geometry of the network picture, in twips (1/1440 inch), x to the right, y downwards.

struct TwipLine {
    bool visible = false;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool operator==(const TwipLine &) const = default;
};

struct TwipRect {
    bool visible = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect &) const = default;
};

struct DeviceButtonPlace {
    TwipRect rect;
    QString caption;
    bool operator==(const DeviceButtonPlace &) const = default;
};

inline constexpr int kDeviceLines = 10;
inline constexpr int kJoiningLines = 4;

// Where the device tree stands for one device amount. Elements of absent devices are hidden
// and carry no geometry.
struct TopologyLayout {
    std::array<TwipLine, kDeviceLines> horizontal{};
    std::array<TwipLine, kDeviceLines> vertical{};
    std::array<TwipLine, kJoiningLines> joining{};
    std::array<DeviceButtonPlace, kDeviceLines> buttons{}; // devices 1..10
    int windowWidth = 0;
    int pictureHeight = 0; // down to the lowest button, with a margin
    bool operator==(const TopologyLayout &) const = default;
};

// Lays out the tree for 1..10 devices, in columns of five; other amounts are clamped to 0..10.
TopologyLayout topologyLayout(int deviceCount);

// The fixed part of the picture: PC, gateway, device-amount box and the lines between them.
namespace topology {
inline constexpr TwipRect kPicture1{true, 120, 480, 975, 735};
inline constexpr TwipLine kPCtoKestoLine{true, 1080, 960, 1560, 960};
inline constexpr TwipRect kGatewayButton{true, 1560, 240, 975, 1215};
inline constexpr TwipLine kKestotoNumLine{true, 2520, 960, 3000, 960};
// The box's height is the usual height of a one-line combo box.
inline constexpr TwipRect kDevicesNumCombo{true, 3000, 840, 615, 315};
inline constexpr TwipRect kLabel1{true, 2640, 480, 1800, 255};
inline constexpr TwipLine kNumtoDevicesLine{true, 3600, 960, 4200, 960};
// The tree's trunk runs on the level of the line from the device-amount box.
inline constexpr int kTrunkLevel = kNumtoDevicesLine.y1;
inline constexpr int kTwipsPerPixel = 15;
} // namespace topology

// Twips to whole pixels, to the nearest pixel.
int twipsToPixels(int twips);

} // namespace tolvar
