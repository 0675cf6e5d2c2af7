#pragma once

class QAction;
class QMenuBar;
class QString;

namespace tolvar {

// The two actions of an "Edit" menu; whoever owns the history acts on them.
struct EditActions {
    QAction *undo = nullptr;
    QAction *redo = nullptr;
};

// Adds "Edit" with Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y), both off until there is a
// step to take.
EditActions addEditMenu(QMenuBar &bar);

// Labels the actions with the steps they take ("Undo Word in Byte2") and turns them on or off.
void showEditSteps(const EditActions &actions, const QString &undoText, bool canUndo,
                   const QString &redoText, bool canRedo);

} // namespace tolvar
