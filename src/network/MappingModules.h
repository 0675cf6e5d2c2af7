#pragma once

#include "model/GatewayConfig.h"
#include "model/ModelDelta.h"
#include "network/SerialCodes.h"
#include "network/TopologyLayout.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tolvar {

class TopologyView;

// The network parameters window: CAN bit rate and SYNC, Ethernet address, the gateway's serial
// port, the device amount and the network picture with one button per device.
class MappingModules : public QWidget {
    Q_OBJECT

public:
    explicit MappingModules(GatewayConfig &config, QWidget *parent = nullptr);
    ~MappingModules() override;

    // CAN bit-rate code 0..7, read by the download.
    qint16 CANopenBaudRate = 0;
    // The device whose settings window was opened last.
    qint16 DeviceNumber = 0;

    // Also run by the read-back after it has set the controls' texts.
    void baudrateCombo_Click();
    void DevicesNumCombo_Click();
    void SYCNTimeText_Change();

    // The values that live only in this window's controls, by control name, and showing them
    // again (as an undo does); the picture follows the device amount, the cable length the
    // bit rate.
    ControlValues controlValues() const;
    void showControlValues(const ControlValues &values);

    // The device amount as a whole number.
    int deviceAmount() const;
    // The picture's geometry in use, in twips.
    const TopologyLayout &topology() const;

    QGroupBox *CANopenParam = nullptr;
    QComboBox *baudrateCombo = nullptr;
    QLabel *ShowLengthLabel = nullptr;
    QComboBox *SyncCombo = nullptr;
    QLineEdit *SYCNTimeText = nullptr;

    QGroupBox *SetingIPFrame = nullptr;
    std::array<QLineEdit *, 4> IPText{};
    std::array<QLineEdit *, 4> MaskText{};
    std::array<QLineEdit *, 4> GatewayText{};
    QCheckBox *IPCheck = nullptr;
    QCheckBox *MaskCheck = nullptr;
    QCheckBox *GatewayCheck = nullptr;

    QGroupBox *TolvarFrame1 = nullptr;
    QComboBox *ComPortCombo = nullptr;
    QComboBox *BaudCombo = nullptr;
    QComboBox *DataBitCombo = nullptr;
    QComboBox *ParityCombo = nullptr;
    QComboBox *StopBitCombo = nullptr;
    QComboBox *KestoCombo = nullptr;
    QCheckBox *ListenCheck = nullptr;

    QComboBox *DevicesNumCombo = nullptr;
    QPushButton *SaveCommand = nullptr;

signals:
    // "Save All Setting" was pressed.
    void saveRequested();
    // A device button was pressed: its settings window is to open for `device`. `knownSlot`
    // is the list position of a device already listed, -1 for a new one.
    void deviceSettingsRequested(int device, int knownSlot);
    // The device list was started afresh: every table entered so far is gone.
    void deviceListReset();
    // A user's change of a parameter: one step named `label`; typing into the same box is one
    // step (`mergeKey`).
    void edited(const QString &label, const QString &mergeKey);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QWidget *buildParameters();
    QGroupBox *buildCanOpenFrame();
    QGroupBox *buildEthernetFrame();
    QGroupBox *buildSerialFrame();
    void connectHandlers();
    void fitToPicture();
    void connectSerialCombo(QComboBox *combo, void (MappingModules::*handler)());

    void BaudCombo_Click();
    void ComPortCombo_Click();
    void DataBitCombo_Click();
    void ParityCombo_Click();
    void StopBitCombo_Click();
    void ListenCheck_Click();
    void IPCheck_Click();
    void MaskCheck_Click();
    void GatewayCheck_Click();
    void CommButt_Click(int Index);
    void DevicesNumCombo_Chosen();
    bool mayClearTables();
    void reportEdits();
    void SaveCommand_Click();
    void storeSerialCode(const QComboBox &combo, SerialSetting setting, quint8 &code);

    GatewayConfig &m_config;
    TopologyView *m_picture = nullptr;
    QString m_listedAmount; // the amount the device list was last started for
};

} // namespace tolvar
