#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace tolvar::testing {

// The control `name` of `window`; fails the test when it is missing or of another kind.
template <typename Control> Control *control(const QWidget &window, const QString &name) {
    auto *found = window.findChild<Control *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// The user picks `text` from a combo box (or types it into an editable one) and confirms it.
inline void choose(QComboBox &combo, const QString &text) {
    combo.setCurrentText(text);
    emit combo.activated(combo.currentIndex());
}

// What a control shows: its text, chosen item, caption or title.
inline QString shownText(const QWidget &widget) {
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

// The texts of the named controls of `window`, blank-separated, in the order named.
inline std::string shownTexts(const QWidget &window, const QStringList &names) {
    QStringList texts;
    for (const QString &name : names) {
        const auto *widget = window.findChild<const QWidget *>(name);
        texts << (widget ? shownText(*widget) : QStringLiteral("<missing %1>").arg(name));
    }
    return texts.join(u' ').toStdString();
}

} // namespace tolvar::testing
