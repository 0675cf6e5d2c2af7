#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace tolvar {

inline constexpr quint16 kGatewayPort = 502;

// The texts of the connection settings window.
struct ConnectForm {
    QString ip;
    QString port;
    QString timeout;
    QString unitId;
    bool operator==(const ConnectForm &) const = default;
};

// What a valid form asks for.
struct ConnectRequest {
    QString host;
    int timeoutSeconds = 1;
    quint8 unitId = 1;
    bool operator==(const ConnectRequest &) const = default;
};

// The form as the window must show it after the check, and the request when the form is good.
struct ConnectCheck {
    ConnectForm corrected;
    std::optional<ConnectRequest> request;
};

// Checks the form in the order the "Start Connect" button does: address, port, time-out, unit
// identifier. The first bad field is corrected (emptied or set to its fallback) and no request
// is made.
ConnectCheck checkConnectForm(const ConnectForm &form);

// The unit identifier a text stands for: a number that rounds to 0..255 ("2." is 2).
std::optional<quint8> unitIdentifierOf(const QString &text);

} // namespace tolvar
