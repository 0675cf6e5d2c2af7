#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <variant>

namespace tolvar {

// What the utility was started with. Without options it talks to the gateway's port 502.
struct UtilityOptions {
    quint16 gatewayPort = 502;
    QString host; // put into the connection window's IP box; empty keeps the factory address
};

// What the program is to do instead of opening its windows: print `text` and exit with `code`.
struct CommandLineExit {
    QString text;
    int code = 0;
};

// Reads `--port N`, `--host ADDRESS`, `--help` and `--version` (arguments as given, program name first).
std::variant<UtilityOptions, CommandLineExit> readCommandLine(const QStringList &arguments);

} // namespace tolvar
