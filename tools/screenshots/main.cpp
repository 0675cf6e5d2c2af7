// Takes the pictures of the README's tour: every window of the utility, reading the example
// configuration from the simulator on loopback. Usage: tolvar-screenshots OUTPUT_FOLDER
#include "GatewaySimServer.h"
#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "files/ConfigurationFile.h"
#include "link/ConnectSet.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

using namespace tolvar;

namespace {

// Lets the windows work until `done` or five seconds have passed.
void runUntil(const std::function<bool()> &done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void shoot(QWidget &window, const QDir &folder, const char *name) {
    QCoreApplication::processEvents();
    const QString path = folder.filePath(QLatin1String(name) + QStringLiteral(".png"));
    if (!window.grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: tolvar-screenshots EXAMPLE.json OUTPUT_FOLDER\n");
        return 2;
    }
    const auto config = loadConfigurationFile(arguments[1]);
    if (const auto *problem = std::get_if<QString>(&config)) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 1;
    }
    const QDir folder(arguments[2]);
    GatewaySimServer sim;
    sim.setConfig(std::get<StoredConfiguration>(config));
    if (!sim.listen(0))
        return 1;

    UtilityApp app(sim.serverPort(), 1);
    int replies = 0;
    QObject::connect(&app.link(), &GatewayLink::replyReceived, [&replies] { ++replies; });
    app.show();
    shoot(app.main(), folder, "main-window");
    app.main().ConnectButt->click();
    ConnectSet &connect = *app.connectSet();
    connect.IPText->setText(QStringLiteral("127.0.0.1"));
    shoot(connect, folder, "connection-window");
    connect.StartConnButt->click();
    runUntil([&replies] { return replies >= 3; });
    shoot(app.network(), folder, "network-window");

    app.network().findChild<QPushButton *>(QStringLiteral("CommButt1"))->click();
    CANopenDeviceSetting &device = app.deviceSettings();
    shoot(device, folder, "device-window-txpdo");
    device.SSTab->setCurrentIndex(2);
    shoot(device, folder, "device-window-read-sdo");
    device.ExitCommand->click();

    app.network().SaveCommand->click();
    ShowMapping &mapping = app.mappingView();
    mapping.SSTab1->setCurrentIndex(1);
    shoot(mapping, folder, "mapping-view");
    return 0;
}
