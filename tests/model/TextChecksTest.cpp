#include "devices/TextChecks.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using Check = QString (*)(QStringView);

// Every check answers the corrected text, or "ErrorValue" (written nullptr here).
TEST(TextCheck, AnswersCorrectedTextOrErrorValue) {
    const struct {
        const char *name;
        Check check;
        const char *input;
        const char *answer;
    } cases[] = {
        // The empty text passes every check, so a field that empties itself settles.
        {"numeric", CheckNumericText, "", ""},
        {"cobId", CheckCobIdText, "", ""},
        {"decimal", CheckDecimalText, "", ""},
        {"sdoIndex", CheckSdoIndexText, "", ""},
        {"subIndex", CheckSdoSubIndexText, "", ""},
        {"numeric", CheckNumericText, "192.168.255.3", ""},
        {"numeric", CheckNumericText, "1..2", ""},
        {"numeric", CheckNumericText, "12 5", nullptr},
        {"numeric", CheckNumericText, "12a", nullptr},
        {"numeric", CheckNumericText, "-1", nullptr},
        // Hexadecimal fields keep their width and upper-case; later characters go unexamined.
        {"cobId", CheckCobIdText, "7ff", "7FF"},
        {"cobId", CheckCobIdText, "1a2b", "1A2"},
        {"cobId", CheckCobIdText, "123z", "123"},
        {"cobId", CheckCobIdText, "1g", nullptr},
        {"cobId", CheckCobIdText, "1g3x", nullptr},
        {"cobId", CheckCobIdText, "1.f", "1.F"},
        {"sdoIndex", CheckSdoIndexText, "6000", "6000"},
        {"sdoIndex", CheckSdoIndexText, "60a0", "60A0"},
        {"sdoIndex", CheckSdoIndexText, "60001", "6000"},
        {"sdoIndex", CheckSdoIndexText, "60x0", nullptr},
        {"sdoIndex", CheckSdoIndexText, "600 ", nullptr},
        // Decimal fields refuse a longer text whole.
        {"decimal", CheckDecimalText, "65535", "65535"},
        {"decimal", CheckDecimalText, "123456", nullptr},
        {"decimal", CheckDecimalText, "12.5", nullptr},
        {"decimal", CheckDecimalText, "-1", nullptr},
        {"decimal", CheckDecimalText, "00000", "00000"},
        {"subIndex", CheckSdoSubIndexText, "12", "12"},
        {"subIndex", CheckSdoSubIndexText, "1a", nullptr},
        {"subIndex", CheckSdoSubIndexText, "123", nullptr}};
    for (const auto &c : cases) {
        const QString expected = c.answer ? QString::fromUtf8(c.answer) : kErrorValue;
        EXPECT_EQ(c.check(QString::fromUtf8(c.input)), expected) << c.name << "(" << c.input << ")";
    }
}

} // namespace
} // namespace tolvar
