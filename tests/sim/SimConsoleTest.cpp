#include "SimConsole.h"

#include "GatewaySimServer.h"

#include <gtest/gtest.h>

#include <QTcpServer>

using namespace tolvar;

namespace {

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
