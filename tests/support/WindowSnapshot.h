#pragma once

#include <QMap>
#include <QString>

class QWidget;

// The state of every named control of a window, as text, so that two moments (or two runs) can
// be compared whole: texts, check states, enabled and visible flags, geometry.
using WindowSnapshot = QMap<QString, QString>;

WindowSnapshot snapshotOf(const QWidget &window);

// What a control shows: its text, chosen item, caption or title.
QString shownText(const QWidget &widget);
