#include "WindowControls.h"

#include "network/MappingModules.h"
#include "network/ReadBackDisplay.h"

#include <QCheckBox>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::shownTexts;

// A general reply of two devices; every shown field differs from the window's start values.
// The serial ID travels as any byte, beyond the list's 1..64.
GeneralReply twoDevices() {
    return {.deviceCount = 2,
            .serialId = 200,
            .canBitRateCode = 3,
            .sync = 5,
            .syncTimeHigh = 7,
            .syncTime = 100,
            .devices = {{.nodeId = 0x21, .guardTime = 1000, .txPdoRows = 4},
                        {.nodeId = 0x7F, .guardTime = 65535, .txPdoRows = 200}},
            .serial = {2, 6, 1, 3, 2, 1}};
}

class ReadBackDisplay : public ::testing::Test {
protected:
    GatewayConfig config;
    ReadBackCounters counters;
    MappingModules window{config};
};

// The device amount comes first: it restarts the list (what else it empties is the amount
// combo's own test), then the records fill the positions of the new list.
TEST_F(ReadBackDisplay, RepliesFillTheControlsAndRestartTheDeviceList) {
    config.DeviceOrder = {4, 5, 6};
    counters = {3, 3, 3, 3, 3, 3, 3, 3, 2};
    showEthernetReply(
        window, {{0xC0, 0xA8, 0xFF, 0x03}, {0xFF, 0xFF, 0xFF, 0x00}, {0xC0, 0xA8, 0xFF, 0x01}});
    showGeneralReply(window, config, counters, twoDevices());
    EXPECT_EQ(shownTexts(window, {"IPText1", "IPText2", "IPText3", "IPText4", "MaskText1",
                                  "MaskText2", "MaskText3", "MaskText4", "GatewayText1",
                                  "GatewayText2", "GatewayText3", "GatewayText4"}),
              "192 168 255 3 255 255 255 0 192 168 255 1");
    EXPECT_EQ(shownTexts(window, {"DevicesNumCombo", "KestoCombo", "baudrateCombo", "SyncCombo",
                                  "SYCNTimeText", "ComPortCombo", "BaudCombo", "DataBitCombo",
                                  "ParityCombo", "StopBitCombo"}),
              "2 200 125 5 100 COM2 57600 7 Odd 2");
    EXPECT_TRUE(window.ListenCheck->isChecked());
    EXPECT_EQ(window.CANopenBaudRate, 3);
    EXPECT_EQ(window.topology(), topologyLayout(2));

    EXPECT_EQ(counters, (ReadBackCounters{.flag = 2}));
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    EXPECT_EQ(config.NodeID, (PerDevice<quint8>{0x21, 0x7F}));
    EXPECT_EQ(config.GuardTime,
              (PerDevice<QString>{QString(), QStringLiteral("1000"), QStringLiteral("65535")}));
    EXPECT_EQ(config.TxPDO_rows, (PerDevice<qint16>{0, 4, 200}));
}

// Codes outside their tables leave the controls as chosen, but the model keeps the codes;
// the bit-rate action still runs on what the combo box holds.
TEST_F(ReadBackDisplay, CodesOutsideTheirTablesLeaveTheControls) {
    choose(*window.baudrateCombo, QStringLiteral("500"));
    choose(*window.ParityCombo, QStringLiteral("Even"));
    window.CANopenBaudRate = -1;
    GeneralReply reply = twoDevices();
    reply.canBitRateCode = 9;
    reply.serial.parity = 0;
    reply.serial.listen = 2;
    showGeneralReply(window, config, counters, reply);
    EXPECT_EQ(shownTexts(window, {"baudrateCombo", "ParityCombo"}), "500 Even");
    EXPECT_EQ(window.CANopenBaudRate, 5);
    EXPECT_EQ(config.ParityCode, 0);
    EXPECT_FALSE(window.ListenCheck->isChecked());
    EXPECT_EQ(config.ListenMode, 2);
}

} // namespace
} // namespace tolvar
