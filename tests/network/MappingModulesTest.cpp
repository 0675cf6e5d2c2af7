#include "WindowControls.h"

#include "network/MappingModules.h"
#include "network/ReadBackDisplay.h"
#include "support/DialogAnswerer.h"

#include <QCheckBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;
using testing::shownTexts;

class NetworkWindow : public ::testing::Test {
protected:
    bool shown(const QString &name) const {
        const auto *widget = window.findChild<QWidget *>(name);
        return widget && widget->isVisibleTo(&window);
    }

    GatewayConfig config;
    MappingModules window{config};
};

// What the user reads at the start.
TEST_F(NetworkWindow, ControlsStartAsDrawn) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("MappingModules"));
    const QString names = QStringLiteral(
        "CANopenParam BaudrateLabel baudrateCombo LengthMAXLabel ShowLengthLabel NoteLabel "
        "SYNCLabel SYNCTimeLabel SetingIPFrame IPLabel IPText1 MaskLabel MaskText4 GetewayLabel "
        "GatewayText4 TolvarFrame1 ComPortLabel BaudLabel BaudCombo DataBitLabel ParityLabel "
        "StopBitLabel KestoLabel ListenCheck Label1 SaveCommand");
    EXPECT_EQ(shownTexts(window, names.split(u' ')),
              "  CANopen Parameters  Baud Rate (bps) 10 Length MAX (m) 5000(m)=16400(ft) "
              "Note : Repeater is needed every 1000(m) SYNC (0~255) SYNC Time (ms) "
              "Ethernet Parameters  IP 192 MASK 0 Gateway 4 Tolvar Parameters  Com Port "
              "Baudrate 9600 DATA Bit Parity STOP Bit  ID     Listen mode Device Amount "
              "Save All Setting");
}

// A new amount the user confirms empties the tables with their totals and counts.
TEST(NetworkWindowDevices, OpeningListsOneDeviceAndAmountThreeListsThree) {
    GatewayConfig config;
    MappingModules window(config);
    config.TxPDOTable.cell(2, 5, 4) = QStringLiteral("P_DI 1");
    config.SDO_AO_total = 3;
    config.TxPDO_rows[2] = 5;
    config.DI_count[1] = 1;
    DialogAnswerer answerer;
    answerer.reply = QMessageBox::Yes;
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    EXPECT_EQ(answerer.names, QStringList{QStringLiteral("DeviceAmountBox")});
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2, 3}));
    EXPECT_TRUE(config.TxPDOTable.cell(2, 5, 4).isEmpty());
    EXPECT_EQ(config.SDO_AO_total, 0);
    EXPECT_EQ(config.TxPDO_rows[2] + config.DI_count[1], 0);
}

// Every CAN rate of the list sets its code and cable length. Every serial item stores its code.
// "7" is not in the data bits list but the read-back shows it, and it is then confirmed; a typed
// "9" is outside the table and keeps the code.
TEST_F(NetworkWindow, ChoicesStoreTheirCodes) {
    const char *lengths[] = {"5000(m)=16400(ft)", "2500(m)=8200(ft)", "1000(m)=3280(ft)",
                             "500(m)=1640(ft)",   "250(m)=820(ft)",   "100(m)=328(ft)",
                             "50(m)=164(ft)",     "25(m)=82(ft)"};
    for (int code = 7; code >= 0; --code) {
        choose(*window.baudrateCombo, window.baudrateCombo->itemText(code));
        EXPECT_EQ(window.CANopenBaudRate, code);
        EXPECT_EQ(window.ShowLengthLabel->text(), QString::fromLatin1(lengths[code]));
    }
    const std::tuple<const char *, quint8 GatewayConfig::*, const char *> lists[] = {
        {"ComPortCombo", &GatewayConfig::ComPortCode, "COM1=1 COM2=2"},
        {"BaudCombo", &GatewayConfig::BaudRateCode,
         "1200=0 2400=1 4800=2 9600=3 19200=4 38400=5 57600=6 115200=7"},
        {"DataBitCombo", &GatewayConfig::DataBitsCode, "7=1 8=2 9=99"},
        {"ParityCombo", &GatewayConfig::ParityCode, "None=1 Even=2 Odd=3"},
        {"StopBitCombo", &GatewayConfig::StopBitsCode, "1=1 2=2"}};
    for (const auto &[name, field, choices] : lists) {
        for (const QString &choice : QString::fromLatin1(choices).split(u' ')) {
            config.*field = 99;
            choose(*control<QComboBox>(window, QLatin1String(name)), choice.section(u'=', 0, 0));
            EXPECT_EQ(config.*field, choice.section(u'=', 1).toInt())
                << name << " " << choice.toStdString();
        }
    }
}

// SYNC time keeps numbers only; a "write" check box enables its own row only; listen mode
// reaches the model; Save asks once.
TEST_F(NetworkWindow, SyncTimeChecksListenAndSave) {
    window.SYCNTimeText->setText(QStringLiteral("12a"));
    EXPECT_EQ(window.SYCNTimeText->text(), QString());
    control<QCheckBox>(window, QStringLiteral("MaskCheck"))->click();
    for (const char *octet : {"IPText4", "MaskText1", "MaskText4", "GatewayText1"})
        EXPECT_EQ(control<QLineEdit>(window, QLatin1String(octet))->isEnabled(),
                  QByteArray(octet).startsWith("Mask"))
            << octet;
    int saveRequests = 0;
    QObject::connect(&window, &MappingModules::saveRequested, [&saveRequests] { ++saveRequests; });
    window.ListenCheck->click();
    EXPECT_EQ(config.ListenMode, 1);
    window.SaveCommand->click();
    EXPECT_EQ(saveRequests, 1);
}

// A second column of devices widens the window; fewer devices hide the rest of the tree.
// Where each element stands is the layout's own business and goes unchecked here.
TEST_F(NetworkWindow, AmountSetsWidthAndShownDevices) {
    for (const auto &[devices, pixels] : {std::pair(6, 520), {10, 520}, {5, 387}}) {
        SCOPED_TRACE(devices);
        choose(*window.DevicesNumCombo, QString::number(devices));
        EXPECT_EQ(window.width(), pixels);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(shown(QStringLiteral("CommButt%1").arg(i + 1)), i < devices) << i;
        EXPECT_EQ(shown(QStringLiteral("0HoriToHoriLine")), devices > 5);
    }
    // Stubs to the devices are drawn in the text colour, the tree in green; captions are small.
    const QColor text = window.palette().color(QPalette::WindowText), green(0, 192, 0);
    for (const auto &[name, colour] : {std::pair("4HorizontalLine", text),
                                       {"0HoriToHoriLine", green},
                                       {"NumtoDevicesLine", green}}) {
        const auto *line = control<QWidget>(window, QLatin1String(name));
        EXPECT_EQ(line->palette().color(line->backgroundRole()), colour) << name;
    }
    const auto *button = control<QPushButton>(window, QStringLiteral("CommButt5"));
    EXPECT_EQ(button->text(), QStringLiteral(" 5"));
    EXPECT_EQ(button->font().pointSize(), 8);
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Device 5"));
}

// The device amount comes first: it restarts the list, then the records fill its positions.
TEST_F(NetworkWindow, ReadBackRepliesFillTheControlsAndRestartTheDeviceList) {
    ReadBackCounters counters{3, 3, 3, 3, 3, 3, 3, 3, 2};
    config.DeviceOrder = {4, 5, 6};
    showEthernetReply(
        window, {{0xC0, 0xA8, 0xFF, 0x03}, {0xFF, 0xFF, 0xFF, 0x00}, {0xC0, 0xA8, 0xFF, 0x01}});
    // Every shown field differs from the start; the serial ID goes beyond the list's 1..64.
    showGeneralReply(window, config, counters,
                     {.deviceCount = 2,
                      .serialId = 200,
                      .canBitRateCode = 3,
                      .sync = 5,
                      .syncTimeHigh = 7,
                      .syncTime = 100,
                      .devices = {{.nodeId = 0x21, .guardTime = 1000, .txPdoRows = 4},
                                  {.nodeId = 0x7F, .guardTime = 65535, .txPdoRows = 200}},
                      .serial = {2, 6, 1, 3, 2, 1}});
    const QString names = QStringLiteral("IPText1 IPText4 MaskText3 MaskText4 GatewayText4 "
                                         "DevicesNumCombo KestoCombo baudrateCombo SyncCombo "
                                         "SYCNTimeText ComPortCombo BaudCombo DataBitCombo "
                                         "ParityCombo StopBitCombo");
    EXPECT_EQ(shownTexts(window, names.split(u' ')),
              "192 3 255 0 1 2 200 125 5 100 COM2 57600 7 Odd 2");
    EXPECT_TRUE(window.ListenCheck->isChecked());
    EXPECT_EQ(window.topology(), topologyLayout(2));
    EXPECT_EQ(counters, (ReadBackCounters{.flag = 2}));
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    EXPECT_EQ(config.NodeID, (PerDevice<quint8>{0x21, 0x7F}));
    EXPECT_EQ(config.TxPDO_rows, (PerDevice<qint16>{0, 4, 200}));
}

} // namespace
} // namespace tolvar
