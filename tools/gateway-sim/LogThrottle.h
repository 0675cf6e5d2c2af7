#pragma once

#include <QtGlobal>

namespace tolvar {

// Thins out a run of like log events (refused frames), so that a client cannot make the log
// grow faster than its own input: the first kPrintedInFull are printed, the rest only counted
// and summed up at most once an interval. After a quiet interval they are printed again.
// Times are milliseconds of a steady clock.
class LogThrottle {
public:
    static constexpr int kPrintedInFull = 10;
    static constexpr qint64 kIntervalMs = 1000;

    // One event at `nowMs`; true when it is printed in full, false when it is only counted.
    bool admit(qint64 nowMs);

    // The events counted since the last summary, once their summary is due at `nowMs` (an
    // interval after the first of them); 0 before.
    qint64 takeDueCount(qint64 nowMs);

    bool hasCounted() const { return counted_ > 0; }

private:
    int printed_ = 0;
    qint64 counted_ = 0;
    qint64 lastEventMs_ = 0;
    qint64 summaryDueMs_ = 0;
};

} // namespace tolvar
