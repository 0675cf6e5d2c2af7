#include "mapping/SaveCheck.h"

#include "mapping/CellNumber.h"
#include "mapping/ListedDevices.h"
#include "model/NumericText.h"

namespace tolvar {
namespace {

constexpr int kDataLengthColumn = 3;

QString wholeNumberRefusal(const QString &field, const QString &text, int lo, int hi) {
    return QStringLiteral("%1 is \"%2\": type a whole number from %3 to %4.")
        .arg(field, text, QString::number(lo), QString::number(hi));
}

std::optional<QString> checkEthernetRow(const EthernetTexts &texts, const QString &name,
                                        EthernetSetting &setting) {
    setting.write = texts.ticked;
    if (!texts.ticked)
        return std::nullopt;
    for (std::size_t i = 0; i < texts.octets.size(); ++i) {
        const auto octet = strictWholeNumber(texts.octets[i], 0, 255);
        if (!octet)
            return QStringLiteral("%1 octet %2 is \"%3\": type a whole number from 0 to 255, "
                                  "or untick %1.")
                .arg(name)
                .arg(i + 1)
                .arg(texts.octets[i]);
        setting.octets[i] = static_cast<quint8>(*octet);
    }
    return std::nullopt;
}

std::optional<QString> checkByte(const QString &text, const QString &field, int lo, int hi,
                                 quint8 &value) {
    const auto number = strictWholeNumber(text, lo, hi);
    if (!number)
        return wholeNumberRefusal(field, text, lo, hi);
    value = static_cast<quint8>(*number);
    return std::nullopt;
}

// Read as the connect reads it, so a text the connect took ("2.") is taken here too.
std::optional<QString> checkUnitId(const QString &text, quint8 &value) {
    const auto number = literalWholeNumber(text, 0, 255);
    if (!number)
        return wholeNumberRefusal(QStringLiteral("Tolvar ID (connection settings)"), text, 0, 255);
    value = static_cast<quint8>(*number);
    return std::nullopt;
}

// The data length of an entry must not reach a byte column without a type: the gateway
// would get no area code for that byte.
std::optional<QString> checkPdoEntry(const CellTable &table, const QString &tableName, int device,
                                     int row) {
    const quint8 length = lowByte(cellNumber(table.cell(device, row, kDataLengthColumn)));
    const QString entry =
        QStringLiteral("Device %1, %2 row %3").arg(device).arg(tableName).arg(row);
    if (length > kPdoDataBytes)
        return QStringLiteral("%1: data length \"%2\" is over 8. Set it from 1 to 8.")
            .arg(entry, table.cell(device, row, kDataLengthColumn));
    for (int byte = 0; byte < length; ++byte) {
        if (!table.cell(device, row, kFirstPdoByteColumn + byte).isEmpty())
            continue;
        const QString shorter = byte == 0 ? QStringLiteral("delete the row")
                                          : QStringLiteral("set the data length to %1").arg(byte);
        return QStringLiteral("%1: data length %2 covers Byte%3, which has no type. Give Byte%3 "
                              "a type, or %4.")
            .arg(entry)
            .arg(length)
            .arg(byte)
            .arg(shorter);
    }
    return std::nullopt;
}

std::optional<QString> checkPdoEntries(const GatewayConfig &config, int deviceAmount) {
    for (int position = 0; position < listedCount(deviceAmount); ++position) {
        const ListedDevice device = listedDevice(config, position);
        for (int row = 1; row <= device.txPdoRows; ++row) {
            if (auto refusal =
                    checkPdoEntry(config.TxPDOTable, QStringLiteral("TxPDO"), device.number, row))
                return refusal;
        }
        for (int row = 1; row <= device.rxPdoRows; ++row) {
            if (auto refusal =
                    checkPdoEntry(config.RxPDOTable, QStringLiteral("RxPDO"), device.number, row))
                return refusal;
        }
    }
    return std::nullopt;
}

std::optional<QString> checkFields(const SaveForm &form, SaveValues &values) {
    if (auto refusal = checkEthernetRow(form.ip, QStringLiteral("IP"), values.ip))
        return refusal;
    if (auto refusal = checkEthernetRow(form.mask, QStringLiteral("MASK"), values.mask))
        return refusal;
    if (auto refusal = checkEthernetRow(form.gateway, QStringLiteral("Gateway"), values.gateway))
        return refusal;
    if (auto refusal = checkByte(form.deviceAmount, QStringLiteral("Device Amount"), 1, kMaxDevices,
                                 values.deviceAmount))
        return refusal;
    if (auto refusal = checkByte(form.serialId, QStringLiteral("ID (Tolvar Parameters)"), 0, 255,
                                 values.serialId))
        return refusal;
    return checkUnitId(form.unitId, values.unitId);
}

} // namespace

SaveCheck checkSave(const SaveForm &form, const GatewayConfig &config) {
    SaveValues values;
    values.canBitRateCode = static_cast<quint8>(form.canBitRateCode);
    if (auto refusal = checkFields(form, values))
        return {std::nullopt, *refusal};
    if (auto refusal = checkPdoEntries(config, values.deviceAmount))
        return {std::nullopt, *refusal};
    return {values, {}};
}

} // namespace tolvar
