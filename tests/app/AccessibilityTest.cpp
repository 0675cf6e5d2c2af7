// Screen readers and interface tests find the controls that take input: tests by their object
// names, screen readers by what each says it is (a name of its own, a buddy label or a caption).
#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "link/ConnectSet.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
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
              "DataBitCombo DeleteCommand DevicesNumCombo DifferencesButton DisconnectButt EmptyVlaueCheck "
              "ExitCommand GardingTimeText GatewayCheck GatewayText1 GatewayText2 GatewayText3 "
              "GatewayText4 IPCheck IPText IPText1 IPText2 IPText3 IPText4 KestoCombo ListenCheck "
              "MSFlexGrid MappingAIMSFlexGrid MappingAOMSFlexGrid MappingDIMSFlexGrid "
              "MappingDOMSFlexGrid MaskCheck MaskText1 MaskText2 MaskText3 MaskText4 ModuleIDText "
              "ParityCombo PortText RTRCombo ReadSDOCombo ReadSDOMSFlexGrid ReadSDOText "
              "RxCOBIDText RxDLenCombo RxPDOMSFlexGrid RxTypeCombo SYCNTimeText SaveCommand "
              "StartConnButt StopBitCombo SyncCombo TimeoutText TolvarCombo TypeCombo "
              "WriteSDOCombo WriteSDOMSFlexGrid WriteSDOText baudrateCombo gridText");
}

// The names a screen reader finds walking down from `from`, with the objects that carry them;
// the cells of a grid are not walked.
void spokenNames(QAccessibleInterface *from, QMap<QString, QObject *> &found) {
    for (int i = 0; i < from->childCount(); ++i) {
        QAccessibleInterface *child = from->child(i);
        if (!child || child->state().invisible)
            continue;
        found.insert(child->text(QAccessible::Name), child->object());
        if (child->role() != QAccessible::Table)
            spokenNames(child, found);
    }
}

// A screen reader walking the device window finds the editor shown over a clicked cell, named
// after the column it edits.
TEST(Accessibility, FloatingEditorsAreFoundInTheTreeByTheirColumn) {
    UtilityApp app(0);
    app.network().show();
    testing::choose(*app.network().DevicesNumCombo, QStringLiteral("1"));
    app.network().findChild<QPushButton *>(QStringLiteral("CommButt1"))->click();
    CANopenDeviceSetting &window = app.deviceSettings();
    const std::tuple<int, int, const char *, const char *> editors[] = {
        {0, 1, "gridText", "COB-ID"},         {0, 2, "RTRCombo", "RTR"},
        {0, 3, "DLenCombo", "DLen"},          {0, 7, "TypeCombo", "Byte3 type"},
        {1, 1, "CycleCombo", "Cycle"},        {1, 2, "RxCOBIDText", "COB-ID"},
        {1, 3, "RxDLenCombo", "DLen"},        {1, 11, "RxTypeCombo", "Byte7 type"},
        {2, 1, "ReadSDOText", "Index"},       {2, 2, "ReadSDOText", "subIndex"},
        {2, 3, "ReadSDOCombo", "Byte0 type"}, {3, 2, "WriteSDOText", "subIndex"},
        {3, 3, "WriteSDOCombo", "Byte0 type"}};
    for (const auto &[tab, column, editor, name] : editors) {
        SCOPED_TRACE(editor);
        window.SSTab->setCurrentIndex(tab);
        auto *grid = window.SSTab->currentWidget()->findChild<QTableWidget *>();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, column)).center());
        QMap<QString, QObject *> found;
        spokenNames(QAccessible::queryAccessibleInterface(&window), found);
        ASSERT_TRUE(found.contains(QLatin1String(name)));
        EXPECT_EQ(found[QLatin1String(name)]->objectName(), QLatin1String(editor));
    }
}

} // namespace
} // namespace tolvar
