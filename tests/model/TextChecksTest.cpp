#include "devices/TextChecks.h"

#include <gtest/gtest.h>

#include <functional>

namespace tolvar {
namespace {

using Check = std::function<QString(QStringView)>;

struct CheckCase {
    const char *name;
    Check check;
    const char *input;
    const char *answer; // nullptr for "ErrorValue"
};

void PrintTo(const CheckCase &c, std::ostream *os) { *os << c.name << "(\"" << c.input << "\")"; }

class TextCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(TextCheck, AnswersCorrectedTextOrErrorValue) {
    const CheckCase &c = GetParam();
    const QString expected = c.answer ? QString::fromUtf8(c.answer) : kErrorValue;
    EXPECT_EQ(c.check(QString::fromUtf8(c.input)), expected);
}

const Check numeric = CheckNumericText;
const Check cobId = CheckCobIdText;
const Check decimal = CheckDecimalText;
const Check sdoIndex = CheckSdoIndexText;
const Check subIndex = CheckSdoSubIndexText;

INSTANTIATE_TEST_SUITE_P(
    EmptyTextPassesEveryCheck, TextCheck,
    ::testing::Values(CheckCase{"numeric", numeric, "", ""}, CheckCase{"cobId", cobId, "", ""},
                      CheckCase{"decimal", decimal, "", ""},
                      CheckCase{"sdoIndex", sdoIndex, "", ""},
                      CheckCase{"subIndex", subIndex, "", ""}));

INSTANTIATE_TEST_SUITE_P(
    Numeric, TextCheck,
    ::testing::Values(CheckCase{"numeric", numeric, "192.168.255.3", ""},
                      CheckCase{"numeric", numeric, "1..2", ""},
                      CheckCase{"numeric", numeric, "12 5", nullptr},
                      CheckCase{"numeric", numeric, "12a", nullptr},
                      CheckCase{"numeric", numeric, "-1", nullptr}));

INSTANTIATE_TEST_SUITE_P(
    HexadecimalFieldsKeepTheirWidthAndUpperCase, TextCheck,
    ::testing::Values(CheckCase{"cobId", cobId, "7ff", "7FF"},
                      CheckCase{"cobId", cobId, "1a2b", "1A2"},
                      CheckCase{"cobId", cobId, "123z", "123"},
                      CheckCase{"cobId", cobId, "1g", nullptr},
                      CheckCase{"cobId", cobId, "1g3x", nullptr},
                      CheckCase{"cobId", cobId, "1.f", "1.F"},
                      CheckCase{"sdoIndex", sdoIndex, "6000", "6000"},
                      CheckCase{"sdoIndex", sdoIndex, "60a0", "60A0"},
                      CheckCase{"sdoIndex", sdoIndex, "60001", "6000"},
                      CheckCase{"sdoIndex", sdoIndex, "60x0", nullptr},
                      CheckCase{"sdoIndex", sdoIndex, "600 ", nullptr}));

INSTANTIATE_TEST_SUITE_P(
    DecimalFieldsRefuseLongerTextWhole, TextCheck,
    ::testing::Values(CheckCase{"decimal", decimal, "65535", "65535"},
                      CheckCase{"decimal", decimal, "123456", nullptr},
                      CheckCase{"decimal", decimal, "12.5", nullptr},
                      CheckCase{"decimal", decimal, "-1", nullptr},
                      CheckCase{"decimal", decimal, "00000", "00000"},
                      CheckCase{"subIndex", subIndex, "12", "12"},
                      CheckCase{"subIndex", subIndex, "1a", nullptr},
                      CheckCase{"subIndex", subIndex, "123", nullptr}));

} // namespace
} // namespace tolvar
