#include "network/CanBitRates.h"

#include <array>

namespace tolvar {
namespace {

struct RateRow {
    int kbits;
    const char *cableLength;
};

// Indexed by the code.
constexpr std::array<RateRow, 8> kRates{{
    {10, "5000(m)=16400(ft)"},
    {20, "2500(m)=8200(ft)"},
    {50, "1000(m)=3280(ft)"},
    {125, "500(m)=1640(ft)"},
    {250, "250(m)=820(ft)"},
    {500, "100(m)=328(ft)"},
    {800, "50(m)=164(ft)"},
    {1000, "25(m)=82(ft)"},
}};

CanBitRate rateAt(int code) {
    const RateRow &row = kRates[static_cast<std::size_t>(code)];
    return {static_cast<qint16>(code), QString::number(row.kbits),
            QString::fromLatin1(row.cableLength)};
}

} // namespace

std::optional<CanBitRate> canBitRateByCode(int code) {
    if (code < 0 || code >= static_cast<int>(kRates.size()))
        return std::nullopt;
    return rateAt(code);
}

std::optional<CanBitRate> canBitRateByValue(double kbits) {
    for (int code = 0; code < static_cast<int>(kRates.size()); ++code) {
        if (kRates[static_cast<std::size_t>(code)].kbits == kbits)
            return rateAt(code);
    }
    return std::nullopt;
}

} // namespace tolvar
