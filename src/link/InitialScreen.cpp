#include "link/InitialScreen.h"

#include "common/WindowPlacement.h"
#include "link/Waits.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStatusBar>

namespace tolvar {

InitialScreen::InitialScreen(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("InitialScreen"));
    setWindowTitle(QStringLiteral("Tolvar  Utility (ver 1.0.3)"));
    buildControls();
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

void InitialScreen::DelayTime(int SetTimeValue) {
    waitSeconds(SetTimeValue);
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

void InitialScreen::closeEvent(QCloseEvent *event) {
    hide();
    event->accept();
    emit closing();
}

} // namespace tolvar
