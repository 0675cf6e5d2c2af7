#include "common/GridHeaders.h"

#include <QHeaderView>
#include <QTableWidget>

namespace tolvar {
namespace {

// Without a header item of its own a section would show its number counted from 1.
QTableWidgetItem *headerItem(const QTableWidgetItem *cell) {
    auto *item = new QTableWidgetItem(cell ? cell->text() : QString());
    if (cell)
        item->setTextAlignment(Qt::Alignment(cell->textAlignment()));
    return item;
}

} // namespace

void showFixedCellsAsHeaders(QTableWidget &grid) {
    for (int column = 0; column < grid.columnCount(); ++column)
        grid.setHorizontalHeaderItem(column, headerItem(grid.item(0, column)));
    for (int row = 0; row < grid.rowCount(); ++row)
        grid.setVerticalHeaderItem(row, headerItem(grid.item(row, 0)));
    grid.setRowHidden(0, true);
    grid.setColumnHidden(0, true);
    // A caption selects nothing: a whole column chosen by mistake would be deleted whole.
    grid.horizontalHeader()->setSectionsClickable(false);
    grid.horizontalHeader()->show();
    grid.verticalHeader()->show();
}

} // namespace tolvar
