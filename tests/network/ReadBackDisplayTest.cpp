#include "WindowControls.h"

#include "link/ReadBackDisplay.h"
#include "network/MappingModules.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

class ReadBackDisplay : public ::testing::Test {
protected:
    // A general reply of two devices; every field differs from the window's start values.
    static GeneralReply twoDevices() {
        GeneralReply reply;
        reply.deviceCount = 2;
        reply.serialId = 17;
        reply.canBitRateCode = 3;
        reply.sync = 5;
        reply.syncTimeHigh = 200;
        reply.syncTime = 100;
        DeviceRecord first;
        first.nodeId = 0x21;
        first.guardTime = 1000;
        first.counts = {1, 2, 3, 4, 5, 6, 300, 8};
        first.txPdoRows = 4;
        first.rxPdoRows = 3;
        first.readSdoRows = 2;
        first.writeSdoRows = 1;
        DeviceRecord second;
        second.nodeId = 0x7F;
        second.guardTime = 65535;
        second.counts = {0, 0, 0, 0, 0, 0, 0, 258};
        second.txPdoRows = 200;
        reply.devices = {first, second};
        reply.serial = {2, 6, 1, 3, 2, 1};
        return reply;
    }

    QString text(const char *name) {
        const QString objectName = QString::fromLatin1(name);
        if (auto *box = window.findChild<QLineEdit *>(objectName))
            return box->text();
        if (auto *combo = window.findChild<QComboBox *>(objectName))
            return combo->currentText();
        if (auto *label = window.findChild<QLabel *>(objectName))
            return label->text();
        ADD_FAILURE() << name;
        return {};
    }

    GatewayConfig config;
    ReadBackCounters counters;
    MappingModules window{config};
};

TEST_F(ReadBackDisplay, EthernetReplyFillsTheTwelveBoxes) {
    const EthernetReply reply{
        {0xC0, 0xA8, 0xFF, 0x03}, {0xFF, 0xFF, 0xFF, 0x00}, {0xC0, 0xA8, 0xFF, 0x01}};
    showEthernetReply(window, reply);
    const std::pair<const char *, const char *> expected[] = {
        {"IPText1", "192"},      {"IPText2", "168"},      {"IPText3", "255"},
        {"IPText4", "3"},        {"MaskText1", "255"},    {"MaskText2", "255"},
        {"MaskText3", "255"},    {"MaskText4", "0"},      {"GatewayText1", "192"},
        {"GatewayText2", "168"}, {"GatewayText3", "255"}, {"GatewayText4", "1"}};
    for (const auto &[name, value] : expected)
        EXPECT_EQ(text(name), QString::fromLatin1(value)) << name;
}

TEST_F(ReadBackDisplay, GeneralReplyShowsTheGatewayParameters) {
    showGeneralReply(window, config, counters, twoDevices());
    EXPECT_EQ(text("DevicesNumCombo"), QStringLiteral("2"));
    EXPECT_EQ(text("KestoCombo"), QStringLiteral("17"));
    EXPECT_EQ(text("baudrateCombo"), QStringLiteral("125"));
    EXPECT_EQ(text("ShowLengthLabel"), QStringLiteral("500(m)=1640(ft)"));
    EXPECT_EQ(window.CANopenBaudRate, 3);
    EXPECT_EQ(text("SyncCombo"), QStringLiteral("5"));
    EXPECT_EQ(text("SYCNTimeText"), QStringLiteral("100"));
    EXPECT_EQ(window.topology(), topologyLayout(2));
}

TEST_F(ReadBackDisplay, GeneralReplyRestartsTheDeviceListAndStoresTheRecords) {
    config.TxPDOTable.cell(1, 1, 1) = QStringLiteral("&H181");
    config.DI_total = 9;
    config.DeviceOrder = {4, 5, 6};
    counters = {3, 3, 3, 3, 3, 3, 3, 3, 2};
    showGeneralReply(window, config, counters, twoDevices());

    EXPECT_EQ(counters, (ReadBackCounters{.flag = 2}));
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2}));
    EXPECT_TRUE(config.TxPDOTable.cell(1, 1, 1).isEmpty());
    EXPECT_EQ(config.DI_total, 0);
    EXPECT_EQ(config.NodeID[0], 0x21);
    EXPECT_EQ(config.NodeID[1], 0x7F);
    EXPECT_EQ(config.GuardTime[1], QStringLiteral("1000"));
    EXPECT_EQ(config.GuardTime[2], QStringLiteral("65535"));
    EXPECT_EQ(config.SDO_AI_count[0], 300);
    EXPECT_EQ(config.SDO_AO_count[1], 258);
    EXPECT_EQ(config.DO_count[0], 1);
    EXPECT_EQ(config.TxPDO_rows[1], 4);
    EXPECT_EQ(config.WriteSDO_rows[1], 1);
    EXPECT_EQ(config.TxPDO_rows[2], 200);
}

TEST_F(ReadBackDisplay, GeneralReplyShowsTheSerialSettings) {
    showGeneralReply(window, config, counters, twoDevices());
    EXPECT_EQ(text("ComPortCombo"), QStringLiteral("COM2"));
    EXPECT_EQ(text("BaudCombo"), QStringLiteral("57600"));
    EXPECT_EQ(text("DataBitCombo"), QStringLiteral("7"));
    EXPECT_EQ(text("ParityCombo"), QStringLiteral("Odd"));
    EXPECT_EQ(text("StopBitCombo"), QStringLiteral("2"));
    EXPECT_TRUE(window.ListenCheck->isChecked());
    EXPECT_EQ(config.ComPortCode, 2);
    EXPECT_EQ(config.BaudRateCode, 6);
    EXPECT_EQ(config.DataBitsCode, 1);
    EXPECT_EQ(config.ParityCode, 3);
    EXPECT_EQ(config.StopBitsCode, 2);
    EXPECT_EQ(config.ListenMode, 1);
}

// A bit-rate code outside the table shows nothing, but the bit-rate action still runs on what
// the combo box holds.
TEST_F(ReadBackDisplay, UnknownBitRateCodeKeepsTheShownRate) {
    choose(*window.baudrateCombo, QStringLiteral("500"));
    window.CANopenBaudRate = -1;
    GeneralReply reply = twoDevices();
    reply.canBitRateCode = 9;
    showGeneralReply(window, config, counters, reply);
    EXPECT_EQ(text("baudrateCombo"), QStringLiteral("500"));
    EXPECT_EQ(text("ShowLengthLabel"), QStringLiteral("100(m)=328(ft)"));
    EXPECT_EQ(window.CANopenBaudRate, 5);
}

struct SerialOutside {
    const char *name;
    quint8 SerialSettings::*field;
    quint8 code;
    quint8 GatewayConfig::*stored;
    const char *shown; // the value chosen before the reply, which stays
};

void PrintTo(const SerialOutside &c, std::ostream *os) {
    *os << c.name << " code " << static_cast<int>(c.code);
}

class SerialCodeOutsideItsTable : public ReadBackDisplay,
                                  public ::testing::WithParamInterface<SerialOutside> {};

TEST_P(SerialCodeOutsideItsTable, LeavesTheControlAndStoresTheCode) {
    const SerialOutside &c = GetParam();
    auto *combo = control<QComboBox>(window, QString::fromLatin1(c.name));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentText(QString::fromLatin1(c.shown));
    GeneralReply reply = twoDevices();
    reply.serial.*c.field = c.code;
    showGeneralReply(window, config, counters, reply);
    EXPECT_EQ(combo->currentText(), QString::fromLatin1(c.shown));
    EXPECT_EQ(config.*c.stored, c.code);
}

INSTANTIATE_TEST_SUITE_P(Codes, SerialCodeOutsideItsTable,
                         ::testing::Values(SerialOutside{"ParityCombo", &SerialSettings::parity, 0,
                                                         &GatewayConfig::ParityCode, "Even"},
                                           SerialOutside{"ParityCombo", &SerialSettings::parity, 4,
                                                         &GatewayConfig::ParityCode, "None"},
                                           SerialOutside{"ComPortCombo", &SerialSettings::comPort,
                                                         0, &GatewayConfig::ComPortCode, "COM1"},
                                           SerialOutside{"BaudCombo", &SerialSettings::baudRate, 8,
                                                         &GatewayConfig::BaudRateCode, "19200"},
                                           SerialOutside{"DataBitCombo", &SerialSettings::dataBits,
                                                         3, &GatewayConfig::DataBitsCode, "8"},
                                           SerialOutside{"StopBitCombo", &SerialSettings::stopBits,
                                                         0, &GatewayConfig::StopBitsCode, "1"}));

TEST_F(ReadBackDisplay, ListenModeOutsideZeroAndOneLeavesTheCheckBox) {
    window.ListenCheck->setChecked(true);
    GeneralReply reply = twoDevices();
    reply.serial.listen = 2;
    showGeneralReply(window, config, counters, reply);
    EXPECT_TRUE(window.ListenCheck->isChecked());
    EXPECT_EQ(config.ListenMode, 2);

    reply.serial.listen = 0;
    showGeneralReply(window, config, counters, reply);
    EXPECT_FALSE(window.ListenCheck->isChecked());
    EXPECT_EQ(config.ListenMode, 0);
}

// The serial ID travels as any byte, beyond the list's 1..64.
TEST_F(ReadBackDisplay, SerialIdOutsideTheListIsShown) {
    GeneralReply reply = twoDevices();
    reply.serialId = 200;
    showGeneralReply(window, config, counters, reply);
    EXPECT_EQ(text("KestoCombo"), QStringLiteral("200"));
}

} // namespace
} // namespace tolvar
