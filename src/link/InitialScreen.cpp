#include "link/InitialScreen.h"

#include "link/CommandFrame.h"
#include "link/ConnectForm.h"
#include "link/ConnectSet.h"
#include "link/ReadBackDisplay.h"
#include "link/ReadBackModel.h"
#include "link/Waits.h"
#include "link/WindowPlacement.h"
#include "network/MappingModules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStatusBar>

namespace tolvar {

InitialScreen::InitialScreen(GatewayConfig &config, quint16 gatewayPort, QWidget *parent)
    : QMainWindow(parent), m_config(config), m_link(new GatewayLink(gatewayPort, this)) {
    setObjectName(QStringLiteral("InitialScreen"));
    setWindowTitle(QStringLiteral("Tolvar  Utility (ver 1.0.3)"));
    m_link->setObjectName(QStringLiteral("Winsock1"));
    buildControls();
    DisconnectButt->setEnabled(false);
    m_link->setDeviceCountSource([this] { return mappingModules().deviceAmount(); });
    connect(m_link, &GatewayLink::replyReceived, this, &InitialScreen::onReply);
    connect(m_link, &GatewayLink::replyRefused, this, &InitialScreen::reportRefusal);
    centreOnScreen(*this);
}

InitialScreen::~InitialScreen() = default;

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
    connect(ConnectButt, &QPushButton::clicked, this, &InitialScreen::ConnectButt_Click);
    connect(DisconnectButt, &QPushButton::clicked, this, &InitialScreen::DisconnectButt_Click);
}

MappingModules &InitialScreen::mappingModules() {
    if (!m_mapping)
        m_mapping = std::make_unique<MappingModules>(m_config);
    return *m_mapping;
}

ConnectSet *InitialScreen::connectSet() const {
    return m_connectSet;
}

void InitialScreen::DelayTime(int SetTimeValue) {
    waitSeconds(SetTimeValue);
}

void InitialScreen::ConnectButt_Click() {
    if (!m_connectSet)
        m_connectSet = new ConnectSet(*this);
    m_connectSet->show();
    m_connectSet->raise();
    m_connectSet->StartConnButt->setEnabled(true);
    ConnectButt->setEnabled(false);
}

void InitialScreen::connectionEstablished() {
    mappingModules().show();
    DisconnectButt->setEnabled(true);
}

void InitialScreen::connectSetClosed() {
    ConnectButt->setEnabled(true);
    if (m_connectSet)
        m_connectSet->deleteLater();
    m_connectSet = nullptr;
}

void InitialScreen::DisconnectButt_Click() {
    m_link->close();
    if (m_mapping)
        m_mapping->hide();
    ConnectButt->setEnabled(true);
    DisconnectButt->setEnabled(false);
}

// Closing the main window ends the program: the other windows go with it.
void InitialScreen::closeEvent(QCloseEvent *event) {
    hide();
    if (m_connectSet)
        m_connectSet->hide();
    if (m_mapping)
        m_mapping->unloadWithDeviceSettings();
    m_link->close();
    event->accept();
    QApplication::quit();
}

quint8 InitialScreen::unitIdentifier() const {
    if (m_connectSet) {
        if (const auto unitId = unitIdentifierOf(m_connectSet->unitIdText()))
            return *unitId;
    }
    return 1;
}

void InitialScreen::sendReadCommand(ReadCommand command) {
    m_link->send(readCommandFrame(command, unitIdentifier()));
}

void InitialScreen::ReadParams() {
    sendReadCommand(ReadCommand::ReadParams);
}
void InitialScreen::ReadGeneral() {
    sendReadCommand(ReadCommand::ReadGeneral);
}
void InitialScreen::ReadTables() {
    sendReadCommand(ReadCommand::ReadTables);
}

// The data-arrival handler. The first blocks after start let pending events run once, so the
// network window has painted what the previous reply put there.
void InitialScreen::onReply(const Reply &reply) {
    if (const auto *ethernet = std::get_if<EthernetReply>(&reply))
        showEthernetReply(mappingModules(), *ethernet);
    if (counters.flag == 0) {
        QCoreApplication::processEvents();
        counters.flag = 1;
    }
    if (const auto *general = std::get_if<GeneralReply>(&reply))
        showGeneralReply(mappingModules(), m_config, counters, *general);
    if (counters.flag == 1) {
        QCoreApplication::processEvents();
        counters.flag = 2;
    }
    if (const auto *tables = std::get_if<TableReply>(&reply))
        applyTableReply(*tables);
}

void InitialScreen::applyTableReply(const TableReply &reply) {
    if (const auto problem = checkTableReply(m_config, reply)) {
        reportRefusal(*problem);
        return;
    }
    tolvar::applyTableReply(m_config, counters, reply);
}

void InitialScreen::reportRefusal(const QString &reason) {
    statusBar()->showMessage(reason);
}

} // namespace tolvar
