#include "common/WindowPlacement.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tolvar {
namespace {

const QScreen *screenOf(const QWidget &window) {
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

// One axis: the end goes back inside first, then the start, which wins for a too large window.
int keptInside(int start, int length, int areaStart, int areaLength) {
    const int end = std::min(start + length, areaStart + areaLength);
    return std::max(end - length, areaStart);
}

} // namespace

void centreOnScreen(QWidget &window) {
    const QScreen *screen = screenOf(window);
    if (!screen)
        return;
    const QSize size = window.sizeHint().expandedTo(window.size());
    const QRect area = screen->availableGeometry();
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

QPoint keptInside(const QRect &frame, const QRect &available) {
    return {keptInside(frame.left(), frame.width(), available.left(), available.width()),
            keptInside(frame.top(), frame.height(), available.top(), available.height())};
}

void keepOnScreen(QWidget &window) {
    const QScreen *screen = screenOf(window);
    if (!screen)
        return;
    // The frame includes the title bar; the move takes the frame's top-left corner.
    const QRect frame(window.pos(), window.frameGeometry().size().expandedTo(window.size()));
    const QPoint place = keptInside(frame, screen->availableGeometry());
    if (place != frame.topLeft())
        window.move(place);
}

namespace {
void nameComboEditor(QComboBox &combo) {
    if (QLineEdit *editor = combo.lineEdit())
        editor->setAccessibleName(combo.accessibleName());
}
} // namespace

void labelControl(QLabel &label, QWidget &control) {
    label.setBuddy(&control);
    control.setAccessibleName(label.text().trimmed());
    if (auto *combo = qobject_cast<QComboBox *>(&control))
        nameComboEditor(*combo);
}

void makeEditable(QComboBox &combo) {
    combo.setEditable(true);
    nameComboEditor(combo);
}

} // namespace tolvar
