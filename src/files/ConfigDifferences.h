#pragma once

#include "files/ReadBackCopy.h"
#include "gateway/StoredConfiguration.h"
#include "model/GatewayConfig.h"

#include <QString>

#include <variant>
#include <vector>

namespace tolvar {

// One place where the gateway and the utility hold different values.
struct ConfigDifference {
    int device = 0; // list position + 1; 0 for the gateway's own parameters
    QString table;  // "TxPDO", "RxPDO", "Read SDO", "Write SDO"; empty for the device itself
    int row = 0;    // entry row; 0 when the field is not an entry's
    QString field;
    QString gatewayValue;
    QString utilityValue;
    bool operator==(const ConfigDifference &) const = default;
};

// Every field that differs, the gateway's parameters first, then device by device in list
// order and table by table. Devices or rows only one side has are one difference each.
std::vector<ConfigDifference> compareConfigurations(const StoredConfiguration &gateway,
                                                    const StoredConfiguration &utility);

// The differences, or why there is nothing to compare.
using Comparison = std::variant<std::vector<ConfigDifference>, QString>;

// Compares a read-back kept apart from the windows with the utility's model and window texts,
// both in the form a configuration file gives them.
Comparison compareWithGateway(const ReadBackCopy &gateway, const GatewayConfig &model,
                              const NetworkTexts &network);

// One line: "Device 2, TxPDO row 3, COB-ID: gateway 0x182, utility 0x183".
QString differenceText(const ConfigDifference &difference);
// The same with other names for the two sides, e.g. "gateway" and "file".
QString differenceText(const ConfigDifference &difference, const QString &gatewaySide,
                       const QString &utilitySide);

// What a save says once the gateway's configuration has been read back and compared with the
// one sent.
QString sentAndVerifiedText(const Comparison &comparison);

} // namespace tolvar
