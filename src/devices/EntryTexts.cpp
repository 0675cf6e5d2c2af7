#include "devices/EntryTexts.h"

#include "devices/EntryTables.h"
#include "devices/TextChecks.h"
#include "model/NumericText.h"

namespace tolvar {
namespace {

const QString kHexPrefix = QStringLiteral("&H");

QString withPrefix(const QString &text, const QString &prefix) {
    return text.startsWith(kHexPrefix) ? text : prefix + text;
}

// A decimal box falls back to its default when refused or out of its range.
QString checkedDecimal(QStringView typed, qint64 lo, qint64 hi, const QString &fallback) {
    const QString answer = CheckDecimalText(typed);
    if (answer == kErrorValue)
        return fallback;
    const qint64 value = readWholeNumber(answer);
    return value < lo || value > hi ? fallback : answer;
}

} // namespace

EntryTexts cobIdEntry(QStringView editorText) {
    const QString answer = CheckCobIdText(editorText);
    if (answer == kErrorValue)
        return {QString(), editorText.toString(), false};
    return {answer, withPrefix(answer, kHexPrefix), true};
}

EntryTexts sdoFieldEntry(int column, QStringView editorText) {
    const bool index = column == kSdoIndexColumn;
    QString answer = index ? CheckSdoIndexText(editorText) : CheckSdoSubIndexText(editorText);
    if (answer == kErrorValue)
        answer.clear();
    QString cell = answer;
    if (index)
        cell = withPrefix(answer, kHexPrefix);
    else if (column == kSdoSubIndexColumn)
        cell = withPrefix(answer, QStringLiteral("&H0"));
    return {answer, cell, true};
}

QString rtrCellText(QStringView choice) {
    return choice == u"1" ? QStringLiteral("1") : QString();
}

QString choiceCellText(QStringView choice) {
    return choice == u"Null" ? QString() : choice.toString();
}

QString enterNodeId(GatewayConfig &config, int device, QStringView typed) {
    const QString text = checkedDecimal(typed, 1, 127, QStringLiteral("1"));
    if (isDeviceNumber(device)) {
        const qint64 value = readWholeNumber(text);
        config.NodeID[std::size_t(device - 1)] = quint8(value);
        config.ModuleID[std::size_t(device)] = qint16(value);
    }
    return text;
}

QString enterGuardTime(GatewayConfig &config, int device, QStringView typed) {
    const QString text = checkedDecimal(typed, 0, 65535, QStringLiteral("1000"));
    if (isDeviceNumber(device))
        config.GuardTime[std::size_t(device)] = text;
    return text;
}

} // namespace tolvar
