#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace tolvar {

// One row of the CAN bit-rate table: the code the gateway exchanges, the rate as the
// window shows it (kbit/s) and the longest cable that rate allows.
struct CanBitRate {
    qint16 code = 0;
    QString kbits;
    QString cableLength;
    bool operator==(const CanBitRate &) const = default;
};

// The row of a code 0..7; other codes have none.
std::optional<CanBitRate> canBitRateByCode(int code);

// The row whose rate equals `kbits` exactly; other rates have none.
std::optional<CanBitRate> canBitRateByValue(double kbits);

} // namespace tolvar
