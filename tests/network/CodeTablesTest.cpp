#include "network/CanBitRates.h"
#include "network/SerialCodes.h"

#include <gtest/gtest.h>

#include <optional>

namespace tolvar {
namespace {

struct RateCase {
    int code;
    double kbits;
    const char *text;
    const char *cableLength;
};

void PrintTo(const RateCase &c, std::ostream *os) {
    *os << c.text << " kbit/s";
}

class CanBitRateTable : public ::testing::TestWithParam<RateCase> {};

TEST_P(CanBitRateTable, CodeAndRateFindTheSameRow) {
    const RateCase &c = GetParam();
    const CanBitRate expected{static_cast<qint16>(c.code), QString::fromLatin1(c.text),
                              QString::fromLatin1(c.cableLength)};
    EXPECT_EQ(canBitRateByCode(c.code), expected);
    EXPECT_EQ(canBitRateByValue(c.kbits), expected);
}

INSTANTIATE_TEST_SUITE_P(AllRates, CanBitRateTable,
                         ::testing::Values(RateCase{0, 10, "10", "5000(m)=16400(ft)"},
                                           RateCase{1, 20, "20", "2500(m)=8200(ft)"},
                                           RateCase{2, 50, "50", "1000(m)=3280(ft)"},
                                           RateCase{3, 125, "125", "500(m)=1640(ft)"},
                                           RateCase{4, 250, "250", "250(m)=820(ft)"},
                                           RateCase{5, 500, "500", "100(m)=328(ft)"},
                                           RateCase{6, 800, "800", "50(m)=164(ft)"},
                                           RateCase{7, 1000, "1000", "25(m)=82(ft)"}));

TEST(CanBitRateTable, OtherCodesAndRatesHaveNoRow) {
    for (int code : {-1, 8, 9, 255})
        EXPECT_EQ(canBitRateByCode(code), std::nullopt) << code;
    for (double kbits : {0.0, 100.0, 124.9, 125.5, 1000.001})
        EXPECT_EQ(canBitRateByValue(kbits), std::nullopt) << kbits;
}

struct SerialCase {
    SerialSetting setting;
    int code;
    const char *text;
};

void PrintTo(const SerialCase &c, std::ostream *os) {
    *os << "setting " << static_cast<int>(c.setting) << " code " << c.code << " \"" << c.text
        << '"';
}

class SerialCodeTable : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialCodeTable, TextAndCodeMapBothWays) {
    const SerialCase &c = GetParam();
    EXPECT_EQ(serialCode(c.setting, QString::fromLatin1(c.text)), static_cast<quint8>(c.code));
    EXPECT_EQ(serialText(c.setting, c.code), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    AllRows, SerialCodeTable,
    ::testing::Values(
        SerialCase{SerialSetting::ComPort, 1, "COM1"},
        SerialCase{SerialSetting::ComPort, 2, "COM2"}, SerialCase{SerialSetting::Baud, 0, "1200"},
        SerialCase{SerialSetting::Baud, 1, "2400"}, SerialCase{SerialSetting::Baud, 2, "4800"},
        SerialCase{SerialSetting::Baud, 3, "9600"}, SerialCase{SerialSetting::Baud, 4, "19200"},
        SerialCase{SerialSetting::Baud, 5, "38400"}, SerialCase{SerialSetting::Baud, 6, "57600"},
        SerialCase{SerialSetting::Baud, 7, "115200"}, SerialCase{SerialSetting::DataBits, 1, "7"},
        SerialCase{SerialSetting::DataBits, 2, "8"}, SerialCase{SerialSetting::Parity, 1, "None"},
        SerialCase{SerialSetting::Parity, 2, "Even"}, SerialCase{SerialSetting::Parity, 3, "Odd"},
        SerialCase{SerialSetting::StopBits, 1, "1"}, SerialCase{SerialSetting::StopBits, 2, "2"}));

class SerialCodeOutsideTable : public ::testing::TestWithParam<SerialCase> {};

// Texts are compared exactly: case, blanks and the neighbouring tables' values do not match.
TEST_P(SerialCodeOutsideTable, TextHasNoCode) {
    const SerialCase &c = GetParam();
    EXPECT_EQ(serialCode(c.setting, QString::fromLatin1(c.text)), std::nullopt);
}

TEST_P(SerialCodeOutsideTable, CodeHasNoText) {
    const SerialCase &c = GetParam();
    EXPECT_EQ(serialText(c.setting, c.code), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Refused, SerialCodeOutsideTable,
                         ::testing::Values(SerialCase{SerialSetting::ComPort, 0, "com1"},
                                           SerialCase{SerialSetting::ComPort, 3, "COM3"},
                                           SerialCase{SerialSetting::Baud, 8, "9600 "},
                                           SerialCase{SerialSetting::Baud, 255, "14400"},
                                           SerialCase{SerialSetting::DataBits, 0, "6"},
                                           SerialCase{SerialSetting::DataBits, 3, "1"},
                                           SerialCase{SerialSetting::Parity, 0, "none"},
                                           SerialCase{SerialSetting::Parity, 4, "Mark"},
                                           SerialCase{SerialSetting::StopBits, 0, "1.5"},
                                           SerialCase{SerialSetting::StopBits, 3, ""}));

} // namespace
} // namespace tolvar
