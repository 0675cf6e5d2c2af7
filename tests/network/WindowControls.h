#pragma once

#include <QComboBox>
#include <QWidget>

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

} // namespace tolvar::testing
