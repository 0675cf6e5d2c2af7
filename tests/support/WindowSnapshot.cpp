#include "WindowSnapshot.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

QString shownText(const QWidget &widget) {
    if (const auto *edit = qobject_cast<const QLineEdit *>(&widget))
        return edit->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(&widget))
        return combo->currentText();
    if (const auto *label = qobject_cast<const QLabel *>(&widget))
        return label->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(&widget))
        return frame->title();
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget))
        return button->text();
    return {};
}

namespace {

QString contentOf(const QWidget &widget) {
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget))
        return button->text() + (button->isChecked() ? QStringLiteral(" [x]") : QString());
    if (const auto *table = qobject_cast<const QTableWidget *>(&widget)) {
        QStringList cells;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                if (const QTableWidgetItem *item = table->item(row, column))
                    cells << item->text();
        return cells.join(u'|');
    }
    return shownText(widget);
}

QString stateOf(const QWidget &widget, const QWidget &window) {
    const QRect box = widget.geometry();
    const auto number = [](int value) { return QString::number(value); };
    return QStringLiteral("%1 enabled=%2 visible=%3 at=%4,%5 %6x%7")
        .arg(contentOf(widget), number(widget.isEnabled()), number(widget.isVisibleTo(&window)),
             number(box.x()), number(box.y()), number(box.width()), number(box.height()));
}

} // namespace

WindowSnapshot snapshotOf(const QWidget &window) {
    WindowSnapshot snapshot;
    snapshot.insert(QStringLiteral("<window>"), stateOf(window, window));
    for (const QWidget *child : window.findChildren<QWidget *>()) {
        if (!child->objectName().isEmpty() && !child->objectName().startsWith(u"qt_"))
            snapshot.insert(child->objectName(), stateOf(*child, window));
    }
    return snapshot;
}
