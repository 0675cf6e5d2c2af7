#include "common/EditMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace tolvar {

EditActions addEditMenu(QMenuBar &bar) {
    QMenu *menu = bar.addMenu(QStringLiteral("&Edit"));
    menu->setObjectName(QStringLiteral("EditMenu"));
    EditActions actions{menu->addAction(QStringLiteral("Undo")),
                        menu->addAction(QStringLiteral("Redo"))};
    actions.undo->setObjectName(QStringLiteral("UndoAction"));
    actions.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actions.redo->setObjectName(QStringLiteral("RedoAction"));
    actions.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    showEditSteps(actions, QStringLiteral("Undo"), false, QStringLiteral("Redo"), false);
    return actions;
}

void showEditSteps(const EditActions &actions, const QString &undoText, bool canUndo,
                   const QString &redoText, bool canRedo) {
    actions.undo->setText(undoText);
    actions.undo->setEnabled(canUndo);
    actions.redo->setText(redoText);
    actions.redo->setEnabled(canRedo);
}

} // namespace tolvar
