#include "SimConsole.h"

#include "GatewaySimServer.h"

#include <gtest/gtest.h>

#include <QTcpServer>

using namespace tolvar;

namespace {

TEST(SimConsoleTest, OptionsAreReadOrTheWrongValueIsNamed) {
    const std::pair<QStringList, QString> cases[] = {
        {{}, "502 0 0  "},
        {{"--port", "0", "--chunk", "65535", "--chunk-delay-ms", "60000", "--config", "a.json",
          "--save", "b.json"},
         "0 65535 60000 a.json b.json"},
        {{"--port", "65536"}, "tolvar-gateway-sim: --port 65536: expected a whole number 0..65535"},
        {{"--chunk", "-1"}, "tolvar-gateway-sim: --chunk -1: expected a whole number 0..65535"},
        {{"--chunk-delay-ms", "60001"},
         "tolvar-gateway-sim: --chunk-delay-ms 60001: expected a whole number 0..60000"}};
    for (const auto &[args, expected] : cases) {
        QCommandLineParser parser;
        addSimOptions(parser);
        ASSERT_TRUE(parser.parse(QStringList{QStringLiteral("tolvar-gateway-sim")} + args));
        const auto read = readSimOptions(parser);
        const auto *o = std::get_if<SimOptions>(&read);
        EXPECT_EQ(o ? QStringLiteral("%1 %2 %3 %4 %5")
                          .arg(o->port)
                          .arg(o->chunkBytes)
                          .arg(o->chunkDelayMs)
                          .arg(o->configPath, o->savePath)
                    : std::get<QString>(read),
                  expected);
    }
}

TEST(SimConsoleTest, TakenPortGivesOneLineWithReasonAndRemedy) {
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    const quint16 port = holder.serverPort();
    GatewaySimServer server;
    ASSERT_FALSE(server.listen(port));
    ASSERT_EQ(server.serverError(), QAbstractSocket::AddressInUseError);
    EXPECT_EQ(listenFailureLine(port, server.serverError(), QStringLiteral("Address in use.")),
              QStringLiteral("tolvar-gateway-sim: cannot listen on 127.0.0.1:%1: Address in use. "
                             "Another program (perhaps another simulator) uses port %1; stop it "
                             "or choose another port with --port N.")
                  .arg(port));
}

TEST(SimConsoleTest, OnlyTheStartOfALongUnknownBlockIsPrinted) {
    const QByteArray bytes(100, 'A');
    EXPECT_EQ(frameLine(QStringLiteral("unknown"), bytes),
              QStringLiteral("unknown ") + hexBytes(bytes.left(64)) +
                  QStringLiteral(" \u2026 (100 bytes)"));
    EXPECT_EQ(frameLine(QStringLiteral("#SD"), bytes), QStringLiteral("#SD ") + hexBytes(bytes));
}

} // namespace
