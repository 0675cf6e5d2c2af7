#include "devices/TableGridView.h"

#include "common/GridHeaders.h"
#include "model/NumericText.h"

#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

namespace tolvar {

QString TableGridView::cellText(int row, int column) const {
    const QTableWidgetItem *item = m_grid.item(row, column);
    return item ? item->text() : QString();
}

void TableGridView::setCellText(int row, int column, const QString &text) {
    if (QTableWidgetItem *item = m_grid.item(row, column))
        item->setText(text);
    else if (!text.isEmpty())
        m_grid.setItem(row, column, new QTableWidgetItem(text));
}

namespace {

void setFixedCell(QTableWidget &grid, int row, int column, const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(grid.palette().button());
    grid.setItem(row, column, item);
}

} // namespace

void resetGrid(QTableWidget &grid, const QStringList &header, int rows) {
    grid.clearContents();
    for (int column = 0; column < header.size(); ++column)
        setFixedCell(grid, 0, column, header[column]);
    for (int row = 1; row <= rows; ++row)
        setFixedCell(grid, row, 0, numberText(row));
    showFixedCellsAsHeaders(grid);
    grid.clearSelection();
}

QTableWidget *makeGrid(QWidget *parent, const QString &name, int rows, int columns,
                       const QColor &background) {
    auto *grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(name);
    // Deletion takes the rows between the first and last selected: a selection with gaps would
    // take rows that are not shown selected.
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Cells are edited through the floating editors only.
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Base, background);
    grid->setPalette(palette);
    return grid;
}

// The selection is one block, though the view may hand it over in pieces. Select All takes the
// hidden header row too; it is no entry.
RowSelection rowSelectionOf(const QTableWidget &grid) {
    RowSelection rows{grid.rowCount(), 0};
    for (const QTableWidgetSelectionRange &range : grid.selectedRanges()) {
        rows.first = std::min(rows.first, range.topRow());
        rows.last = std::max(rows.last, range.bottomRow());
    }
    if (rows.last < 1)
        return {};
    return {std::max(rows.first, 1), rows.last};
}

bool columnAtItsPlace(const QTableWidget &grid, int column) {
    int unscrolled = 0;
    for (int left = 0; left < column; ++left)
        unscrolled += grid.columnWidth(left);
    return grid.columnViewportPosition(column) == unscrolled;
}

} // namespace tolvar
