#include "link/ConnectForm.h"

#include "devices/TextChecks.h"
#include "model/NumericText.h"

#include <QRegularExpression>

namespace tolvar {
namespace {

const QString kPortText = QString::number(kGatewayPort);
const QString kFallbackTimeout = QStringLiteral("1");
const QString kFallbackUnitId = QStringLiteral("1");
constexpr int kMinTimeout = 1;
constexpr int kMaxTimeout = 9;

// Digits with an optional fraction: "3", "2.5". Texts like "2." or "1..2" pass the character
// check but are no number, so they are refused like any other bad time-out.
bool isDecimalNumber(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    return pattern.match(text).hasMatch();
}

std::optional<int> timeoutSecondsOf(const QString &text) {
    if (CheckNumericText(text) == kErrorValue || !isDecimalNumber(text))
        return std::nullopt;
    const qint64 seconds = readWholeNumber(text);
    if (seconds < kMinTimeout || seconds > kMaxTimeout)
        return std::nullopt;
    return static_cast<int>(seconds);
}

} // namespace

std::optional<quint8> unitIdentifierOf(const QString &text) {
    if (const auto value = strictWholeNumber(text, 0, 255))
        return static_cast<quint8>(*value);
    return std::nullopt;
}

ConnectCheck checkConnectForm(const ConnectForm &form) {
    ConnectCheck check{form, std::nullopt};
    if (CheckNumericText(form.ip) == kErrorValue) {
        check.corrected.ip.clear();
        return check;
    }
    check.corrected.port = kPortText;
    const auto seconds = timeoutSecondsOf(form.timeout);
    if (!seconds) {
        check.corrected.timeout = kFallbackTimeout;
        return check;
    }
    const auto unitId = unitIdentifierOf(form.unitId);
    if (!unitId) {
        check.corrected.unitId = kFallbackUnitId;
        return check;
    }
    check.request = ConnectRequest{form.ip, *seconds, *unitId};
    return check;
}

} // namespace tolvar
