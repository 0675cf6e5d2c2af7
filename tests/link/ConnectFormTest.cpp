#include "link/ConnectForm.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

struct FormCase {
    const char *name;
    ConnectForm typed;
    ConnectForm shown; // what the window shows after the click
    bool connects;
};

void PrintTo(const FormCase &c, std::ostream *os) {
    *os << c.name;
}

class StartConnectCheck : public ::testing::TestWithParam<FormCase> {};

TEST_P(StartConnectCheck, CorrectsTheFirstBadFieldAndConnectsOnlyWhenAllAreGood) {
    const ConnectCheck check = checkConnectForm(GetParam().typed);
    EXPECT_EQ(check.corrected, GetParam().shown);
    EXPECT_EQ(check.request.has_value(), GetParam().connects);
}

const ConnectForm kGood{"127.0.0.1", "502", "3", "1"};

ConnectForm with(QString ConnectForm::*field, const char *text) {
    ConnectForm form = kGood;
    form.*field = QString::fromUtf8(text);
    return form;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, StartConnectCheck,
    ::testing::Values(FormCase{"good", kGood, kGood, true},
                      FormCase{"letterInIp", with(&ConnectForm::ip, "127.0.0.x"),
                               with(&ConnectForm::ip, ""), false},
                      FormCase{"blankInIp", with(&ConnectForm::ip, "127.0.0 .1"),
                               with(&ConnectForm::ip, ""), false},
                      FormCase{"portPutBack", with(&ConnectForm::port, "503"), kGood, true},
                      FormCase{"timeoutZero", with(&ConnectForm::timeout, "0"),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"timeoutTen", with(&ConnectForm::timeout, "10"),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"timeoutLetters", with(&ConnectForm::timeout, "abc"),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"timeoutTwoDots", with(&ConnectForm::timeout, "1..2"),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"timeoutTrailingDot", with(&ConnectForm::timeout, "2."),
                               with(&ConnectForm::timeout, "2."), true},
                      FormCase{"timeoutEmpty", with(&ConnectForm::timeout, ""),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"timeoutHalfRoundsDownToZero", with(&ConnectForm::timeout, "0.5"),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"timeoutNinePointFourStays", with(&ConnectForm::timeout, "9.4"),
                               with(&ConnectForm::timeout, "9.4"), true},
                      FormCase{"timeoutNinePointSixTooLong", with(&ConnectForm::timeout, "9.6"),
                               with(&ConnectForm::timeout, "1"), false},
                      FormCase{"unitIdLetters", with(&ConnectForm::unitId, "x"),
                               with(&ConnectForm::unitId, "1"), false},
                      FormCase{"unitIdTooBig", with(&ConnectForm::unitId, "256"),
                               with(&ConnectForm::unitId, "1"), false},
                      FormCase{"unitIdTrailingDot", with(&ConnectForm::unitId, "3."),
                               with(&ConnectForm::unitId, "3."), true},
                      FormCase{"unitIdTwoDots", with(&ConnectForm::unitId, "3..1"),
                               with(&ConnectForm::unitId, "1"), false},
                      FormCase{"unitIdZero", with(&ConnectForm::unitId, "0"),
                               with(&ConnectForm::unitId, "0"), true},
                      FormCase{"unitIdAboveList", with(&ConnectForm::unitId, "200"),
                               with(&ConnectForm::unitId, "200"), true}));

TEST(StartConnectCheck, StopsAtTheFirstBadFieldLeavingTheLaterOnesAsTyped) {
    const ConnectCheck check = checkConnectForm({"bad", "503", "0", "x"});
    EXPECT_EQ(check.corrected, (ConnectForm{"", "503", "0", "x"}));
}

TEST(StartConnectCheck, RequestCarriesHostTimeoutAndUnit) {
    const ConnectCheck check = checkConnectForm({"127.0.0.1", "502", "2.5", "6.5"});
    ASSERT_TRUE(check.request);
    EXPECT_EQ(*check.request, (ConnectRequest{"127.0.0.1", 2, 6})); // halves round to even
}

} // namespace
} // namespace tolvar
