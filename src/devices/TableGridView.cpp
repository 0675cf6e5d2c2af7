#include "devices/TableGridView.h"

#include "model/NumericText.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

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
}

QTableWidget *makeGrid(QWidget *parent, const QString &name, int rows, int columns,
                       const QColor &background) {
    auto *grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    // Cells are edited through the floating editors only.
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Base, background);
    grid->setPalette(palette);
    return grid;
}

RowSelection rowSelectionOf(const QTableWidget &grid) {
    const int current = grid.currentRow();
    for (const QTableWidgetSelectionRange &range : grid.selectedRanges()) {
        if (current >= range.topRow() && current <= range.bottomRow())
            return {range.topRow(), range.bottomRow()};
    }
    return {current, current};
}

bool columnAtItsPlace(const QTableWidget &grid, int column) {
    int unscrolled = 0;
    for (int left = 0; left < column; ++left)
        unscrolled += grid.columnWidth(left);
    return grid.columnViewportPosition(column) == unscrolled;
}

} // namespace tolvar
