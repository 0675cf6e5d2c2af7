#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The port to use, or the exit code and a part of the text printed before the program ends.
TEST(CommandLine, TakesAnyTcpPortOrEndsTheProgramWithItsText) {
    const std::pair<QStringList, QString> cases[] = {
        {{}, "port 502 host "},
        {{"--host", "127.0.0.1", "--port", "1502"}, "port 1502 host 127.0.0.1"},
        {{"--version"}, "exit 0: tolvar-utility 1.0.3"},
        {{"--port", "0"}, "exit 2: --port 0: expected a whole number 1..65535"},
        {{"--port", "65536"}, "exit 2: --port 65536: expected a whole number 1..65535"}};
    for (const auto &[args, expected] : cases) {
        const auto read = readCommandLine(QStringList{QStringLiteral("tolvar-utility")} + args);
        const auto *exit = std::get_if<CommandLineExit>(&read);
        const QString outcome =
            exit ? QStringLiteral("exit %1: %2").arg(exit->code).arg(exit->text.trimmed())
                 : QStringLiteral("port %1 host %2")
                       .arg(std::get<UtilityOptions>(read).gatewayPort)
                       .arg(std::get<UtilityOptions>(read).host);
        EXPECT_TRUE(outcome.startsWith(expected)) << outcome.toStdString();
    }
}

} // namespace
} // namespace tolvar
