#include "devices/TableCells.h"

#include <array>

namespace tolvar {

void setTag(QString &cell, QStringView name, int number) {
    std::array<char16_t, 24> text{};
    std::size_t length = std::min<std::size_t>(std::size_t(name.size()), 12);
    std::copy_n(name.utf16(), length, text.begin());
    text[length++] = u' ';
    std::array<char16_t, 11> digits{};
    std::size_t count = 0;
    for (unsigned rest = unsigned(std::max(number, 0)); count == 0 || rest != 0; rest /= 10)
        digits[count++] = char16_t(u'0' + rest % 10);
    while (count > 0)
        text[length++] = digits[--count];
    if (QStringView(text.data(), qsizetype(length)) == cell)
        return;
    cell.resize(qsizetype(length));
    std::copy_n(text.begin(), length, reinterpret_cast<char16_t *>(cell.data()));
}

} // namespace tolvar
