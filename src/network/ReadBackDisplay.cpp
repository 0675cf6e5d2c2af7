#include "network/ReadBackDisplay.h"

#include "link/ReadBackModel.h"
#include "network/CanBitRates.h"
#include "network/MappingModules.h"
#include "network/SerialCodes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace tolvar {
namespace {

QString textOfByte(quint8 value) {
    return QString::number(value);
}

void showOctets(const std::array<QLineEdit *, 4> &boxes, const std::array<quint8, 4> &octets) {
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(textOfByte(octets[i]));
}

void showCanBitRate(MappingModules &window, quint8 code) {
    if (const auto rate = canBitRateByCode(code)) {
        window.baudrateCombo->setCurrentText(rate->kbits);
        window.ShowLengthLabel->setText(rate->cableLength);
    }
}

// A code outside its table leaves the control as it was.
void showSerialCode(QComboBox &combo, SerialSetting setting, quint8 code) {
    if (const auto text = serialText(setting, code))
        combo.setCurrentText(*text);
}

void showListenMode(QCheckBox &check, quint8 mode) {
    if (mode == 0)
        check.setChecked(false);
    else if (mode == 1)
        check.setChecked(true);
}

void showSerialSettings(MappingModules &window, const GatewayConfig &config) {
    showSerialCode(*window.ComPortCombo, SerialSetting::ComPort, config.ComPortCode);
    showSerialCode(*window.BaudCombo, SerialSetting::Baud, config.BaudRateCode);
    showSerialCode(*window.DataBitCombo, SerialSetting::DataBits, config.DataBitsCode);
    showSerialCode(*window.ParityCombo, SerialSetting::Parity, config.ParityCode);
    showSerialCode(*window.StopBitCombo, SerialSetting::StopBits, config.StopBitsCode);
    showListenMode(*window.ListenCheck, config.ListenMode);
}

} // namespace

void showEthernetReply(MappingModules &window, const EthernetReply &reply) {
    showOctets(window.IPText, reply.ip);
    showOctets(window.MaskText, reply.mask);
    showOctets(window.GatewayText, reply.gateway);
}

// The order matters: the device amount clears the device list before the records fill it.
// Byte 16 of the reply (syncTimeHigh) has no place in the window and is left aside.
void showGeneralReply(MappingModules &window, GatewayConfig &config, ReadBackCounters &counters,
                      const GeneralReply &reply) {
    window.DevicesNumCombo->setCurrentText(textOfByte(reply.deviceCount));
    window.DevicesNumCombo_Click();
    counters.resetNumbers();
    window.KestoCombo->setCurrentText(textOfByte(reply.serialId));
    showCanBitRate(window, reply.canBitRateCode);
    window.baudrateCombo_Click();
    window.SyncCombo->setCurrentText(textOfByte(reply.sync));
    window.SYCNTimeText->setText(textOfByte(reply.syncTime));
    window.SYCNTimeText_Change();
    storeDeviceRecords(config, reply);
    storeSerialSettings(config, reply.serial);
    showSerialSettings(window, config);
}

} // namespace tolvar
