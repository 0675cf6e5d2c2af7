#pragma once

#include "mapping/DownloadFrames.h"
#include "model/GatewayConfig.h"

#include <QString>

#include <array>
#include <optional>

namespace tolvar {

// One Ethernet row as the network parameters window holds it.
struct EthernetTexts {
    bool ticked = false;
    std::array<QString, 4> octets;
};

// The texts of the windows that a download reads.
struct SaveForm {
    EthernetTexts ip;       // IPCheck, IPText1..4
    EthernetTexts mask;     // MaskCheck, MaskText1..4
    EthernetTexts gateway;  // GatewayCheck, GatewayText1..4
    QString deviceAmount;   // DevicesNumCombo
    QString serialId;       // KestoCombo
    QString unitId;         // TolvarCombo of the connection settings
    int canBitRateCode = 0; // MappingModules::CANopenBaudRate
};

// Either the values to send, or why the save is refused and how to fix it.
struct SaveCheck {
    std::optional<SaveValues> values;
    QString refusal;
};

// Checks a save before anything is sent, in this order: the octets of the ticked Ethernet
// rows, the device amount (1..10), the serial ID and the unit identifier (0..255), then every
// PDO entry of the listed devices, whose data length must cover only typed byte columns.
SaveCheck checkSave(const SaveForm &form, const GatewayConfig &config);

} // namespace tolvar
