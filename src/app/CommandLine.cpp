#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace tolvar {

namespace {
const QString kProgramName = QStringLiteral("tolvar-utility");
} // namespace

std::variant<UtilityOptions, CommandLineExit> readCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configures a Tolvar gateway over its Ethernet connection."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port of the gateway (default 502)."),
                                  QStringLiteral("N"), QStringLiteral("502"));
    parser.addOption(port);
    const QCommandLineOption host(
        QStringLiteral("host"),
        QStringLiteral("Address the connection window offers (default: the gateway's factory "
                       "address)."),
        QStringLiteral("ADDRESS"));
    parser.addOption(host);
    if (!parser.parse(arguments))
        return CommandLineExit{parser.errorText(), 2};
    if (parser.isSet(help))
        return CommandLineExit{
            parser.helpText().replace(QStringLiteral("<executable_name>"), kProgramName), 0};
    if (parser.isSet(version))
        return CommandLineExit{kProgramName + QStringLiteral(" 1.0.3"), 0};
    bool ok = false;
    const uint value = parser.value(port).toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return CommandLineExit{
            QStringLiteral("--port %1: expected a whole number 1..65535").arg(parser.value(port)),
            2};
    return UtilityOptions{static_cast<quint16>(value), parser.value(host)};
}

} // namespace tolvar
