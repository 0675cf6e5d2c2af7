#pragma once

#include <QEventLoop>
#include <QTimer>

namespace tolvar {

namespace detail {
// Arms the deadline of a nested loop. A precise timer: a coarse one may fire a little early.
void armDeadline(QEventLoop &loop, QTimer &deadline, int seconds);
} // namespace detail

template <typename Sender, typename Signal>
void waitForSignal(const Sender *sender, Signal signal, int seconds) {
    QEventLoop loop;
    QTimer deadline;
    detail::armDeadline(loop, deadline, seconds);
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace tolvar
