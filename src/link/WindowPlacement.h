#pragma once

class QLabel;
class QWidget;

namespace tolvar {

// Places a window in the middle of its screen.
void centreOnScreen(QWidget &window);

// Makes `label` the buddy of `control` and gives the control the label's text as its
// accessible name, so screen readers and interface tests find it by its label.
void labelControl(QLabel &label, QWidget &control);

} // namespace tolvar
