#pragma once

#include <QByteArray>

#include <optional>

// Connects to 127.0.0.1:`port`, sends `request`, then ends its sending side (a TCP half-close)
// and collects what comes back while the event loop runs, until the server closes or `ms`
// have passed. Answers the bytes received, or nothing when the server did not close in time.
std::optional<QByteArray> askThenHalfClose(quint16 port, const QByteArray &request, int ms = 3000);
