#pragma once

#include <QList>
#include <QStringList>

#include <functional>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace tolvar {

// The floating editors of the device settings window: hidden until a cell of their column is
// clicked, then laid exactly over that cell of the grid. They stand beside the grid on its
// page, where screen readers find them among the page's children.

QLineEdit *makeFloatingText(QTableWidget &grid, const char *name, const QString &accessibleName);
QComboBox *makeFloatingList(QTableWidget &grid, const char *name, const QString &accessibleName,
                            const QStringList &items);

// Lays the editor over the cell (a drop-down list keeps its own height), shows it, empties it
// and, when asked, gives it the focus. Emptying a text box runs its change handler.
void layOverCell(QTableWidget &grid, QLineEdit &editor, int row, int column, bool focus);
void layOverCell(QTableWidget &grid, QComboBox &editor, int row, int column, bool focus);

// Moves a shown editor along with its cell as the grid scrolls; it hides once the cell leaves
// the grid's view, where it would cover the headers.
void followCell(QTableWidget &grid, QWidget &editor, int row, int column);

// The keyboard's way to the editors. On the grid, Enter opens the current cell's editor as a
// click does (`open`); F4 or Alt+Down opens it with its list dropped down. In an editor, Escape
// closes it without a change and gives the focus back to the grid.
void addEditorKeys(QTableWidget &grid, std::function<void(int row, int column)> open,
                   const QList<QWidget *> &editors);

} // namespace tolvar
