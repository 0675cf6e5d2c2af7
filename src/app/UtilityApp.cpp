#include "app/UtilityApp.h"

#include "devices/CANopenDeviceSetting.h"
#include "link/CommandFrame.h"
#include "link/ConfigurationRead.h"
#include "link/ConnectSet.h"
#include "link/ReadBackModel.h"
#include "mapping/ConfigurationDownload.h"
#include "mapping/SaveCheck.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"
#include "network/ReadBackDisplay.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tolvar {
namespace {

// "the table reply was dropped"; empty when nothing is missing.
QString readGapText(const QString &missing) {
    if (missing.isEmpty())
        return {};
    return missing + (missing.endsWith(u's') ? QStringLiteral(" were dropped")
                                             : QStringLiteral(" was dropped"));
}

const QString kReadingStatus = QStringLiteral("Reading the configuration of the gateway...");

// What the status line says once a read-back is over, unless something was reported meanwhile.
QString readBackSummary(int answered, bool stillConnected) {
    if (answered >= ConfigurationRead::kRequests)
        return {};
    if (!stillConnected)
        return QStringLiteral("The connection ended before the configuration was read in full.");
    return QStringLiteral("The gateway answered %1 of the %2 read requests.")
        .arg(answered)
        .arg(ConfigurationRead::kRequests);
}

// The gateway's serial settings are set to these before every connect.
void setConnectDefaults(GatewayConfig &config) {
    config.ComPortCode = 1;
    config.BaudRateCode = 3;
    config.DataBitsCode = 1;
    config.ParityCode = 1;
    config.StopBitsCode = 1;
}

} // namespace

UtilityApp::UtilityApp(quint16 gatewayPort, int downloadSecondMs)
    : m_link(gatewayPort), m_downloadSecondMs(downloadSecondMs) {
    m_link.setObjectName(QStringLiteral("Winsock1"));
    m_link.setDeviceCountSource(
        [this] { return m_verifyCopy ? m_verifyCopy->deviceAmount() : network().deviceAmount(); });
    connect(&m_link, &GatewayLink::replyReceived, this, &UtilityApp::onReply);
    connect(&m_link, &GatewayLink::replyRefused, &m_main, &InitialScreen::showStatus);
    connect(&m_main, &InitialScreen::connectRequested, this, &UtilityApp::openConnectSet);
    connect(&m_main, &InitialScreen::disconnectRequested, this, &UtilityApp::disconnect);
    connect(&m_main, &InitialScreen::closing, this, &UtilityApp::shutDown);
    connect(m_main.edit.undo, &QAction::triggered, this, &UtilityApp::undoEdit);
    connect(m_main.edit.redo, &QAction::triggered, this, &UtilityApp::redoEdit);
    m_main.setCloseGuard([this] { return mayDiscardChanges(); });
    m_history.setControls([this] { return shownValues(); },
                          [this](const ControlValues &values) { showValues(values); });
    wireFileMenu();
}

UtilityApp::~UtilityApp() = default;

void UtilityApp::show() {
    m_main.show();
}

MappingModules &UtilityApp::network() {
    if (!m_network) {
        m_network = std::make_unique<MappingModules>(m_config);
        connect(m_network.get(), &MappingModules::deviceSettingsRequested, this,
                &UtilityApp::openDeviceSettings);
        connect(m_network.get(), &MappingModules::saveRequested, this, &UtilityApp::save);
        connect(m_network.get(), &MappingModules::deviceListReset, this,
                &UtilityApp::closeDeviceSettings);
        connect(m_network.get(), &MappingModules::edited, this, &UtilityApp::commitEdit);
        // The main window's undo and redo keys work in this window too.
        m_network->addActions({m_main.edit.undo, m_main.edit.redo});
        // What the new window shows is where the next step starts from.
        m_history.settle();
    }
    return *m_network;
}

CANopenDeviceSetting &UtilityApp::deviceSettings() {
    if (!m_deviceSettings) {
        m_deviceSettings = std::make_unique<CANopenDeviceSetting>(
            m_config, [this] { return network().DeviceNumber; },
            [this] { return network().deviceAmount(); });
        connect(m_deviceSettings.get(), &CANopenDeviceSetting::loaded, this,
                [this] { network().hide(); });
        connect(m_deviceSettings.get(), &CANopenDeviceSetting::unloaded, this,
                [this] { network().show(); });
        connect(m_deviceSettings.get(), &CANopenDeviceSetting::edited, this,
                &UtilityApp::commitEdit);
        connect(m_deviceSettings->edit.undo, &QAction::triggered, this, &UtilityApp::undoEdit);
        connect(m_deviceSettings->edit.redo, &QAction::triggered, this, &UtilityApp::redoEdit);
        showEditState();
    }
    return *m_deviceSettings;
}

ShowMapping &UtilityApp::mappingView() {
    if (!m_mappingView) {
        m_mappingView = std::make_unique<ShowMapping>(m_config, [this] {
            return mappingDeviceAmount(network().DevicesNumCombo->currentText());
        });
        connect(m_mappingView.get(), &ShowMapping::unloaded, this, [this] { network().show(); });
    }
    return *m_mappingView;
}

void UtilityApp::openConnectSet() {
    if (!m_connectSet) {
        m_connectSet = std::make_unique<ConnectSet>();
        connect(m_connectSet.get(), &ConnectSet::connectRequested, this,
                &UtilityApp::startConnect);
        connect(m_connectSet.get(), &ConnectSet::closed, this, &UtilityApp::connectSetClosed);
        if (!m_offeredHost.isEmpty())
            m_connectSet->IPText->setText(m_offeredHost);
    }
    m_connectSet->show();
    m_connectSet->raise();
    m_connectSet->StartConnButt->setEnabled(true);
    m_main.showSettingUp();
}

// Closing the connection settings window discards it; it is inside its own close handler.
void UtilityApp::connectSetClosed() {
    m_main.ConnectButt->setEnabled(true);
    m_connectSet.release()->deleteLater();
}

// The window is busy while the connect is tried: a close while its click handler waits is
// refused.
void UtilityApp::startConnect(const ConnectRequest &request) {
    ConnectSet &window = *m_connectSet;
    if (window.readsStoredConfiguration() && !mayDiscardChanges())
        return;
    setConnectDefaults(m_config);
    m_main.showStatus(QString());
    window.StartConnButt->setEnabled(false);
    window.setBusy(true);
    m_link.connectToGateway(request.host);
    if (!m_link.waitConnected(request.timeoutSeconds)) {
        window.reportFailure();
        m_link.close();
        window.StartConnButt->setEnabled(true);
        window.setBusy(false);
        return;
    }
    m_expected.clear();
    m_ignoredReplies = 0;
    network().show();
    m_main.showConnected(true);
    window.hide();
    const bool readBack = window.readsStoredConfiguration();
    // The read-back's waits let the user disconnect, and reopen, close and discard this window:
    // the handler is done with it.
    window.setBusy(false);
    if (readBack) {
        readStoredConfiguration();
        m_readGap = readGapText(m_expected.missing());
        startHistory(request.host);
    }
}

// One request a second over the connection just made; once that connection has gone nothing
// more is asked. Saving waits meanwhile: it would write a configuration read only in part.
void UtilityApp::readStoredConfiguration() {
    const int connection = m_link.connectionNumber();
    const int repliesBefore = m_repliesTaken;
    m_main.showStatus(kReadingStatus);
    ++m_readBacks;
    updateSaveCommand();
    ConfigurationRead(m_link, m_expected).run(unitIdentifier());
    --m_readBacks;
    updateSaveCommand();
    if (m_main.statusText() == kReadingStatus)
        m_main.showStatus(
            readBackSummary(m_repliesTaken - repliesBefore, isConnection(connection)));
}

bool UtilityApp::isConnection(int connection) const {
    return m_link.isConnected() && m_link.connectionNumber() == connection;
}

// No save starts while the configuration is being read or another save is sending.
void UtilityApp::updateSaveCommand() {
    if (m_network)
        m_network->SaveCommand->setEnabled(m_readBacks == 0 && !m_downloading);
}

void UtilityApp::disconnect() {
    m_link.close();
    if (m_network)
        m_network->hide();
    m_main.showConnected(false);
}

// Closing the main window ends the program: the other windows go with it.
void UtilityApp::shutDown() {
    if (m_connectSet)
        m_connectSet->hide();
    if (m_mappingView)
        m_mappingView->hide();
    if (m_deviceSettings)
        m_deviceSettings->hide();
    if (m_network)
        m_network->hide();
    m_link.close();
    emit finished();
}

quint8 UtilityApp::unitIdentifier() const {
    if (m_connectSet) {
        if (const auto unitId = unitIdentifierOf(m_connectSet->unitIdText()))
            return *unitId;
    }
    return 1;
}

// The data-arrival handler: only the answer to a read request changes anything. While a verify
// reads the gateway, its copy takes the replies. An exception answers a write, and the
// download that sent it takes it.
void UtilityApp::onReply(const Reply &reply) {
    if (!m_expected.take(reply)) {
        if (!(m_downloading && std::holds_alternative<ExceptionReply>(reply)))
            ignoreReply();
        return;
    }
    if (m_verifyCopy) {
        m_verifyCopy->take(reply);
        return;
    }
    showReply(reply);
    if (m_readBacks == 0) // a late answer of a read-back that has ended
        m_readGap = readGapText(m_expected.missing());
}

void UtilityApp::ignoreReply() {
    ++m_ignoredReplies;
    m_main.showStatus(m_ignoredReplies == 1
                          ? QStringLiteral("Ignored a reply nobody asked for.")
                          : QStringLiteral("Ignored %1 replies nobody asked for.")
                                .arg(m_ignoredReplies));
}

// The first blocks after start let pending events run once, so the network window has painted
// what the previous reply put there.
void UtilityApp::showReply(const Reply &reply) {
    ++m_repliesTaken;
    if (const auto *ethernet = std::get_if<EthernetReply>(&reply))
        showEthernetReply(network(), *ethernet);
    if (m_counters.flag == 0) {
        QCoreApplication::processEvents();
        m_counters.flag = 1;
    }
    if (const auto *general = std::get_if<GeneralReply>(&reply))
        showGeneralReply(network(), m_config, m_counters, *general);
    if (m_counters.flag == 1) {
        QCoreApplication::processEvents();
        m_counters.flag = 2;
    }
    if (const auto *tables = std::get_if<TableReply>(&reply))
        applyTables(*tables);
}

void UtilityApp::applyTables(const TableReply &reply) {
    if (const auto problem = checkTableReply(m_config, reply)) {
        m_main.showStatus(*problem);
        return;
    }
    // The reply replaces every table: the device list starts afresh first, as after a general
    // reply, so that nothing typed or received since stays among its entries.
    network().DevicesNumCombo_Click();
    applyTableReply(m_config, m_counters, reply);
}

// The device window shows tables that a new device list replaces: it closes (the network
// window shows again), so nothing is typed into a device the list no longer holds.
void UtilityApp::closeDeviceSettings() {
    if (m_deviceSettings && m_deviceSettings->isOpen())
        m_deviceSettings->close();
}

// A device already listed shows what the model holds for it.
// What filling its boxes stores back into the model is no edit of the user's.
void UtilityApp::openDeviceSettings(int device, int knownSlot) {
    CANopenDeviceSetting &settings = deviceSettings();
    settings.open();
    if (knownSlot >= 0) {
        settings.ModuleIDText->setText(QString::number(m_config.NodeID[std::size_t(knownSlot)]));
        settings.GardingTimeText->setText(m_config.GuardTime[std::size_t(device)]);
        settings.PDOGridFill(QStringLiteral("TxPDOMSFlexGrid"), device,
                             m_config.TxPDO_rows[std::size_t(device)]);
    }
    m_history.settle();
}

} // namespace tolvar
