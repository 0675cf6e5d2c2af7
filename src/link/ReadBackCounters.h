#pragma once

#include <QtGlobal>

namespace tolvar {

// Running item numbers of the read-back, kept by the main window. The general reply and every
// table reply zero them; the table reply numbers tags from them. `flag` marks the first blocks
// after start.
struct ReadBackCounters {
    qint16 DO_number = 0;
    qint16 DI_number = 0;
    qint16 AI_number = 0;
    qint16 AO_number = 0;
    qint16 SDO_DO_number = 0;
    qint16 SDO_DI_number = 0;
    qint16 SDO_AI_number = 0;
    qint16 SDO_AO_number = 0;
    int flag = 0;

    void resetNumbers() { *this = ReadBackCounters{.flag = flag}; }
    bool operator==(const ReadBackCounters &) const = default;
};

} // namespace tolvar
