// Building the controls of the network parameters window.
#include "network/MappingModules.h"

#include "common/WindowPlacement.h"
#include "network/TopologyView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tolvar {
namespace {

constexpr int kOctetBoxWidth = 40;
constexpr int kSyncValues = 256;
constexpr int kSerialIds = 64;

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QComboBox *makeCombo(QWidget *parent, const QString &name, const QStringList &items,
                     const QString &text) {
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setCurrentText(text);
    return combo;
}

QStringList numbersFrom(int first, int last) {
    QStringList numbers;
    for (int value = first; value <= last; ++value)
        numbers << QString::number(value);
    return numbers;
}

QLineEdit *makeTextBox(QWidget *parent, const QString &name, const QString &text) {
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    return box;
}

// A label and its control side by side in a grid; the label names the control.
void addLabelled(QGridLayout &grid, int row, int column, QLabel *label, QWidget *control) {
    labelControl(*label, *control);
    grid.addWidget(label, row, column);
    grid.addWidget(control, row, column + 1);
}

// One row of the Ethernet frame: caption, four octet boxes and the check box that enables them.
struct AddressRow {
    const char *caption;
    const char *labelName;
    const char *boxName;
    const char *checkName;
    std::array<const char *, 4> octets;
};

QCheckBox *addAddressRow(QGridLayout &grid, int row, const AddressRow &address,
                         std::array<QLineEdit *, 4> &boxes) {
    QWidget *frame = grid.parentWidget();
    const QString caption = QString::fromLatin1(address.caption);
    QLabel *label = makeLabel(frame, QString::fromLatin1(address.labelName), caption);
    grid.addWidget(label, row, 0);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const int octet = static_cast<int>(i) + 1;
        QLineEdit *box = makeTextBox(
            frame, QStringLiteral("%1%2").arg(QLatin1String(address.boxName)).arg(octet),
            QString::fromLatin1(address.octets[i]));
        box->setEnabled(false);
        box->setFixedWidth(kOctetBoxWidth);
        box->setAccessibleName(QStringLiteral("%1 %2").arg(caption).arg(octet));
        grid.addWidget(box, row, octet);
        boxes[i] = box;
    }
    label->setBuddy(boxes[0]);
    auto *check = new QCheckBox(frame);
    check->setObjectName(QString::fromLatin1(address.checkName));
    check->setAccessibleName(QStringLiteral("Write %1").arg(caption));
    check->setToolTip(check->accessibleName());
    grid.addWidget(check, row, 5);
    return check;
}

} // namespace

void MappingModules::buildControls() {
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    m_picture = new TopologyView(this);
    DevicesNumCombo = m_picture->devicesNumCombo();
    labelControl(*m_picture->amountLabel(), *DevicesNumCombo);
    window->addWidget(m_picture);
    window->addWidget(buildParameters());
}

QWidget *MappingModules::buildParameters() {
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->addWidget(buildCanOpenFrame());
    column->addWidget(buildEthernetFrame());
    column->addWidget(buildSerialFrame());
    SaveCommand = new QPushButton(QStringLiteral("Save All Setting"), panel);
    SaveCommand->setObjectName(QStringLiteral("SaveCommand"));
    SaveCommand->setAccessibleName(SaveCommand->text());
    column->addWidget(SaveCommand);
    column->addStretch();
    return panel;
}

QGroupBox *MappingModules::buildCanOpenFrame() {
    CANopenParam = new QGroupBox(QStringLiteral("  CANopen Parameters "), this);
    CANopenParam->setObjectName(QStringLiteral("CANopenParam"));
    auto *grid = new QGridLayout(CANopenParam);

    baudrateCombo = makeCombo(CANopenParam, QStringLiteral("baudrateCombo"),
                              {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("50"),
                               QStringLiteral("125"), QStringLiteral("250"), QStringLiteral("500"),
                               QStringLiteral("800"), QStringLiteral("1000")},
                              QStringLiteral("10"));
    addLabelled(
        *grid, 0, 0,
        makeLabel(CANopenParam, QStringLiteral("BaudrateLabel"), QStringLiteral("Baud Rate (bps)")),
        baudrateCombo);

    ShowLengthLabel = makeLabel(CANopenParam, QStringLiteral("ShowLengthLabel"),
                                QStringLiteral("5000(m)=16400(ft)"));
    // A display label: screen readers read the length it shows, not the caption beside it.
    grid->addWidget(
        makeLabel(CANopenParam, QStringLiteral("LengthMAXLabel"), QStringLiteral("Length MAX (m)")),
        1, 0);
    grid->addWidget(ShowLengthLabel, 1, 1);
    grid->addWidget(makeLabel(CANopenParam, QStringLiteral("NoteLabel"),
                              QStringLiteral("Note : Repeater is needed every 1000(m)")),
                    2, 0, 1, 2);

    SyncCombo = makeCombo(CANopenParam, QStringLiteral("SyncCombo"),
                          numbersFrom(0, kSyncValues - 1), QStringLiteral("0"));
    SyncCombo->setEnabled(false);
    addLabelled(
        *grid, 3, 0,
        makeLabel(CANopenParam, QStringLiteral("SYNCLabel"), QStringLiteral("SYNC (0~255)")),
        SyncCombo);

    SYCNTimeText = makeTextBox(CANopenParam, QStringLiteral("SYCNTimeText"), QStringLiteral("0"));
    SYCNTimeText->setEnabled(false);
    addLabelled(
        *grid, 4, 0,
        makeLabel(CANopenParam, QStringLiteral("SYNCTimeLabel"), QStringLiteral("SYNC Time (ms)")),
        SYCNTimeText);
    grid->setColumnStretch(1, 1);
    return CANopenParam;
}

QGroupBox *MappingModules::buildEthernetFrame() {
    SetingIPFrame = new QGroupBox(QStringLiteral("Ethernet Parameters "), this);
    SetingIPFrame->setObjectName(QStringLiteral("SetingIPFrame"));
    auto *grid = new QGridLayout(SetingIPFrame);
    IPCheck = addAddressRow(
        *grid, 0, {"IP", "IPLabel", "IPText", "IPCheck", {"192", "168", "255", "3"}}, IPText);
    MaskCheck = addAddressRow(
        *grid, 1, {"MASK", "MaskLabel", "MaskText", "MaskCheck", {"255", "255", "0", "0"}},
        MaskText);
    GatewayCheck = addAddressRow(
        *grid, 2,
        {"Gateway", "GetewayLabel", "GatewayText", "GatewayCheck", {"192", "168", "255", "4"}},
        GatewayText);
    grid->setColumnStretch(6, 1);
    return SetingIPFrame;
}

QGroupBox *MappingModules::buildSerialFrame() {
    TolvarFrame1 = new QGroupBox(QStringLiteral("Tolvar Parameters"), this);
    TolvarFrame1->setObjectName(QStringLiteral("TolvarFrame1"));
    auto *grid = new QGridLayout(TolvarFrame1);
    QWidget *frame = TolvarFrame1;

    ComPortCombo =
        makeCombo(frame, QStringLiteral("ComPortCombo"),
                  {QStringLiteral("COM1"), QStringLiteral("COM2")}, QStringLiteral("COM1"));
    addLabelled(*grid, 0, 0,
                makeLabel(frame, QStringLiteral("ComPortLabel"), QStringLiteral(" Com Port")),
                ComPortCombo);
    BaudCombo = makeCombo(frame, QStringLiteral("BaudCombo"),
                          {QStringLiteral("115200"), QStringLiteral("57600"),
                           QStringLiteral("38400"), QStringLiteral("19200"), QStringLiteral("9600"),
                           QStringLiteral("4800"), QStringLiteral("2400"), QStringLiteral("1200")},
                          QStringLiteral("9600"));
    addLabelled(*grid, 0, 2,
                makeLabel(frame, QStringLiteral("BaudLabel"), QStringLiteral("Baudrate")),
                BaudCombo);

    // The read-back may show a data-bits value the list does not offer.
    DataBitCombo = makeCombo(frame, QStringLiteral("DataBitCombo"), {QStringLiteral("8")},
                             QStringLiteral("8"));
    makeEditable(*DataBitCombo);
    addLabelled(*grid, 1, 0,
                makeLabel(frame, QStringLiteral("DataBitLabel"), QStringLiteral("DATA Bit")),
                DataBitCombo);
    ParityCombo = makeCombo(frame, QStringLiteral("ParityCombo"),
                            {QStringLiteral("None"), QStringLiteral("Even"), QStringLiteral("Odd")},
                            QStringLiteral("None"));
    addLabelled(*grid, 1, 2,
                makeLabel(frame, QStringLiteral("ParityLabel"), QStringLiteral("Parity")),
                ParityCombo);

    StopBitCombo = makeCombo(frame, QStringLiteral("StopBitCombo"),
                             {QStringLiteral("1"), QStringLiteral("2")}, QStringLiteral("1"));
    addLabelled(*grid, 2, 0,
                makeLabel(frame, QStringLiteral("StopBitLabel"), QStringLiteral("STOP Bit")),
                StopBitCombo);
    // The read-back shows any byte here, not only 1..64.
    KestoCombo = makeCombo(frame, QStringLiteral("KestoCombo"), numbersFrom(1, kSerialIds),
                           QStringLiteral("1"));
    makeEditable(*KestoCombo);
    addLabelled(*grid, 2, 2, makeLabel(frame, QStringLiteral("KestoLabel"), QStringLiteral(" ID ")),
                KestoCombo);

    ListenCheck = new QCheckBox(QStringLiteral("   Listen mode"), frame);
    ListenCheck->setObjectName(QStringLiteral("ListenCheck"));
    ListenCheck->setAccessibleName(ListenCheck->text().trimmed());
    grid->addWidget(ListenCheck, 3, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return TolvarFrame1;
}

} // namespace tolvar
