#pragma once

// Helpers shared by the windows of every folder: placement on the screen and accessible names.

#include <QPoint>
#include <QRect>

class QComboBox;
class QLabel;
class QWidget;

namespace tolvar {

// Places a window in the middle of its screen.
void centreOnScreen(QWidget &window);

// Where a window of `frame` must stand so that it lies inside `available`: moved up (or left)
// just enough for its bottom (right) edge to show; a window larger than the area keeps its top
// (left) edge inside.
QPoint keptInside(const QRect &frame, const QRect &available);

// Moves a shown window back inside its screen's available area after it has grown.
void keepOnScreen(QWidget &window);

// Makes `label` the buddy of `control` and gives the control the label's text as its
// accessible name, so screen readers and interface tests find it by its label.
// An editable combo box's text field carries the combo's name too.
void labelControl(QLabel &label, QWidget &control);

// Lets the user type into a combo box; its text field is named like the combo box.
void makeEditable(QComboBox &combo);

} // namespace tolvar
