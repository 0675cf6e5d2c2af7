#pragma once

#include "common/EditMenu.h"
#include "devices/DeviceContext.h"
#include "devices/EntryDeletion.h"
#include "model/GatewayConfig.h"

#include <QWidget>

#include <bitset>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace tolvar {

class PdoTab;
class SdoTab;

// The settings window of one CANopen slave: node ID, guarding time and its four entry tables.
// Every accepted edit goes into the model at once. While the window is open the network
// parameters window is hidden (the window says so by its signals).
class CANopenDeviceSetting : public QWidget {
    Q_OBJECT

public:
    // `deviceNumber` answers the device the network window chose last, `deviceAmount` the
    // amount it shows; every handler asks them afresh.
    CANopenDeviceSetting(GatewayConfig &config, std::function<int()> deviceNumber,
                         std::function<int()> deviceAmount);
    ~CANopenDeviceSetting() override;

    // Makes the window visible; a window that is not open starts afresh for the chosen device.
    void open();
    // Loaded with the tables of its device: shown, or hidden by a save.
    bool isOpen() const { return m_open; }

    // Shows rows 1..entryCount of the named grid's table ("TxPDOMSFlexGrid", "RxPDOMSFlexGrid";
    // "ReadSDOMSFlexGrid", "WriteSDOMSFlexGrid") for `device`; other names do nothing.
    void PDOGridFill(const QString &gridName, int device, int entryCount);
    void SDOGridFill(const QString &gridName, int device, int entryCount);
    // Shows again what the model holds for the device: its four tables, the node ID and the
    // guarding time. Every editor hides.
    void showModel();

    QLabel *NumberLabel = nullptr;
    QLineEdit *ModuleIDText = nullptr;
    QLineEdit *GardingTimeText = nullptr;
    QPushButton *DeleteCommand = nullptr;
    QPushButton *ExitCommand = nullptr;
    QTabWidget *SSTab = nullptr;
    QTableWidget *MSFlexGrid = nullptr;
    QTableWidget *RxPDOMSFlexGrid = nullptr;
    QTableWidget *ReadSDOMSFlexGrid = nullptr;
    QTableWidget *WriteSDOMSFlexGrid = nullptr;
    // The "Edit" menu: undo and redo.
    EditActions edit;

signals:
    // A user's edit changed the model: one step named `label` (see PdoTab::edited).
    void edited(const QString &label, const QString &mergeKey);
    // The window started afresh: the network window is to hide.
    void loaded();
    // The window went away: the network window is to show again.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildTabs();
    void startUp();
    void unload();
    void hideAllEditors();
    void showVisibleTable();
    bool showStaleTable();
    void reportTyping(const QLineEdit &box, const QString &label);
    void ModuleIDText_Change();
    void GardingTimeText_Change();
    void SSTab_Click();
    void DeleteCommand_Click();
    void takeShownSelection();
    void clearShownSelection();
    void ExitCommand_Click();

    DeviceContext m_context;
    RowSelection m_pdoSelection;
    RowSelection m_sdoSelection;
    PdoTab *m_txPdo = nullptr;
    PdoTab *m_rxPdo = nullptr;
    SdoTab *m_readSdo = nullptr;
    SdoTab *m_writeSdo = nullptr;
    bool m_open = false;
    std::bitset<4> m_staleTabs; // by tab: shows the model only once it is shown in full
    const QLineEdit *m_typedBox = nullptr; // the box a keystroke went to, until it is stored
};

} // namespace tolvar
