#include "WindowControls.h"

#include "network/MappingModules.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

QStringList itemsOf(const QComboBox &combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

QStringList numbers(int first, int last) {
    QStringList list;
    for (int value = first; value <= last; ++value)
        list << QString::number(value);
    return list;
}

class NetworkWindow : public ::testing::Test {
protected:
    GatewayConfig config;
    MappingModules window{config};
};

TEST_F(NetworkWindow, LoadsWithOneDeviceAndListenModeOff) {
    GatewayConfig fresh;
    fresh.ListenMode = 1;
    fresh.DO_total = 4;
    fresh.TxPDOTable.cell(1, 1, 1) = QStringLiteral("&H181");
    MappingModules loaded(fresh);
    EXPECT_EQ(loaded.windowTitle(), QStringLiteral("MappingModules"));
    EXPECT_EQ(loaded.objectName(), QStringLiteral("MappingModules"));
    EXPECT_EQ(fresh.ListenMode, 0);
    EXPECT_EQ(fresh.DO_total, 0);
    EXPECT_TRUE(fresh.TxPDOTable.cell(1, 1, 1).isEmpty());
    EXPECT_EQ(fresh.DeviceOrder, (PerDevice<qint16>{1}));
    EXPECT_EQ(loaded.deviceAmount(), 1);
    EXPECT_EQ(loaded.CANopenBaudRate, 0);
    EXPECT_EQ(loaded.DeviceNumber, 0);
}

struct ComboCase {
    const char *name;
    QStringList items;
    const char *text;
    bool enabled;
    bool editable;
};

void PrintTo(const ComboCase &c, std::ostream *os) {
    *os << c.name;
}

class InitialCombo : public NetworkWindow, public ::testing::WithParamInterface<ComboCase> {};

TEST_P(InitialCombo, OffersItsListAndText) {
    const ComboCase &c = GetParam();
    auto *combo = control<QComboBox>(window, QString::fromLatin1(c.name));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(itemsOf(*combo), c.items);
    EXPECT_EQ(combo->currentText(), QString::fromLatin1(c.text));
    EXPECT_EQ(combo->isEnabled(), c.enabled);
    EXPECT_EQ(combo->isEditable(), c.editable);
    EXPECT_FALSE(combo->accessibleName().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, InitialCombo,
    ::testing::Values(ComboCase{"baudrateCombo",
                                {"10", "20", "50", "125", "250", "500", "800", "1000"},
                                "10",
                                true,
                                false},
                      ComboCase{"SyncCombo", numbers(0, 255), "0", false, false},
                      ComboCase{"ComPortCombo", {"COM1", "COM2"}, "COM1", true, false},
                      ComboCase{
                          "BaudCombo",
                          {"115200", "57600", "38400", "19200", "9600", "4800", "2400", "1200"},
                          "9600",
                          true,
                          false},
                      ComboCase{"DataBitCombo", {"8"}, "8", true, true},
                      ComboCase{"ParityCombo", {"None", "Even", "Odd"}, "None", true, false},
                      ComboCase{"StopBitCombo", {"1", "2"}, "1", true, false},
                      ComboCase{"KestoCombo", numbers(1, 64), "1", true, true},
                      ComboCase{"DevicesNumCombo", numbers(1, 10), "1", true, false}));

struct TextCase {
    const char *name;
    const char *text;
    bool enabled;
};

void PrintTo(const TextCase &c, std::ostream *os) {
    *os << c.name;
}

class InitialTextBox : public NetworkWindow, public ::testing::WithParamInterface<TextCase> {};

TEST_P(InitialTextBox, ShowsItsTextAndIsNamed) {
    const TextCase &c = GetParam();
    auto *box = control<QLineEdit>(window, QString::fromLatin1(c.name));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QString::fromLatin1(c.text));
    EXPECT_EQ(box->isEnabled(), c.enabled);
    EXPECT_FALSE(box->accessibleName().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, InitialTextBox,
    ::testing::Values(TextCase{"SYCNTimeText", "0", false}, TextCase{"IPText1", "192", false},
                      TextCase{"IPText2", "168", false}, TextCase{"IPText3", "255", false},
                      TextCase{"IPText4", "3", false}, TextCase{"MaskText1", "255", false},
                      TextCase{"MaskText2", "255", false}, TextCase{"MaskText3", "0", false},
                      TextCase{"MaskText4", "0", false}, TextCase{"GatewayText1", "192", false},
                      TextCase{"GatewayText2", "168", false},
                      TextCase{"GatewayText3", "255", false},
                      TextCase{"GatewayText4", "4", false}));

struct CaptionCase {
    const char *name;
    const char *caption;
};

void PrintTo(const CaptionCase &c, std::ostream *os) {
    *os << c.name;
}

class InitialCaption : public NetworkWindow, public ::testing::WithParamInterface<CaptionCase> {};

QString captionOf(const QWidget &widget) {
    if (const auto *label = qobject_cast<const QLabel *>(&widget))
        return label->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(&widget))
        return frame->title();
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget))
        return button->text();
    return QStringLiteral("<no caption>");
}

TEST_P(InitialCaption, ShowsItsCaption) {
    const CaptionCase &c = GetParam();
    auto *widget = control<QWidget>(window, QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(captionOf(*widget), QString::fromLatin1(c.caption));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, InitialCaption,
    ::testing::Values(
        CaptionCase{"CANopenParam", "  CANopen Parameters "},
        CaptionCase{"BaudrateLabel", "Baud Rate (bps)"},
        CaptionCase{"LengthMAXLabel", "Length MAX (m)"},
        CaptionCase{"ShowLengthLabel", "5000(m)=16400(ft)"},
        CaptionCase{"NoteLabel", "Note : Repeater is needed every 1000(m)"},
        CaptionCase{"SYNCLabel", "SYNC (0~255)"}, CaptionCase{"SYNCTimeLabel", "SYNC Time (ms)"},
        CaptionCase{"SetingIPFrame", "Ethernet Parameters "}, CaptionCase{"IPLabel", "IP"},
        CaptionCase{"MaskLabel", "MASK"}, CaptionCase{"GetewayLabel", "Gateway"},
        CaptionCase{"TolvarFrame1", "Tolvar Parameters"},
        CaptionCase{"ListenCheck", "   Listen mode"}, CaptionCase{"Label1", "Device Amount"},
        CaptionCase{"SaveCommand", "Save All Setting"}));

TEST_F(NetworkWindow, CheckBoxesStartUnchecked) {
    for (const char *name : {"IPCheck", "MaskCheck", "GatewayCheck", "ListenCheck"}) {
        auto *check = control<QCheckBox>(window, QString::fromLatin1(name));
        ASSERT_NE(check, nullptr);
        EXPECT_FALSE(check->isChecked()) << name;
        EXPECT_FALSE(check->accessibleName().isEmpty()) << name;
    }
}

TEST_F(NetworkWindow, LabelsNameTheirControls) {
    const std::pair<const char *, const char *> pairs[] = {{"BaudrateLabel", "baudrateCombo"},
                                                           {"SYNCLabel", "SyncCombo"},
                                                           {"SYNCTimeLabel", "SYCNTimeText"},
                                                           {"Label1", "DevicesNumCombo"},
                                                           {"IPLabel", "IPText1"},
                                                           {"MaskLabel", "MaskText1"},
                                                           {"GetewayLabel", "GatewayText1"}};
    for (const auto &[labelName, controlName] : pairs) {
        auto *label = control<QLabel>(window, QString::fromLatin1(labelName));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), control<QWidget>(window, QString::fromLatin1(controlName)))
            << labelName;
    }
    EXPECT_EQ(control<QComboBox>(window, QStringLiteral("KestoCombo"))->accessibleName(),
              QStringLiteral("ID"));
}

struct BitRateCase {
    const char *text;
    qint16 code;
    const char *cableLength;
};

void PrintTo(const BitRateCase &c, std::ostream *os) {
    *os << c.text;
}

class BitRateChoice : public NetworkWindow, public ::testing::WithParamInterface<BitRateCase> {};

TEST_P(BitRateChoice, SetsCodeAndCableLength) {
    const BitRateCase &c = GetParam();
    window.CANopenBaudRate = -1;
    choose(*window.baudrateCombo, QString::fromLatin1(c.text));
    EXPECT_EQ(window.CANopenBaudRate, c.code);
    EXPECT_EQ(control<QLabel>(window, QStringLiteral("ShowLengthLabel"))->text(),
              QString::fromLatin1(c.cableLength));
}

INSTANTIATE_TEST_SUITE_P(AllRates, BitRateChoice,
                         ::testing::Values(BitRateCase{"10", 0, "5000(m)=16400(ft)"},
                                           BitRateCase{"20", 1, "2500(m)=8200(ft)"},
                                           BitRateCase{"50", 2, "1000(m)=3280(ft)"},
                                           BitRateCase{"125", 3, "500(m)=1640(ft)"},
                                           BitRateCase{"250", 4, "250(m)=820(ft)"},
                                           BitRateCase{"500", 5, "100(m)=328(ft)"},
                                           BitRateCase{"800", 6, "50(m)=164(ft)"},
                                           BitRateCase{"1000", 7, "25(m)=82(ft)"}));

// A rate outside the table, as a text the read-back could leave, changes nothing.
TEST_F(NetworkWindow, BitRateOutsideTheTableChangesNothing) {
    choose(*window.baudrateCombo, QStringLiteral("125"));
    window.baudrateCombo->setEditable(true);
    window.baudrateCombo->setEditText(QStringLiteral("100"));
    window.baudrateCombo_Click();
    EXPECT_EQ(window.CANopenBaudRate, 3);
    EXPECT_EQ(window.ShowLengthLabel->text(), QStringLiteral("500(m)=1640(ft)"));
}

struct SerialChoiceCase {
    const char *combo;
    const char *text;
    quint8 GatewayConfig::*field;
    quint8 code;
};

void PrintTo(const SerialChoiceCase &c, std::ostream *os) {
    *os << c.combo << " \"" << c.text << '"';
}

class SerialChoice : public NetworkWindow,
                     public ::testing::WithParamInterface<SerialChoiceCase> {};

TEST_P(SerialChoice, StoresTheCodeOfTheChosenText) {
    const SerialChoiceCase &c = GetParam();
    config.*c.field = 99;
    choose(*control<QComboBox>(window, QString::fromLatin1(c.combo)), QString::fromLatin1(c.text));
    EXPECT_EQ(config.*c.field, c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Combos, SerialChoice,
    ::testing::Values(SerialChoiceCase{"ComPortCombo", "COM1", &GatewayConfig::ComPortCode, 1},
                      SerialChoiceCase{"ComPortCombo", "COM2", &GatewayConfig::ComPortCode, 2},
                      SerialChoiceCase{"BaudCombo", "115200", &GatewayConfig::BaudRateCode, 7},
                      SerialChoiceCase{"BaudCombo", "57600", &GatewayConfig::BaudRateCode, 6},
                      SerialChoiceCase{"BaudCombo", "38400", &GatewayConfig::BaudRateCode, 5},
                      SerialChoiceCase{"BaudCombo", "19200", &GatewayConfig::BaudRateCode, 4},
                      SerialChoiceCase{"BaudCombo", "9600", &GatewayConfig::BaudRateCode, 3},
                      SerialChoiceCase{"BaudCombo", "4800", &GatewayConfig::BaudRateCode, 2},
                      SerialChoiceCase{"BaudCombo", "2400", &GatewayConfig::BaudRateCode, 1},
                      SerialChoiceCase{"BaudCombo", "1200", &GatewayConfig::BaudRateCode, 0},
                      SerialChoiceCase{"DataBitCombo", "8", &GatewayConfig::DataBitsCode, 2},
                      // Not in the list, but shown by the read-back and then confirmed.
                      SerialChoiceCase{"DataBitCombo", "7", &GatewayConfig::DataBitsCode, 1},
                      // Typed text outside the table keeps the code.
                      SerialChoiceCase{"DataBitCombo", "9", &GatewayConfig::DataBitsCode, 99},
                      SerialChoiceCase{"ParityCombo", "None", &GatewayConfig::ParityCode, 1},
                      SerialChoiceCase{"ParityCombo", "Even", &GatewayConfig::ParityCode, 2},
                      SerialChoiceCase{"ParityCombo", "Odd", &GatewayConfig::ParityCode, 3},
                      SerialChoiceCase{"StopBitCombo", "1", &GatewayConfig::StopBitsCode, 1},
                      SerialChoiceCase{"StopBitCombo", "2", &GatewayConfig::StopBitsCode, 2}));

TEST_F(NetworkWindow, ListenCheckSetsListenMode) {
    window.ListenCheck->click();
    EXPECT_EQ(config.ListenMode, 1);
    window.ListenCheck->click();
    EXPECT_EQ(config.ListenMode, 0);
}

struct SyncTimeCase {
    const char *typed;
    const char *kept;
};

void PrintTo(const SyncTimeCase &c, std::ostream *os) {
    *os << '"' << c.typed << '"';
}

class SyncTime : public NetworkWindow, public ::testing::WithParamInterface<SyncTimeCase> {};

TEST_P(SyncTime, KeepsDigitsAndPointOnly) {
    const SyncTimeCase &c = GetParam();
    window.SYCNTimeText->setText(QString::fromLatin1(c.typed));
    EXPECT_EQ(window.SYCNTimeText->text(), QString::fromLatin1(c.kept));
}

INSTANTIATE_TEST_SUITE_P(Texts, SyncTime,
                         ::testing::Values(SyncTimeCase{"12a", ""}, SyncTimeCase{"12.5", "12.5"},
                                           SyncTimeCase{"250", "250"}, SyncTimeCase{"-5", ""},
                                           SyncTimeCase{" 5", ""}, SyncTimeCase{"", ""}));

// Each check box enables exactly the four boxes of its own row.
class AddressRowCheck : public NetworkWindow, public ::testing::WithParamInterface<int> {};

TEST_P(AddressRowCheck, EnablesOnlyItsRow) {
    const std::array<QCheckBox *, 3> checks{window.IPCheck, window.MaskCheck, window.GatewayCheck};
    const std::array<std::array<QLineEdit *, 4>, 3> rows{window.IPText, window.MaskText,
                                                         window.GatewayText};
    const int chosen = GetParam();
    const auto expectEnabled = [&](bool on) {
        for (int r = 0; r < 3; ++r) {
            for (QLineEdit *box : rows[static_cast<std::size_t>(r)])
                EXPECT_EQ(box->isEnabled(), on && r == chosen) << box->objectName().toStdString();
        }
    };
    checks[static_cast<std::size_t>(chosen)]->click();
    expectEnabled(true);
    checks[static_cast<std::size_t>(chosen)]->click();
    expectEnabled(false);
}

INSTANTIATE_TEST_SUITE_P(Rows, AddressRowCheck, ::testing::Values(0, 1, 2));

TEST_F(NetworkWindow, DeviceAmountListsDevicesAndClearsTables) {
    config.TxPDOTable.cell(2, 5, 4) = QStringLiteral("P_DI 1");
    config.SDO_AO_total = 3;
    config.TxPDO_rows[2] = 5;
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2, 3}));
    EXPECT_TRUE(config.TxPDOTable.cell(2, 5, 4).isEmpty());
    EXPECT_EQ(config.SDO_AO_total, 0);
    EXPECT_EQ(config.TxPDO_rows[2], 5);
    EXPECT_EQ(window.deviceAmount(), 3);
}

TEST_F(NetworkWindow, SaveCommandAsksForTheDownload) {
    int requests = 0;
    QObject::connect(&window, &MappingModules::saveRequested, [&requests] { ++requests; });
    window.SaveCommand->click();
    EXPECT_EQ(requests, 1);
}

TEST_F(NetworkWindow, ClosingOnlyHides) {
    choose(*window.DevicesNumCombo, QStringLiteral("4"));
    window.show();
    window.close();
    EXPECT_TRUE(window.isHidden());
    window.show();
    EXPECT_EQ(window.deviceAmount(), 4);
}

} // namespace
} // namespace tolvar
