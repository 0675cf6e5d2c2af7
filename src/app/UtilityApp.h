#pragma once

#include "link/CommandFrame.h"
#include "link/ConnectForm.h"
#include "link/GatewayLink.h"
#include "link/InitialScreen.h"
#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "mapping/DownloadFrames.h"
#include "model/GatewayConfig.h"

#include <QObject>

#include <memory>

namespace tolvar {

class CANopenDeviceSetting;
class ConnectSet;
class MappingModules;
class ShowMapping;

// The program: owns the configuration model, the gateway link and every window, and wires
// them together. Windows never reach each other; what one must do to another goes through here.
class UtilityApp : public QObject {
    Q_OBJECT

public:
    // `downloadSecondMs` is how long each second of a download's waits lasts (tests shorten it).
    explicit UtilityApp(quint16 gatewayPort, int downloadSecondMs = 1000);
    ~UtilityApp() override;

    void show();

    GatewayConfig &config() { return m_config; }
    GatewayLink &link() { return m_link; }
    InitialScreen &main() { return m_main; }
    // The connection settings window while it is loaded.
    ConnectSet *connectSet() const { return m_connectSet.get(); }
    // The network parameters window, loaded on first use.
    MappingModules &network();
    // The device settings window, loaded on first use.
    CANopenDeviceSetting &deviceSettings();
    // The mapping view, loaded on first use.
    ShowMapping &mappingView();
    // Read-back item numbers and the first-blocks flag.
    const ReadBackCounters &counters() const { return m_counters; }

signals:
    // The main window was closed: the program is to end.
    void finished();

private:
    void openConnectSet();
    void connectSetClosed();
    void startConnect(const ConnectRequest &request);
    void readStoredConfiguration();
    bool isConnection(int connection) const;
    void updateSaveCommand();
    void closeDeviceSettings();
    void disconnect();
    void shutDown();
    void sendReadCommand(ReadCommand command);
    quint8 unitIdentifier() const;
    void onReply(const Reply &reply);
    void applyTables(const TableReply &reply);
    void openDeviceSettings(int device, int knownSlot);
    void save();
    void download(const SaveValues &values);

    // Declared first: the windows below use it until they are gone.
    GatewayConfig m_config;
    ReadBackCounters m_counters;
    GatewayLink m_link;
    InitialScreen m_main;
    std::unique_ptr<ConnectSet> m_connectSet;
    std::unique_ptr<MappingModules> m_network;
    std::unique_ptr<CANopenDeviceSetting> m_deviceSettings;
    std::unique_ptr<ShowMapping> m_mappingView;
    int m_downloadSecondMs;
    int m_readBacks = 0; // running: a connect made during one's waits starts another
    bool m_downloading = false;
    int m_repliesTaken = 0;
};

} // namespace tolvar
