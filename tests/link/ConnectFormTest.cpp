#include "link/ConnectForm.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

constexpr int kNoConnect = -1;

// The number formats themselves are the numeric-text rules; here only the limits of each
// field and what the window does with a bad one.
TEST(StartConnectCheck, CorrectsABadFieldAndConnectsOnlyWhenAllAreGood) {
    const ConnectForm good{"127.0.0.1", "502", "3", "1"};
    // One field of a good form typed as `typed`: the window then shows `shown` in that field, and
    // connects with the time-out and unit given, or not at all.
    const std::tuple<QString ConnectForm::*, const char *, const char *, int, int> cases[] = {
        {&ConnectForm::ip, "127.0.0.x", "", kNoConnect, 0},
        {&ConnectForm::port, "503", "502", 3, 1},
        {&ConnectForm::timeout, "0", "1", kNoConnect, 0},
        {&ConnectForm::timeout, "10", "1", kNoConnect, 0},
        {&ConnectForm::timeout, "1", "1", 1, 1},
        {&ConnectForm::timeout, "9.4", "9.4", 9, 1},
        {&ConnectForm::unitId, "x", "1", kNoConnect, 0},
        {&ConnectForm::unitId, "0", "0", 3, 0},
        {&ConnectForm::unitId, "256", "1", kNoConnect, 0},
        {&ConnectForm::unitId, "255", "255", 3, 255}};
    for (const auto &[field, typed, shown, seconds, unitId] : cases) {
        SCOPED_TRACE(::testing::Message() << "typed " << typed);
        ConnectForm form = good;
        form.*field = QString::fromUtf8(typed);
        ConnectForm corrected = good;
        corrected.*field = QString::fromUtf8(shown);
        const ConnectCheck check = checkConnectForm(form);
        EXPECT_EQ(check.corrected, corrected);
        if (seconds == kNoConnect)
            EXPECT_FALSE(check.request);
        else
            EXPECT_EQ(check.request, (ConnectRequest{"127.0.0.1", seconds, quint8(unitId)}));
    }
}

} // namespace
} // namespace tolvar
