#include "link/InitialScreen.h"

#include "common/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

namespace tolvar {

namespace {
const QString kCaption = QStringLiteral("Tolvar  Utility (ver 1.0.3)");
} // namespace

InitialScreen::InitialScreen(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("InitialScreen"));
    setWindowTitle(kCaption);
    buildControls();
    buildFileMenu();
    edit = addEditMenu(*menuBar());
    DisconnectButt->setEnabled(false);
    centreOnScreen(*this);
}

void InitialScreen::buildControls() {
    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    ConnectButt = new QPushButton(QStringLiteral("Connect to Tolvar"), central);
    ConnectButt->setObjectName(QStringLiteral("ConnectButt"));
    DisconnectButt = new QPushButton(QStringLiteral("Dissconnect with Tolvar"), central);
    DisconnectButt->setObjectName(QStringLiteral("DisconnectButt"));
    row->addWidget(ConnectButt);
    row->addWidget(DisconnectButt);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("StatusLine"));
    connect(ConnectButt, &QPushButton::clicked, this, &InitialScreen::connectRequested);
    connect(DisconnectButt, &QPushButton::clicked, this, &InitialScreen::disconnectRequested);
}

void InitialScreen::buildFileMenu() {
    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    const auto add = [file](const QString &text, const QString &name) {
        QAction *action = file->addAction(text);
        action->setObjectName(name);
        return action;
    };
    OpenConfigurationAction =
        add(QStringLiteral("Open Configuration\u2026"), QStringLiteral("OpenConfigurationAction"));
    SaveConfigurationAsAction = add(QStringLiteral("Save Configuration As\u2026"),
                                    QStringLiteral("SaveConfigurationAsAction"));
    file->addSeparator();
    ExportModbusMapAction =
        add(QStringLiteral("Export Modbus Map\u2026"), QStringLiteral("ExportModbusMapAction"));
    CheckConfigurationAction =
        add(QStringLiteral("Check Configuration"), QStringLiteral("CheckConfigurationAction"));
    VerifyGatewayAction =
        add(QStringLiteral("Verify Gateway"), QStringLiteral("VerifyGatewayAction"));
    VerifyAfterSavingAction =
        add(QStringLiteral("Verify after saving"), QStringLiteral("VerifyAfterSavingAction"));
    VerifyAfterSavingAction->setCheckable(true);
    VerifyAfterSavingAction->setChecked(true);
}

void InitialScreen::showConnected(bool connected) {
    ConnectButt->setEnabled(!connected);
    DisconnectButt->setEnabled(connected);
}

void InitialScreen::showSettingUp() {
    ConnectButt->setEnabled(false);
    DisconnectButt->setEnabled(false);
}

void InitialScreen::showStatus(const QString &text) {
    statusBar()->showMessage(text);
}

QString InitialScreen::statusText() const {
    return statusBar()->currentMessage();
}

void InitialScreen::showOrigin(const QString &origin, bool modified) {
    QString title = kCaption;
    if (!origin.isEmpty())
        title += QStringLiteral(" \u2014 ") + origin;
    if (modified)
        title += QStringLiteral(" *");
    setWindowTitle(title);
}

void InitialScreen::closeEvent(QCloseEvent *event) {
    if (m_mayClose && !m_mayClose()) {
        event->ignore();
        return;
    }
    hide();
    event->accept();
    emit closing();
}

} // namespace tolvar
