#pragma once

#include "support/WindowSnapshot.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace tolvar::testing {

using ::shownText;

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
