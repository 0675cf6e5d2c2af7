#include "WindowControls.h"

#include "network/MappingModules.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <string>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;
using testing::shownText;

// Lists of consecutive numbers are written as a range, so long lists stay readable.
QString itemsOf(const QComboBox &combo) {
    QStringList items;
    const int first = combo.itemText(0).toInt();
    bool range = combo.count() > 2;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
        range = range && items.last() == QString::number(first + i);
    }
    return range ? items.first() + QStringLiteral("..") + items.last() : items.join(u',');
}

// A control as the user meets it: what it shows and offers, its state, and what names it.
QString describe(const QWidget &widget) {
    QString state = u'\'' + shownText(widget) + u'\'';
    const auto *combo = qobject_cast<const QComboBox *>(&widget);
    const auto *label = qobject_cast<const QLabel *>(&widget);
    if (combo)
        state += QStringLiteral(" of ") + itemsOf(*combo) +
                 (combo->isEditable() ? QStringLiteral(" editable") : QString());
    if (label && label->buddy())
        state += QStringLiteral(" names ") + label->buddy()->objectName();
    if (const auto *check = qobject_cast<const QCheckBox *>(&widget))
        state += check->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
    if (!widget.isEnabled())
        state += QStringLiteral(" off");
    if (!label && !qobject_cast<const QGroupBox *>(&widget) && widget.accessibleName().isEmpty())
        state += QStringLiteral(" unnamed");
    if (combo && combo->lineEdit() &&
        combo->lineEdit()->accessibleName() != combo->accessibleName())
        state += QStringLiteral(" text field unnamed");
    // A display label speaks what it shows.
    if (label && !label->accessibleName().isEmpty() && label->accessibleName() != label->text())
        state += QStringLiteral(" speaks '") + label->accessibleName() + u'\'';
    return state;
}

class NetworkWindow : public ::testing::Test {
protected:
    GatewayConfig config;
    MappingModules window{config};
};

// One row of the window per line: its controls' texts, offered items, states and names.
TEST_F(NetworkWindow, ControlsStartAsDrawn) {
    EXPECT_EQ(window.objectName(), QStringLiteral("MappingModules"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("MappingModules"));
    const std::pair<const char *, const char *> rows[] = {
        {"CANopenParam", "'  CANopen Parameters '"},
        {"BaudrateLabel baudrateCombo",
         "'Baud Rate (bps)' names baudrateCombo | '10' of 10,20,50,125,250,500,800,1000"},
        {"LengthMAXLabel ShowLengthLabel", "'Length MAX (m)' | '5000(m)=16400(ft)'"},
        {"NoteLabel", "'Note : Repeater is needed every 1000(m)'"},
        {"SYNCLabel SyncCombo", "'SYNC (0~255)' names SyncCombo | '0' of 0..255 off"},
        {"SYNCTimeLabel SYCNTimeText", "'SYNC Time (ms)' names SYCNTimeText | '0' off"},
        {"SetingIPFrame", "'Ethernet Parameters '"},
        {"IPLabel IPText1 IPText2 IPText3 IPText4 IPCheck",
         "'IP' names IPText1 | '192' off | '168' off | '255' off | '3' off | '' [ ]"},
        {"MaskLabel MaskText1 MaskText2 MaskText3 MaskText4 MaskCheck",
         "'MASK' names MaskText1 | '255' off | '255' off | '0' off | '0' off | '' [ ]"},
        {"GetewayLabel GatewayText1 GatewayText2 GatewayText3 GatewayText4 GatewayCheck",
         "'Gateway' names GatewayText1 | '192' off | '168' off | '255' off | '4' off | '' [ ]"},
        {"TolvarFrame1", "'Tolvar Parameters'"},
        {"ComPortLabel ComPortCombo BaudLabel BaudCombo",
         "' Com Port' names ComPortCombo | 'COM1' of COM1,COM2 | 'Baudrate' names BaudCombo | "
         "'9600' of 115200,57600,38400,19200,9600,4800,2400,1200"},
        {"DataBitLabel DataBitCombo ParityLabel ParityCombo",
         "'DATA Bit' names DataBitCombo | '8' of 8 editable | 'Parity' names ParityCombo | "
         "'None' of None,Even,Odd"},
        {"StopBitLabel StopBitCombo KestoLabel KestoCombo",
         "'STOP Bit' names StopBitCombo | '1' of 1,2 | ' ID ' names KestoCombo | "
         "'1' of 1..64 editable"},
        {"ListenCheck", "'   Listen mode' [ ]"},
        {"Label1 DevicesNumCombo", "'Device Amount' names DevicesNumCombo | '1' of 1..10"},
        {"SaveCommand", "'Save All Setting'"}};
    for (const auto &[names, drawn] : rows) {
        QStringList shown;
        for (const QString &name : QString::fromLatin1(names).split(u' ')) {
            const auto *widget = window.findChild<QWidget *>(name);
            shown << (widget ? describe(*widget) : QStringLiteral("<missing>"));
        }
        EXPECT_EQ(shown.join(QStringLiteral(" | ")).toStdString(), drawn);
    }
}

// Opening lists one device; a new amount empties the tables and totals but keeps row counts.
TEST(NetworkWindowDevices, OpeningListsOneDeviceAndAmountThreeListsThree) {
    GatewayConfig config;
    config.ListenMode = 1;
    config.TxPDOTable.cell(1, 1, 1) = QStringLiteral("&H181");
    MappingModules window(config);
    EXPECT_EQ(config.ListenMode, 0);
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1}));
    EXPECT_TRUE(config.TxPDOTable.cell(1, 1, 1).isEmpty());
    config.TxPDOTable.cell(2, 5, 4) = QStringLiteral("P_DI 1");
    config.SDO_AO_total = 3;
    config.TxPDO_rows[2] = 5;
    choose(*window.DevicesNumCombo, QStringLiteral("3"));
    EXPECT_EQ(config.DeviceOrder, (PerDevice<qint16>{1, 2, 3}));
    EXPECT_TRUE(config.TxPDOTable.cell(2, 5, 4).isEmpty());
    EXPECT_EQ(config.SDO_AO_total, 0);
    EXPECT_EQ(config.TxPDO_rows[2], 5);
}

// Every rate of the list sets its code and cable length; a rate outside the table, as a text the
// read-back could leave, changes nothing.
TEST_F(NetworkWindow, BitRateSetsCodeAndCableLength) {
    const char *lengths[] = {"5000(m)=16400(ft)", "2500(m)=8200(ft)", "1000(m)=3280(ft)",
                             "500(m)=1640(ft)",   "250(m)=820(ft)",   "100(m)=328(ft)",
                             "50(m)=164(ft)",     "25(m)=82(ft)"};
    for (int code = 7; code >= 0; --code) {
        choose(*window.baudrateCombo, window.baudrateCombo->itemText(code));
        EXPECT_EQ(window.CANopenBaudRate, code);
        EXPECT_EQ(window.ShowLengthLabel->text(), QString::fromLatin1(lengths[code]));
    }
    window.baudrateCombo->setEditable(true);
    window.baudrateCombo->setEditText(QStringLiteral("100"));
    window.baudrateCombo_Click();
    EXPECT_EQ(window.CANopenBaudRate, 0);
    EXPECT_EQ(window.ShowLengthLabel->text(), QString::fromLatin1(lengths[0]));
}

// Every item stores its code. "7" is not in the data bits list but the read-back shows it, and it
// is then confirmed; a typed "9" is outside the table and keeps the code.
TEST_F(NetworkWindow, SerialChoiceStoresItsCode) {
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

// Each "write" check box switches the four boxes of its own row, and only those.
TEST_F(NetworkWindow, EachCheckEnablesOnlyItsRow) {
    const char *rows[] = {"IP", "Mask", "Gateway"};
    for (const char *row : rows) {
        auto *check = control<QCheckBox>(window, QLatin1String(row) + QStringLiteral("Check"));
        for (bool on : {true, false}) {
            check->click();
            for (const char *other : rows) {
                for (int octet = 1; octet <= 4; ++octet) {
                    const auto name =
                        QStringLiteral("%1Text%2").arg(QLatin1String(other)).arg(octet);
                    EXPECT_EQ(control<QLineEdit>(window, name)->isEnabled(), on && other == row)
                        << row << " " << name.toStdString();
                }
            }
        }
    }
}

// SYNC time keeps numbers only; listen mode reaches the model, Save asks once, Close hides.
TEST_F(NetworkWindow, SyncTimeListenSaveAndClose) {
    window.SYCNTimeText->setText(QStringLiteral("12a"));
    EXPECT_EQ(window.SYCNTimeText->text(), QString());
    window.SYCNTimeText->setText(QStringLiteral("12.5"));
    EXPECT_EQ(window.SYCNTimeText->text(), QStringLiteral("12.5"));
    int saveRequests = 0;
    QObject::connect(&window, &MappingModules::saveRequested, [&saveRequests] { ++saveRequests; });
    window.ListenCheck->click();
    EXPECT_EQ(config.ListenMode, 1);
    window.SaveCommand->click();
    EXPECT_EQ(saveRequests, 1);
    window.show();
    window.close();
    EXPECT_TRUE(window.isHidden());
}

// Ten devices make the window tall; it moves up so that "Save All Setting" stays on screen.
TEST_F(NetworkWindow, TenDevicesKeepSaveAllSettingOnTheScreen) {
    window.show();
    const QRect screen = window.screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1920, 1080));
    EXPECT_NEAR(window.geometry().center().x(), screen.center().x(), 4); // opens centred
    choose(*window.DevicesNumCombo, QStringLiteral("10"));
    const QRect save(window.SaveCommand->mapToGlobal(QPoint(0, 0)), window.SaveCommand->size());
    EXPECT_TRUE(screen.contains(save)) << save.y() << "+" << save.height();
    EXPECT_GE(window.frameGeometry().top(), screen.top());
}

} // namespace
} // namespace tolvar
