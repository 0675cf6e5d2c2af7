#include "devices/TextChecks.h"
#include "model/NumericText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

namespace tolvar {
namespace {

TEST(ReadNumber, ReadsLikeANumericLiteral) {
    const std::pair<const char *, double> cases[] = {{"", 0},           {"  42", 42},
                                                     {"12a", 12},       {"12.5", 12.5},
                                                     {"2D2", 200},      {"192.168.255.3", 192.168},
                                                     {"&HA001", 40961}, {"&HFFG", 255},
                                                     {" &H10 ", 16},    {"& H10", 0}};
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(readNumber(QString::fromUtf8(text)), value) << text;
}

TEST(RoundHalfEven, RoundsHalvesToEven) {
    const std::pair<double, qint64> cases[] = {
        {0.5, 0},    {1.5, 2},   {2.5, 2},   {2.4999, 2},
        {2.5001, 3}, {-1.5, -2}, {-2.5, -2}, {0x1p63, std::numeric_limits<qint64>::max()}};
    for (const auto &[value, rounded] : cases)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
}

// Cases are "text>value"; an empty value: the text is refused.
TEST(WholeNumberText, StrictTakesDigitsOnlyLiteralRoundsHalvesToEven) {
    const auto check = [](auto read, std::initializer_list<const char *> cases) {
        for (const char *c : cases) {
            const QStringList io = QString::fromUtf8(c).split(u'>');
            const std::optional<qint64> value = read(io[0]);
            EXPECT_EQ(value ? QString::number(*value) : QString(), io[1]) << c;
        }
    };
    check([](QStringView t) { return strictWholeNumber(t, 0, 255); },
          {" 255 >255", "&HFF>255", "000000000255>255", "0000000000255>", "256>", "-1>", "1.0>",
           "&H>"});
    check([](QStringView t) { return literalWholeNumber(t, 0, 9); },
          {" 2 >2", "2.5>2", "3.5>4", "&H9>9", ".6>1", ">", "1..2>", "9.6>", "-1>", "1a>"});
    EXPECT_EQ(QStringList({numberText(3), numberText(0), numberText(-4)}),
              QStringList({" 3", " 0", "-4"}));
}

// Cases are "input>answer"; "!" stands for "ErrorValue". The empty text passes every check, so
// a field that empties itself settles.
TEST(TextCheck, AnswersCorrectedTextOrErrorValue) {
    const auto check = [](QString (*checkText)(QStringView),
                          std::initializer_list<const char *> cases) {
        for (const char *c : cases) {
            const QStringList io = QString::fromUtf8(c).split(u'>');
            EXPECT_EQ(checkText(io[0]), io[1] == u"!" ? kErrorValue : io[1]) << c;
        }
    };
    check(CheckNumericText, {">", "192.168.255.3>", "1..2>", "12 5>!", "12a>!", "-1>!"});
    // Hexadecimal fields keep their width and upper-case; later characters go unexamined.
    check(CheckCobIdText, {">", "7ff>7FF", "1a2b>1A2", "123z>123", "1g>!", "1g3x>!", "1.f>1.F"});
    check(CheckSdoIndexText, {">", "6000>6000", "60a0>60A0", "60001>6000", "60x0>!", "600 >!"});
    // Decimal fields refuse a longer text whole.
    check(CheckDecimalText, {">", "65535>65535", "123456>!", "12.5>!", "-1>!", "00000>00000"});
    check(CheckSdoSubIndexText, {">", "12>12", "1a>!", "123>!"});
}

} // namespace
} // namespace tolvar
