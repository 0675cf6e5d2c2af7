#include "LogThrottle.h"

namespace tolvar {

bool LogThrottle::admit(qint64 nowMs) {
    if (counted_ == 0 && nowMs - lastEventMs_ >= kIntervalMs) {
        printed_ = 0;
    }
    lastEventMs_ = nowMs;
    if (printed_ < kPrintedInFull) {
        ++printed_;
        return true;
    }
    if (counted_++ == 0) {
        summaryDueMs_ = nowMs + kIntervalMs;
    }
    return false;
}

qint64 LogThrottle::takeDueCount(qint64 nowMs) {
    if (counted_ == 0 || nowMs < summaryDueMs_) {
        return 0;
    }
    const qint64 count = counted_;
    counted_ = 0;
    return count;
}

} // namespace tolvar
