#include "devices/TableCells.h"

namespace tolvar {

void setTag(QString &cell, QStringView name, int number) {
    char16_t text[24];
    qsizetype length = std::min<qsizetype>(name.size(), 12);
    std::copy_n(name.utf16(), length, text);
    text[length++] = u' ';
    char16_t digits[10];
    int count = 0;
    unsigned rest = unsigned(std::max(number, 0));
    do {
        digits[count++] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (count > 0)
        text[length++] = digits[--count];
    // Most tags keep their number; leaving them alone also keeps them shared with the grid.
    if (cell.size() == length && std::equal(text, text + length, cell.utf16()))
        return;
    cell.resize(length);
    std::copy_n(text, length, reinterpret_cast<char16_t *>(cell.data()));
}

} // namespace tolvar
