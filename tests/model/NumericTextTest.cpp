#include "model/NumericText.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

struct NumberCase {
    const char *text;
    double value;
};

class ReadNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumber, ReadsLikeANumericLiteral) {
    EXPECT_DOUBLE_EQ(readNumber(QString::fromUtf8(GetParam().text)), GetParam().value)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"1", 1},
                      NumberCase{"  42", 42}, NumberCase{"\t7", 7}, NumberCase{"12a", 12},
                      NumberCase{"12.5", 12.5}, NumberCase{"1..2", 1}, NumberCase{"2.", 2},
                      NumberCase{".5", 0.5}, NumberCase{"-3", -3}, NumberCase{"+4", 4},
                      NumberCase{"1e3", 1000}, NumberCase{"1e", 1}, NumberCase{"2D2", 200},
                      NumberCase{"192.168.255.3", 192.168}, NumberCase{"&H181", 385},
                      NumberCase{"&h1a", 26}, NumberCase{"&HA001", 40961},
                      NumberCase{"&HFFG", 255}, NumberCase{"&H", 0}, NumberCase{" &H10 ", 16},
                      NumberCase{"& H10", 0}, NumberCase{"12 5", 12}));

struct RoundCase {
    double value;
    qint64 rounded;
};

class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().rounded) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEven,
                         ::testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                           RoundCase{3.5, 4}, RoundCase{2.4999, 2},
                                           RoundCase{2.5001, 3}, RoundCase{-0.5, 0},
                                           RoundCase{-1.5, -2}, RoundCase{-2.5, -2},
                                           RoundCase{7, 7}, RoundCase{-7.6, -8}));

TEST(StrictWholeNumber, AcceptsOnlyAWholeNumberInRange) {
    EXPECT_EQ(strictWholeNumber(u"7", 0, 255), 7);
    EXPECT_EQ(strictWholeNumber(u" 255 ", 0, 255), 255);
    EXPECT_EQ(strictWholeNumber(u"&HFF", 0, 255), 255);
    EXPECT_EQ(strictWholeNumber(u"0", 0, 255), 0);
    for (const char16_t *bad : {u"", u"256", u"-1", u"1.0", u"1a", u"abc", u"&H", u"&H100", u"1 2"})
        EXPECT_FALSE(strictWholeNumber(bad, 0, 255).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(LiteralWholeNumber, AcceptsOneNumberLiteralRoundedIntoRange) {
    const std::pair<const char16_t *, qint64> good[] = {
        {u"2.", 2}, {u" 2 ", 2}, {u"2.5", 2}, {u"3.5", 4}, {u"&H9", 9}, {u".6", 1}, {u"0", 0}};
    for (const auto &[text, value] : good)
        EXPECT_EQ(literalWholeNumber(text, 0, 9), value) << QString::fromUtf16(text).toStdString();
    for (const char16_t *bad : {u"", u".", u"1..2", u"1.2.3", u"&H", u"9.6", u"-1", u"1a", u"1 2"})
        EXPECT_FALSE(literalWholeNumber(bad, 0, 9).has_value())
            << QString::fromUtf16(bad).toStdString();
}

TEST(NumberText, HasOneLeadingBlankForNonNegativeNumbers) {
    EXPECT_EQ(numberText(3), QStringLiteral(" 3"));
    EXPECT_EQ(numberText(0), QStringLiteral(" 0"));
    EXPECT_EQ(numberText(-4), QStringLiteral("-4"));
}

} // namespace
} // namespace tolvar
