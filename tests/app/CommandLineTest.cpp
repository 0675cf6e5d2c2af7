#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The port to use, or the exit code and a part of the text printed before the program ends.
TEST(CommandLine, TakesAnyTcpPortOrEndsTheProgramWithItsText) {
    const struct {
        QStringList args;
        int code; // -1: the program goes on
        quint16 port;
        const char *says;
    } cases[] = {{{}, -1, 502, ""},
                 {{"--port=1"}, -1, 1, ""},
                 {{"--port", "65535"}, -1, 65535, ""},
                 {{"--help"}, 0, 0, "--port <N>"},
                 {{"--version"}, 0, 0, "tolvar-utility 1.0.3"},
                 {{"--port", "0"}, 2, 0, "--port 0: expected a whole number 1..65535"},
                 {{"--port", "65536"}, 2, 0, "expected a whole number 1..65535"},
                 {{"--port", "x"}, 2, 0, "expected a whole number"},
                 {{"--colour"}, 2, 0, "Unknown option 'colour'"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const auto options =
            readCommandLine(QStringList{QStringLiteral("tolvar-utility")} + c.args);
        if (const auto *exit = std::get_if<CommandLineExit>(&options)) {
            EXPECT_EQ(exit->code, c.code);
            EXPECT_TRUE(exit->text.contains(QLatin1String(c.says))) << exit->text.toStdString();
            EXPECT_FALSE(exit->text.contains(QLatin1String("<executable_name>")));
        } else {
            EXPECT_EQ(c.code, -1);
            EXPECT_EQ(std::get<UtilityOptions>(options).gatewayPort, c.port);
        }
    }
}

} // namespace
} // namespace tolvar
