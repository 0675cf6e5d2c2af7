#pragma once

#include "link/CommandFrame.h"
#include "link/GatewayLink.h"
#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "model/GatewayConfig.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QPushButton;

namespace tolvar {

class ConnectSet;
class MappingModules;

// The main window: connect and disconnect, the socket, and the data-arrival handler that
// turns the gateway's replies into controls and model values.
class InitialScreen : public QMainWindow {
    Q_OBJECT

public:
    InitialScreen(GatewayConfig &config, quint16 gatewayPort, QWidget *parent = nullptr);
    ~InitialScreen() override;

    // Read-back item numbers and the first-blocks flag.
    ReadBackCounters counters;

    // Waits `SetTimeValue` seconds while the windows keep working.
    void DelayTime(int SetTimeValue);

    // The read requests; each takes the unit identifier shown at the time of sending.
    void ReadParams();
    void ReadGeneral();
    void ReadTables();

    GatewayLink &link() { return *m_link; }
    GatewayConfig &config() { return m_config; }
    // The network parameters window, loaded on first use.
    MappingModules &mappingModules();
    // The connection settings window while it is loaded.
    ConnectSet *connectSet() const;

    // Called by the connection settings window when a connect has succeeded.
    void connectionEstablished();
    // Called when the connection settings window closes: it is discarded.
    void connectSetClosed();

    QPushButton *ConnectButt = nullptr;
    QPushButton *DisconnectButt = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void ConnectButt_Click();
    void DisconnectButt_Click();
    void sendReadCommand(ReadCommand command);
    quint8 unitIdentifier() const;
    void onReply(const Reply &reply);
    void applyTableReply(const TableReply &reply);
    void reportRefusal(const QString &reason);

    GatewayConfig &m_config;
    GatewayLink *m_link;
    QPointer<ConnectSet> m_connectSet;
    std::unique_ptr<MappingModules> m_mapping;
};

} // namespace tolvar
