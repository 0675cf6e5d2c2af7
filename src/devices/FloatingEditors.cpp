#include "devices/FloatingEditors.h"

#include <QAccessible>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

namespace tolvar {
namespace {

// The cell's rectangle in the coordinates of the editor's parent, the grid's page.
QRect cellRect(const QTableWidget &grid, const QWidget &editor, int row, int column) {
    const QRect cell = grid.visualRect(grid.model()->index(row, column));
    return {grid.viewport()->mapTo(editor.parentWidget(), cell.topLeft()), cell.size()};
}

// An editor that takes no focus is still announced, so a screen reader says what appeared.
void finishLaying(QWidget &editor, bool focus) {
    editor.show();
    editor.raise();
    if (focus)
        editor.setFocus();
    QAccessibleEvent shown(&editor, focus ? QAccessible::Focus : QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

class EditorKeys : public QObject {
public:
    EditorKeys(QTableWidget &grid, std::function<void(int, int)> open, QList<QWidget *> editors)
        : QObject(&grid), m_grid(grid), m_open(std::move(open)), m_editors(std::move(editors)) {
        grid.installEventFilter(this);
        for (QWidget *editor : m_editors)
            editor->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == &m_grid)
            return gridKey(*key);
        if (key->key() != Qt::Key_Escape)
            return false;
        static_cast<QWidget *>(watched)->hide();
        m_grid.setFocus();
        return true;
    }

private:
    bool gridKey(const QKeyEvent &key) {
        const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
        const bool dropDown = key.key() == Qt::Key_F4 ||
                              (key.key() == Qt::Key_Down && key.modifiers() & Qt::AltModifier);
        if (!enter && !dropDown)
            return false;
        const int row = m_grid.currentRow();
        const int column = m_grid.currentColumn();
        if (row < 1 || column < 1)
            return true;
        m_open(row, column);
        if (dropDown) {
            for (QWidget *editor : m_editors) {
                if (auto *list = qobject_cast<QComboBox *>(editor); list && list->isVisible())
                    list->showPopup();
            }
        }
        return true;
    }

    QTableWidget &m_grid;
    std::function<void(int, int)> m_open;
    QList<QWidget *> m_editors;
};

} // namespace

QLineEdit *makeFloatingText(QTableWidget &grid, const char *name, const QString &accessibleName) {
    auto *editor = new QLineEdit(grid.parentWidget());
    editor->setObjectName(QLatin1String(name));
    editor->setAccessibleName(accessibleName);
    editor->hide();
    return editor;
}

QComboBox *makeFloatingList(QTableWidget &grid, const char *name, const QString &accessibleName,
                            const QStringList &items) {
    auto *editor = new QComboBox(grid.parentWidget());
    editor->setObjectName(QLatin1String(name));
    editor->setAccessibleName(accessibleName);
    editor->addItems(items);
    editor->setCurrentIndex(-1);
    editor->hide();
    return editor;
}

void layOverCell(QTableWidget &grid, QLineEdit &editor, int row, int column, bool focus) {
    editor.setGeometry(cellRect(grid, editor, row, column));
    finishLaying(editor, focus);
    editor.clear();
}

void layOverCell(QTableWidget &grid, QComboBox &editor, int row, int column, bool focus) {
    const QRect cell = cellRect(grid, editor, row, column);
    editor.setGeometry(cell.left(), cell.top(), cell.width(), editor.sizeHint().height());
    finishLaying(editor, focus);
    editor.setCurrentIndex(-1);
}

void followCell(QTableWidget &grid, QWidget &editor, int row, int column) {
    const QRect cell = cellRect(grid, editor, row, column);
    const QWidget &view = *grid.viewport();
    if (QRect(view.mapTo(editor.parentWidget(), QPoint()), view.size()).contains(cell))
        editor.move(cell.topLeft());
    else
        editor.hide();
}

void addEditorKeys(QTableWidget &grid, std::function<void(int row, int column)> open,
                   const QList<QWidget *> &editors) {
    new EditorKeys(grid, std::move(open), editors);
}

} // namespace tolvar
