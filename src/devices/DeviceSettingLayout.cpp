// Building the controls of the device settings window.
#include "devices/CANopenDeviceSetting.h"

#include "common/EditMenu.h"
#include "common/WindowPlacement.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

namespace tolvar {
namespace {

// Room for the twelve columns of a PDO grid at their default width.
constexpr QSize kWindowSize(1260, 720);

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit *addLabelledBox(QGridLayout &grid, int row, QLabel *label, const char *name) {
    auto *box = new QLineEdit(grid.parentWidget());
    box->setObjectName(QLatin1String(name));
    labelControl(*label, *box);
    grid.addWidget(label, row, 0);
    grid.addWidget(box, row, 1);
    return box;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(caption);
    return button;
}

} // namespace

void CANopenDeviceSetting::buildControls() {
    auto *grid = new QGridLayout(this);
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MenuBar"));
    grid->setMenuBar(bar);
    edit = addEditMenu(*bar);
    grid->addWidget(makeLabel(this, "DeviceNumberLabel", QStringLiteral("Device Number")), 0, 0);
    NumberLabel = makeLabel(this, "NumberLabel", QString());
    grid->addWidget(NumberLabel, 0, 1);
    ModuleIDText = addLabelledBox(
        *grid, 1, makeLabel(this, "ModuleIDLabel1", QStringLiteral("CANopen Slave ID")),
        "ModuleIDText");
    GardingTimeText = addLabelledBox(
        *grid, 2, makeLabel(this, "GardingTimeLabel", QStringLiteral("Guarding Time(ms)")),
        "GardingTimeText");
    GardingTimeText->setText(QStringLiteral("0"));
    DeleteCommand = makeButton(this, "DeleteCommand", QStringLiteral("Delete"));
    ExitCommand = makeButton(this, "ExitCommand", QStringLiteral("Exit"));
    grid->addWidget(DeleteCommand, 1, 3);
    grid->addWidget(ExitCommand, 2, 3);
    SSTab = new QTabWidget(this);
    SSTab->setObjectName(QStringLiteral("SSTab"));
    buildTabs();
    grid->addWidget(SSTab, 3, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    resize(kWindowSize);
}

} // namespace tolvar
