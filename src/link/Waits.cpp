#include "link/Waits.h"

#include <QEventLoop>
#include <QTimer>

namespace tolvar {

void runLoopForMs(QEventLoop &loop, int ms) {
    QTimer deadline;
    deadline.setSingleShot(true);
    // A coarse timer may fire a little early; the waits must last their full time.
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(qMax(0, ms));
    loop.exec();
}

void runLoopFor(QEventLoop &loop, int seconds) {
    runLoopForMs(loop, qMax(0, seconds) * 1000);
}

void waitSeconds(int seconds) {
    waitMilliseconds(qMax(0, seconds) * 1000);
}

void waitMilliseconds(int ms) {
    QEventLoop loop;
    runLoopForMs(loop, ms);
}

} // namespace tolvar
