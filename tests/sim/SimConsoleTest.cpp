#include "SimConsole.h"

#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QStringList>

using namespace tolvar;

namespace {

TEST(SimConsoleTest, FrameLineIsCommandAndUpperCaseHex) {
    EXPECT_EQ(frameLine(QStringLiteral("#PD"), QByteArray("\x01\x02\x00\xab\x23", 5)),
              QStringLiteral("#PD 01 02 00 AB 23"));
    EXPECT_EQ(frameLine(QStringLiteral("unknown"), QByteArray("GET")),
              QStringLiteral("unknown 47 45 54"));
}

struct ListenCase {
    quint16 port;
    QAbstractSocket::SocketError error;
    const char *reason;
    const char *line;
};

void PrintTo(const ListenCase &c, std::ostream *os) {
    *os << c.line;
}

class ListenFailureTest : public testing::TestWithParam<ListenCase> {};

TEST_P(ListenFailureTest, OneLineWithAddressReasonAndRemedy) {
    const ListenCase &c = GetParam();
    EXPECT_EQ(listenFailureLine(c.port, c.error, QLatin1String(c.reason)).toStdString(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ListenFailureTest,
    testing::Values(
        ListenCase{502, QAbstractSocket::SocketAccessError, "The address is protected",
                   "tolvar-gateway-sim: cannot listen on 127.0.0.1:502: The address is protected. "
                   "Port 502 needs root or CAP_NET_BIND_SERVICE; run as root or choose another "
                   "port with --port N."},
        ListenCase{15020, QAbstractSocket::AddressInUseError,
                   "The bound address is already in use.",
                   "tolvar-gateway-sim: cannot listen on 127.0.0.1:15020: The bound address is "
                   "already in use. Another program (perhaps another simulator) uses port 15020; "
                   "stop it or choose another port with --port N."},
        ListenCase{2000, QAbstractSocket::UnknownSocketError, "Unknown error",
                   "tolvar-gateway-sim: cannot listen on 127.0.0.1:2000: Unknown error. Choose "
                   "another port with --port N."}));

struct OptionsCase {
    QStringList arguments;
    quint16 port;
    int chunkBytes;
    int chunkDelayMs;
    const char *configPath;
    const char *error; // empty: accepted
};

void PrintTo(const OptionsCase &c, std::ostream *os) {
    *os << c.arguments.join(QLatin1Char(' ')).toStdString();
}

class SimOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(SimOptionsTest, ReadsOrRefusesTheValues) {
    const OptionsCase &c = GetParam();
    QCommandLineParser parser;
    addSimOptions(parser);
    ASSERT_TRUE(parser.parse(QStringList{"tolvar-gateway-sim"} + c.arguments));
    const auto options = readSimOptions(parser);
    if (*c.error) {
        ASSERT_TRUE(std::holds_alternative<QString>(options));
        EXPECT_EQ(std::get<QString>(options).toStdString(), c.error);
        return;
    }
    ASSERT_TRUE(std::holds_alternative<SimOptions>(options));
    const SimOptions &read = std::get<SimOptions>(options);
    EXPECT_EQ(read.port, c.port);
    EXPECT_EQ(read.chunkBytes, c.chunkBytes);
    EXPECT_EQ(read.chunkDelayMs, c.chunkDelayMs);
    EXPECT_EQ(read.configPath.toStdString(), c.configPath);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SimOptionsTest,
    testing::Values(
        OptionsCase{{}, 502, 0, 0, "", ""},
        OptionsCase{
            {"--port", "15020", "--config", "a.json", "--chunk", "7", "--chunk-delay-ms", "5"},
            15020,
            7,
            5,
            "a.json",
            ""},
        OptionsCase{{"--port", "0"}, 0, 0, 0, "", ""},
        OptionsCase{{"--port", "65536"},
                    0,
                    0,
                    0,
                    "",
                    "tolvar-gateway-sim: --port 65536: expected a whole number 0..65535"},
        OptionsCase{{"--port", "-1"},
                    0,
                    0,
                    0,
                    "",
                    "tolvar-gateway-sim: --port -1: expected a whole number 0..65535"},
        OptionsCase{{"--chunk", "x"},
                    0,
                    0,
                    0,
                    "",
                    "tolvar-gateway-sim: --chunk x: expected a whole number 0..65535"},
        OptionsCase{{"--chunk-delay-ms", "60001"},
                    0,
                    0,
                    0,
                    "",
                    "tolvar-gateway-sim: --chunk-delay-ms 60001: expected a whole number "
                    "0..60000"}));

} // namespace
