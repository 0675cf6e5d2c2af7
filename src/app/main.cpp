#include "app/CommandLine.h"
#include "app/UtilityApp.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const auto options = tolvar::readCommandLine(QApplication::arguments());
    if (const auto *exit = std::get_if<tolvar::CommandLineExit>(&options)) {
        std::fputs(qPrintable(exit->text + QLatin1Char('\n')), exit->code == 0 ? stdout : stderr);
        return exit->code;
    }
    tolvar::UtilityApp utility(std::get<tolvar::UtilityOptions>(options).gatewayPort);
    QObject::connect(&utility, &tolvar::UtilityApp::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    utility.show();
    return QApplication::exec();
}
