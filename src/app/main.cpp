#include "link/ConnectForm.h"
#include "link/InitialScreen.h"
#include "model/GatewayConfig.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    tolvar::GatewayConfig config;
    tolvar::InitialScreen mainWindow(config, tolvar::kGatewayPort);
    mainWindow.show();
    return QApplication::exec();
}
