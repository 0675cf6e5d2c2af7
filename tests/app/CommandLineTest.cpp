#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

std::variant<UtilityOptions, CommandLineExit> read(const QStringList &args) {
    return readCommandLine(QStringList{QStringLiteral("tolvar-utility")} + args);
}

TEST(CommandLine, PortDefaultsTo502AndTakesAnyTcpPort) {
    const std::pair<QStringList, quint16> cases[] = {
        {{}, 502}, {{"--port", "15020"}, 15020}, {{"--port=1"}, 1}, {{"--port", "65535"}, 65535}};
    for (const auto &[args, port] : cases) {
        const auto options = read(args);
        ASSERT_TRUE(std::holds_alternative<UtilityOptions>(options)) << port;
        EXPECT_EQ(std::get<UtilityOptions>(options).gatewayPort, port);
    }
}

TEST(CommandLine, HelpVersionAndBadValuesEndTheProgram) {
    const struct {
        QStringList args;
        int code;
        const char *says;
    } cases[] = {{{"--help"}, 0, "--port <N>"},
                 {{"--version"}, 0, "tolvar-utility 1.0.3"},
                 {{"--port", "0"}, 2, "--port 0: expected a whole number 1..65535"},
                 {{"--port", "65536"}, 2, "expected a whole number 1..65535"},
                 {{"--port", "x"}, 2, "expected a whole number"},
                 {{"--colour"}, 2, "Unknown option 'colour'"}};
    for (const auto &c : cases) {
        const auto options = read(c.args);
        ASSERT_TRUE(std::holds_alternative<CommandLineExit>(options)) << c.says;
        const CommandLineExit &exit = std::get<CommandLineExit>(options);
        EXPECT_EQ(exit.code, c.code) << c.says;
        EXPECT_TRUE(exit.text.contains(QLatin1String(c.says))) << exit.text.toStdString();
        EXPECT_FALSE(exit.text.contains(QLatin1String("<executable_name>")));
    }
}

} // namespace
} // namespace tolvar
