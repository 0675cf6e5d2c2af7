#include "link/Waits.h"

namespace tolvar {

namespace detail {
void armDeadline(QEventLoop &loop, QTimer &deadline, int seconds) {
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(qMax(0, seconds) * 1000);
}
} // namespace detail

void waitSeconds(int seconds) {
    QEventLoop loop;
    QTimer deadline;
    detail::armDeadline(loop, deadline, seconds);
    loop.exec();
}

} // namespace tolvar
