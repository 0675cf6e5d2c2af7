// Screen readers and interface tests find the controls that take input: tests by their object
// names, screen readers by what each says it is (a name of its own, a buddy label or a caption).
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
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The product's own controls: Qt's inner parts (corner buttons, tab-bar scroll buttons, menu-bar
// extensions) are not.
bool takesInput(const QWidget *control) {
    if (control->objectName().isEmpty() || control->objectName().startsWith(u"qt_") ||
        qobject_cast<const QTabBar *>(control->parentWidget()))
        return false;
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QComboBox *>(control) ||
           qobject_cast<const QAbstractButton *>(control) ||
           qobject_cast<const QAbstractItemView *>(control);
}

QString spokenName(QWidget *control) {
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

TEST(Accessibility, EveryInputControlIsFoundByItsNameAndSpeaks) {
    UtilityApp app(1, 20);
    app.show();
    QTest::mouseClick(app.main().ConnectButt, Qt::LeftButton);
    ASSERT_NE(app.connectSet(), nullptr);
    const QList<QWidget *> windows{&app.main(), app.connectSet(), &app.network(),
                                   &app.deviceSettings(), &app.mappingView()};
    QStringList speaking; // a control that says nothing is missing here
    for (QWidget *window : windows) {
        for (QWidget *control : window->findChildren<QWidget *>()) {
            if (takesInput(control) && !spokenName(control).trimmed().isEmpty())
                speaking += control->objectName();
        }
    }
    speaking.sort();
    EXPECT_EQ(speaking.join(u' ').toStdString(),
              "BaudCombo ComPortCombo CommButt0 CommButt1 CommButt10 CommButt2 CommButt3 CommButt4 "
              "CommButt5 CommButt6 CommButt7 CommButt8 CommButt9 ConnectButt CycleCombo DLenCombo "
              "DataBitCombo DeleteCommand DevicesNumCombo DisconnectButt EmptyVlaueCheck "
              "ExitCommand GardingTimeText GatewayCheck GatewayText1 GatewayText2 GatewayText3 "
              "GatewayText4 IPCheck IPText IPText1 IPText2 IPText3 IPText4 KestoCombo ListenCheck "
              "MSFlexGrid MappingAIMSFlexGrid MappingAOMSFlexGrid MappingDIMSFlexGrid "
              "MappingDOMSFlexGrid MaskCheck MaskText1 MaskText2 MaskText3 MaskText4 ModuleIDText "
              "ParityCombo PortText RTRCombo ReadSDOCombo ReadSDOMSFlexGrid ReadSDOText "
              "RxCOBIDText RxDLenCombo RxPDOMSFlexGrid RxTypeCombo SYCNTimeText SaveCommand "
              "StartConnButt StopBitCombo SyncCombo TimeoutText TolvarCombo TypeCombo "
              "WriteSDOCombo WriteSDOMSFlexGrid WriteSDOText baudrateCombo gridText");
}

} // namespace
} // namespace tolvar
