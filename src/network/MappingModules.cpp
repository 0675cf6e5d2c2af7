#include "network/MappingModules.h"

#include "devices/TextChecks.h"
#include "common/WindowPlacement.h"
#include "model/NumericText.h"
#include "network/CanBitRates.h"
#include "network/DeviceList.h"
#include "network/TopologyView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

// The images live in the windows library; a static library must register them itself.
static void loadImages() {
    Q_INIT_RESOURCE(tolvar_images);
}

namespace tolvar {

MappingModules::MappingModules(GatewayConfig &config, QWidget *parent)
    : QWidget(parent), m_config(config) {
    loadImages();
    setObjectName(QStringLiteral("MappingModules"));
    setWindowTitle(QStringLiteral("MappingModules"));
    buildControls();
    connectHandlers();
    m_config.ListenMode = 0;
    DevicesNumCombo_Click();
    // Centred once the picture has given the window its width.
    centreOnScreen(*this);
}

MappingModules::~MappingModules() = default;

void MappingModules::connectSerialCombo(QComboBox *combo, void (MappingModules::*handler)()) {
    connect(combo, &QComboBox::activated, this, handler);
}

// Check boxes follow their value, also when code sets it, as the read-back does.
void MappingModules::connectHandlers() {
    connect(baudrateCombo, &QComboBox::activated, this, &MappingModules::baudrateCombo_Click);
    connect(DevicesNumCombo, &QComboBox::activated, this, &MappingModules::DevicesNumCombo_Chosen);
    connect(SYCNTimeText, &QLineEdit::textChanged, this, &MappingModules::SYCNTimeText_Change);
    connectSerialCombo(BaudCombo, &MappingModules::BaudCombo_Click);
    connectSerialCombo(ComPortCombo, &MappingModules::ComPortCombo_Click);
    connectSerialCombo(DataBitCombo, &MappingModules::DataBitCombo_Click);
    connectSerialCombo(ParityCombo, &MappingModules::ParityCombo_Click);
    connectSerialCombo(StopBitCombo, &MappingModules::StopBitCombo_Click);
    connect(ListenCheck, &QCheckBox::toggled, this, &MappingModules::ListenCheck_Click);
    connect(IPCheck, &QCheckBox::toggled, this, &MappingModules::IPCheck_Click);
    connect(MaskCheck, &QCheckBox::toggled, this, &MappingModules::MaskCheck_Click);
    connect(GatewayCheck, &QCheckBox::toggled, this, &MappingModules::GatewayCheck_Click);
    connect(m_picture, &TopologyView::commButtClicked, this, &MappingModules::CommButt_Click);
    connect(SaveCommand, &QPushButton::clicked, this, &MappingModules::SaveCommand_Click);
    reportEdits();
}

namespace {
// The window's own text boxes; the boxes inside editable lists speak for their lists.
QList<QLineEdit *> ownBoxes(const QWidget &window) {
    QList<QLineEdit *> boxes = window.findChildren<QLineEdit *>();
    boxes.removeIf([](const QLineEdit *box) { return qobject_cast<QComboBox *>(box->parent()); });
    return boxes;
}
} // namespace

// After its handler has run, every user change of a control is reported as one step.
void MappingModules::reportEdits() {
    const auto labelOf = [](const QWidget *control) {
        return control->accessibleName().isEmpty() ? control->objectName()
                                                   : control->accessibleName();
    };
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        if (combo != DevicesNumCombo)
            connect(combo, &QComboBox::activated, this,
                    [this, combo, labelOf] { emit edited(labelOf(combo), {}); });
    }
    for (QCheckBox *check : findChildren<QCheckBox *>())
        connect(check, &QCheckBox::clicked, this,
                [this, check, labelOf] { emit edited(labelOf(check), {}); });
    for (QLineEdit *box : ownBoxes(*this))
        connect(box, &QLineEdit::textEdited, this,
                [this, box, labelOf] { emit edited(labelOf(box), box->objectName()); });
}

// A choice of the user clears every table: asked first when there is something to lose, and
// the counts go with the entries.
void MappingModules::DevicesNumCombo_Chosen() {
    if (DevicesNumCombo->currentText() == m_listedAmount)
        return;
    if (hasTableEntries(m_config) && !mayClearTables()) {
        DevicesNumCombo->setCurrentText(m_listedAmount);
        return;
    }
    DevicesNumCombo_Click();
    clearEntryCounts(m_config);
    emit edited(QStringLiteral("Device Amount %1").arg(DevicesNumCombo->currentText()), {});
}

bool MappingModules::mayClearTables() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Device Amount"),
                    QStringLiteral("Changing the device amount clears the tables of every device. "
                                   "Continue?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("DeviceAmountBox"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

ControlValues MappingModules::controlValues() const {
    ControlValues values;
    for (const QComboBox *combo : findChildren<QComboBox *>())
        values.emplace_back(combo->objectName(), combo->currentText());
    for (const QLineEdit *box : ownBoxes(*this))
        values.emplace_back(box->objectName(), box->text());
    for (const QCheckBox *check : findChildren<QCheckBox *>())
        values.emplace_back(check->objectName(),
                            check->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    return values;
}

// Texts are set without their handlers: the model already holds what they would store. Check
// boxes run theirs, which only enable their rows (and set the listen mode the model holds).
void MappingModules::showControlValues(const ControlValues &values) {
    for (const auto &[name, value] : values) {
        if (auto *combo = findChild<QComboBox *>(name)) {
            combo->setCurrentText(value);
        } else if (auto *box = findChild<QLineEdit *>(name)) {
            QSignalBlocker quiet(box);
            box->setText(value);
        } else if (auto *check = findChild<QCheckBox *>(name)) {
            check->setChecked(value == u"1");
        }
        if (name == DevicesNumCombo->objectName()) {
            m_listedAmount = value;
            m_picture->redraw(deviceAmount());
            fitToPicture();
        }
    }
    baudrateCombo_Click();
}

void MappingModules::baudrateCombo_Click() {
    const auto rate = canBitRateByValue(readNumber(baudrateCombo->currentText()));
    if (!rate)
        return;
    CANopenBaudRate = rate->code;
    ShowLengthLabel->setText(rate->cableLength);
}

// A new amount starts the device list afresh: every table entered so far is discarded.
void MappingModules::DevicesNumCombo_Click() {
    const int amount = deviceAmount();
    m_listedAmount = DevicesNumCombo->currentText();
    changeDeviceAmount(m_config, amount);
    m_picture->redraw(amount);
    fitToPicture();
    emit deviceListReset();
}

// The window is as wide as the picture and as tall as picture and parameters together; grown,
// it moves up so that "Save All Setting" stays on the screen.
void MappingModules::fitToPicture() {
    setFixedSize(m_picture->width(), layout()->sizeHint().height());
    if (isVisible())
        keepOnScreen(*this);
}

void MappingModules::SYCNTimeText_Change() {
    if (CheckNumericText(SYCNTimeText->text()) == kErrorValue)
        SYCNTimeText->clear();
}

int MappingModules::deviceAmount() const {
    return static_cast<int>(readWholeNumber(DevicesNumCombo->currentText()));
}

const TopologyLayout &MappingModules::topology() const {
    return m_picture->layout();
}

// Closing only hides the window; its values stay for the download.
void MappingModules::closeEvent(QCloseEvent *event) {
    event->ignore();
    hide();
}

void MappingModules::storeSerialCode(const QComboBox &combo, SerialSetting setting, quint8 &code) {
    if (const auto chosen = serialCode(setting, combo.currentText()))
        code = *chosen;
}

void MappingModules::BaudCombo_Click() {
    storeSerialCode(*BaudCombo, SerialSetting::Baud, m_config.BaudRateCode);
}

void MappingModules::ComPortCombo_Click() {
    storeSerialCode(*ComPortCombo, SerialSetting::ComPort, m_config.ComPortCode);
}

void MappingModules::DataBitCombo_Click() {
    storeSerialCode(*DataBitCombo, SerialSetting::DataBits, m_config.DataBitsCode);
}

void MappingModules::ParityCombo_Click() {
    storeSerialCode(*ParityCombo, SerialSetting::Parity, m_config.ParityCode);
}

void MappingModules::StopBitCombo_Click() {
    storeSerialCode(*StopBitCombo, SerialSetting::StopBits, m_config.StopBitsCode);
}

void MappingModules::ListenCheck_Click() {
    m_config.ListenMode = ListenCheck->checkState() == Qt::Checked ? 1 : 0;
}

namespace {
void enableRow(const std::array<QLineEdit *, 4> &row, const QCheckBox &check) {
    for (QLineEdit *octet : row)
        octet->setEnabled(check.checkState() == Qt::Checked);
}
} // namespace

void MappingModules::IPCheck_Click() {
    enableRow(IPText, *IPCheck);
}
void MappingModules::MaskCheck_Click() {
    enableRow(MaskText, *MaskCheck);
}
void MappingModules::GatewayCheck_Click() {
    enableRow(GatewayText, *GatewayCheck);
}

// A device button opens the device's settings; a device already listed shows what the model
// holds for it.
void MappingModules::CommButt_Click(int Index) {
    if (Index == 0)
        return;
    const DeviceLookup found = lookUpDevice(m_config, Index, deviceAmount());
    DeviceNumber = static_cast<qint16>(Index);
    emit deviceSettingsRequested(Index, found.known ? found.slot : -1);
}

void MappingModules::SaveCommand_Click() {
    emit saveRequested();
}

} // namespace tolvar
