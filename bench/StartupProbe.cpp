// Starts the utility the way its main() does, offscreen, and measures one session: the time to
// the first shown window, the peak memory, and the CPU time of a full read-back from a gateway
// (the simulator) on 127.0.0.1. It presses the same buttons a user does, found by their names.
// scripts/bench-startup.sh runs it and prints the figures against their goals.
//
//   QT_QPA_PLATFORM=offscreen startup_probe <port>
//
// Output, one "name value" a line: first_window_epoch_ns, first_window_ms (from main),
// first_window_rss_kb, readback_wall_ms, readback_cpu_ms, peak_rss_kb, devices_read, tags_read.
#include "app/UtilityApp.h"
#include "link/ConnectSet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace tolvar;

constexpr int kWatchdogMs = 30000; // a failed connect would wait for its message box forever

rusage usage() {
    rusage now{};
    getrusage(RUSAGE_SELF, &now);
    return now;
}

double cpuMs(const rusage &u) {
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

void print(const char *name, double value) {
    std::printf("%s %.1f\n", name, value);
}

// Runs the event loop until the main window is on the screen and has been painted once.
void waitUntilShown(QWidget &window) {
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

QPushButton &button(QWidget &window, const char *name) {
    auto *found = window.findChild<QPushButton *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "no button %s\n", name);
        std::exit(1);
    }
    return *found;
}

// What the read-back put into the model: devices listed and data bytes tagged.
std::pair<int, int> readBackSize(const GatewayConfig &config) {
    int devices = 0;
    for (int k = 0; k < kMaxDevices; ++k)
        devices += isDeviceNumber(config.DeviceOrder[std::size_t(k)]) ? 1 : 0;
    int tags = 0;
    for (int kind = 0; kind < kItemKinds; ++kind)
        tags += config.total(ItemKind(kind));
    return {devices, tags};
}

} // namespace

int main(int argc, char **argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (argc != 2) {
        std::fputs("usage: startup_probe <port>\n", stderr);
        return 2;
    }
    const auto port = static_cast<quint16>(std::atoi(argv[1]));
    QApplication app(argc, argv);
    UtilityApp utility(port);
    utility.show();
    waitUntilShown(utility.main());
    const auto shownAt = std::chrono::system_clock::now().time_since_epoch();
    std::printf("first_window_epoch_ns %lld\n",
                static_cast<long long>(std::chrono::nanoseconds(shownAt).count()));
    print("first_window_ms", double(sinceMain.nsecsElapsed()) / 1e6);
    print("first_window_rss_kb", double(usage().ru_maxrss));

    QTimer::singleShot(kWatchdogMs, [] {
        std::fputs("the read-back did not finish in time\n", stderr);
        std::_Exit(1);
    });
    button(utility.main(), "ConnectButt").click();
    ConnectSet &connectSet = *utility.connectSet();
    connectSet.IPText->setText(QStringLiteral("127.0.0.1"));
    const rusage before = usage();
    QElapsedTimer readBack;
    readBack.start();
    // Returns once the connect and the three requests with their one-second waits are done.
    button(connectSet, "StartConnButt").click();
    QCoreApplication::processEvents();
    const rusage after = usage();
    print("readback_wall_ms", double(readBack.elapsed()));
    print("readback_cpu_ms", cpuMs(after) - cpuMs(before));
    print("peak_rss_kb", double(after.ru_maxrss));
    const auto [devices, tags] = readBackSize(utility.config());
    std::printf("devices_read %d\ntags_read %d\n", devices, tags);
    return devices > 0 ? 0 : 1;
}
