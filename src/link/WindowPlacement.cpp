#include "link/WindowPlacement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace tolvar {

void centreOnScreen(QWidget &window) {
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize size = window.sizeHint().expandedTo(window.size());
    const QRect area = screen->availableGeometry();
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

void labelControl(QLabel &label, QWidget &control) {
    label.setBuddy(&control);
    control.setAccessibleName(label.text().trimmed());
}

} // namespace tolvar
