#include "model/NumericText.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(ReadNumber, ReadsLikeANumericLiteral) {
    const std::pair<const char *, double> cases[] = {
        {"", 0},         {"abc", 0},      {"1", 1},         {"  42", 42},    {"\t7", 7},
        {"12a", 12},     {"12.5", 12.5},  {"1..2", 1},      {"2.", 2},       {".5", 0.5},
        {"-3", -3},      {"+4", 4},       {"1e3", 1000},    {"1e", 1},       {"2D2", 200},
        {"192.168.255.3", 192.168},       {"&H181", 385},   {"&h1a", 26},    {"&HA001", 40961},
        {"&HFFG", 255},  {"&H", 0},       {" &H10 ", 16},   {"& H10", 0},    {"12 5", 12}};
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(readNumber(QString::fromUtf8(text)), value) << text;
}

TEST(RoundHalfEven, RoundsHalvesToEven) {
    const std::pair<double, qint64> cases[] = {{0.5, 0},    {1.5, 2},   {2.5, 2},   {3.5, 4},
                                               {2.4999, 2}, {2.5001, 3}, {-0.5, 0}, {-1.5, -2},
                                               {-2.5, -2},  {7, 7},     {-7.6, -8}};
    for (const auto &[value, rounded] : cases)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
}

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
