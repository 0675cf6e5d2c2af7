#include "link/Waits.h"

#include <QEventLoop>
#include <QTimer>

namespace tolvar {

void runLoopFor(QEventLoop &loop, int seconds) {
    QTimer deadline;
    deadline.setSingleShot(true);
    // A coarse timer may fire a little early; the waits must last their full time.
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(qMax(0, seconds) * 1000);
    loop.exec();
}

void waitSeconds(int seconds) {
    QEventLoop loop;
    runLoopFor(loop, seconds);
}

} // namespace tolvar
