#pragma once

#include "devices/EntryDeletion.h"
#include "devices/GridView.h"

#include <QColor>
#include <QStringList>

class QTableWidget;
class QWidget;

namespace tolvar {

// The entry grids of the device settings window seen through the table rules' GridView.
class TableGridView : public GridView {
public:
    explicit TableGridView(QTableWidget &grid) : m_grid(grid) {}
    QString cellText(int row, int column) const override;
    void setCellText(int row, int column, const QString &text) override;

private:
    QTableWidget &m_grid;
};

// A grid of `rows` entry rows below a header row, with the row numbers in column 0: the
// fixed cells of a freshly loaded grid, shown as its headers; every other cell is empty and
// nothing is selected.
void resetGrid(QTableWidget &grid, const QStringList &header, int rows);

// A grid with the given object name and background colour whose selection is one block of
// cells.
QTableWidget *makeGrid(QWidget *parent, const QString &name, int rows, int columns,
                       const QColor &background);

// The entry rows the grid shows selected, top row first; {0, 0} when none.
RowSelection rowSelectionOf(const QTableWidget &grid);

// True when the cell's column stands where it stands unscrolled.
bool columnAtItsPlace(const QTableWidget &grid, int column);

} // namespace tolvar
