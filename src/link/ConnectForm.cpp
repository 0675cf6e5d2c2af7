#include "link/ConnectForm.h"

#include "devices/TextChecks.h"
#include "model/NumericText.h"

namespace tolvar {
namespace {

const QString kPortText = QString::number(kGatewayPort);
const QString kFallbackTimeout = QStringLiteral("1");
const QString kFallbackUnitId = QStringLiteral("1");
constexpr int kMinTimeout = 1;
constexpr int kMaxTimeout = 9;

// The characters are checked first, as the window always did; then the text must be one number.
std::optional<int> timeoutSecondsOf(const QString &text) {
    if (CheckNumericText(text) == kErrorValue)
        return std::nullopt;
    const auto seconds = literalWholeNumber(text, kMinTimeout, kMaxTimeout);
    if (!seconds)
        return std::nullopt;
    return static_cast<int>(*seconds);
}

} // namespace

std::optional<quint8> unitIdentifierOf(const QString &text) {
    if (const auto value = literalWholeNumber(text, 0, 255))
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
