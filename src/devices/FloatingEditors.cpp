#include "devices/FloatingEditors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

namespace tolvar {
namespace {

// The editors live on the grid's viewport, so cell rectangles place them directly.
QRect cellRect(const QTableWidget &grid, int row, int column) {
    return grid.visualRect(grid.model()->index(row, column));
}

void finishLaying(QWidget &editor, bool focus) {
    editor.show();
    editor.raise();
    if (focus)
        editor.setFocus();
}

} // namespace

QLineEdit *makeFloatingText(QTableWidget &grid, const char *name, const QString &accessibleName) {
    auto *editor = new QLineEdit(grid.viewport());
    editor->setObjectName(QLatin1String(name));
    editor->setAccessibleName(accessibleName);
    editor->hide();
    return editor;
}

QComboBox *makeFloatingList(QTableWidget &grid, const char *name, const QString &accessibleName,
                            const QStringList &items) {
    auto *editor = new QComboBox(grid.viewport());
    editor->setObjectName(QLatin1String(name));
    editor->setAccessibleName(accessibleName);
    editor->addItems(items);
    editor->setCurrentIndex(-1);
    editor->hide();
    return editor;
}

void layOverCell(QTableWidget &grid, QLineEdit &editor, int row, int column, bool focus) {
    editor.setGeometry(cellRect(grid, row, column));
    finishLaying(editor, focus);
    editor.clear();
}

void layOverCell(QTableWidget &grid, QComboBox &editor, int row, int column, bool focus) {
    const QRect cell = cellRect(grid, row, column);
    editor.setGeometry(cell.left(), cell.top(), cell.width(), editor.sizeHint().height());
    finishLaying(editor, focus);
    editor.setCurrentIndex(-1);
}

} // namespace tolvar
