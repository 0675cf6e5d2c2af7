#include "app/CommandLine.h"
#include "app/UtilityApp.h"

#include <QApplication>

#include <cstdio>

// The command line is read before any window system is needed, so --help works anywhere.
int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto options = tolvar::readCommandLine(arguments);
    if (const auto *exit = std::get_if<tolvar::CommandLineExit>(&options)) {
        std::fputs(qPrintable(exit->text + QLatin1Char('\n')), exit->code == 0 ? stdout : stderr);
        return exit->code;
    }
    QApplication app(argc, argv);
    const auto &chosen = std::get<tolvar::UtilityOptions>(options);
    tolvar::UtilityApp utility(chosen.gatewayPort);
    utility.offerHost(chosen.host);
    QObject::connect(&utility, &tolvar::UtilityApp::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    utility.show();
    return QApplication::exec();
}
