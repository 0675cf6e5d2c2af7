// Screen readers, and these tests, find the controls that take input by their names: every one
// of them in every window says what it is, by a name of its own, a buddy label or its caption.
#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "link/ConnectSet.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The product's own controls: Qt's inner parts (corner buttons, menu-bar extensions) are not.
bool takesInput(const QWidget *control) {
    if (control->objectName().isEmpty() || control->objectName().startsWith(u"qt_"))
        return false;
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QComboBox *>(control) ||
           qobject_cast<const QAbstractButton *>(control) ||
           qobject_cast<const QAbstractItemView *>(control);
}

QString spokenName(QWidget *control) {
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

TEST(Accessibility, EveryInputControlOfEveryWindowHasAName) {
    UtilityApp app(1, 20);
    app.show();
    QTest::mouseClick(app.main().ConnectButt, Qt::LeftButton);
    ASSERT_NE(app.connectSet(), nullptr);
    const QList<QWidget *> windows{&app.main(), app.connectSet(), &app.network(),
                                   &app.deviceSettings(), &app.mappingView()};
    for (QWidget *window : windows) {
        for (QWidget *control : window->findChildren<QWidget *>()) {
            if (takesInput(control) && spokenName(control).trimmed().isEmpty())
                ADD_FAILURE() << window->objectName().toStdString() << ": "
                              << control->metaObject()->className() << " "
                              << control->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace tolvar
