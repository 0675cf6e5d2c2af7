#pragma once

#include <QStringList>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace tolvar {

// The floating editors of the device settings window: hidden until a cell of their column is
// clicked, then laid exactly over that cell of the grid.

QLineEdit *makeFloatingText(QTableWidget &grid, const char *name, const QString &accessibleName);
QComboBox *makeFloatingList(QTableWidget &grid, const char *name, const QString &accessibleName,
                            const QStringList &items);

// Lays the editor over the cell (a drop-down list keeps its own height), shows it, empties it
// and, when asked, gives it the focus. Emptying a text box runs its change handler.
void layOverCell(QTableWidget &grid, QLineEdit &editor, int row, int column, bool focus);
void layOverCell(QTableWidget &grid, QComboBox &editor, int row, int column, bool focus);

} // namespace tolvar
