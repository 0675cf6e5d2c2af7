#pragma once

#include "files/ConfigDifferences.h"
#include "files/ReadBackCopy.h"
#include "link/CommandFrame.h"
#include "link/ExpectedReplies.h"
#include "link/ConnectForm.h"
#include "link/GatewayLink.h"
#include "link/InitialScreen.h"
#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "mapping/DownloadFrames.h"
#include "mapping/NetworkChecks.h"
#include "model/EditHistory.h"
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
    // The address the connection window offers in its IP box instead of the factory one.
    void offerHost(const QString &host) { m_offeredHost = host; }

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
    // The user's edits, for undo and redo.
    EditHistory &history() { return m_history; }
    // Read-back item numbers and the first-blocks flag.
    const ReadBackCounters &counters() const { return m_counters; }

    // The "File" menu without its file dialogs. Each answers whether it did its work; a file it
    // cannot use or write is refused with a message box naming the place and the reason, and
    // nothing changes. Opening fills the model and the windows as a read-back would.
    bool openConfiguration(const QString &path);
    bool saveConfigurationAs(const QString &path);
    bool exportModbusMap(const QString &path);
    // The checks before a save, shown on demand.
    std::vector<Finding> checkConfiguration();
    // Reads the gateway's configuration into a copy of its own, as the connect does, compares
    // it with what the utility holds and shows the outcome.
    Comparison verifyGateway();

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
    quint8 unitIdentifier() const;
    void onReply(const Reply &reply);
    void showReply(const Reply &reply);
    void applyTables(const TableReply &reply);
    void openDeviceSettings(int device, int knownSlot);
    void save();
    void download(const SaveValues &values);
    ShowMapping &showMappingAlone();
    bool verifySent(ShowMapping &view);
    bool confirmIncompleteRead();
    void ignoreReply();
    void wireFileMenu();
    NetworkTexts networkTexts();
    bool confirmFindings(int deviceAmount);
    Comparison readBackAndCompare();
    void refuse(const QString &title, const QString &name, const QString &message);
    void commitEdit(const QString &label, const QString &mergeKey);
    void undoEdit();
    void redoEdit();
    void showStepTaken(bool taken);
    void showEditState();
    void startHistory(const QString &origin);
    bool mayDiscardChanges();
    ControlValues shownValues() const;
    void showValues(const ControlValues &values);

    // Declared first: the windows below use it until they are gone.
    GatewayConfig m_config;
    EditHistory m_history{m_config};
    QString m_origin; // the gateway's address or the file's name the configuration came from
    ReadBackCounters m_counters;
    GatewayLink m_link;
    InitialScreen m_main;
    std::unique_ptr<ConnectSet> m_connectSet;
    std::unique_ptr<MappingModules> m_network;
    std::unique_ptr<CANopenDeviceSetting> m_deviceSettings;
    std::unique_ptr<ShowMapping> m_mappingView;
    int m_downloadSecondMs;
    QString m_offeredHost;
    // Replies go here instead of the windows while a verify reads the gateway.
    ReadBackCopy *m_verifyCopy = nullptr;
    int m_readBacks = 0; // running: a connect made during one's waits starts another
    bool m_downloading = false;
    int m_repliesTaken = 0;
    // The read requests not yet answered: only their replies change the model.
    ExpectedReplies m_expected;
    int m_ignoredReplies = 0; // on this connection
    // What the last read-back left unread ("the table reply was dropped"); empty once the
    // configuration was read in full, opened from a file or sent in full.
    QString m_readGap = QStringLiteral("nothing was read from it");
};

} // namespace tolvar
