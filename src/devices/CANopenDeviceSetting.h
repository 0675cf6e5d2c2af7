#pragma once

#include "model/GatewayConfig.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tolvar {

class MappingModules;

// The settings window of one CANopen slave: node ID, guarding time and its entry tables.
// While it is open the network parameters window is hidden.
class CANopenDeviceSetting : public QWidget {
    Q_OBJECT

public:
    CANopenDeviceSetting(GatewayConfig &config, MappingModules &network);

    // Makes the window visible; a window that is not open starts afresh for the device the
    // network window names.
    void open();

    // Copies rows 1..entryCount of the named grid's table for `device` into the grid.
    void PDOGridFill(const QString &gridName, int device, int entryCount);

    QLabel *NumberLabel = nullptr;
    QLineEdit *ModuleIDText = nullptr;
    QLineEdit *GardingTimeText = nullptr;
    QPushButton *ExitCommand = nullptr;
    QTableWidget *MSFlexGrid = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void startUp();
    void unload();
    void ExitCommand_Click();

    GatewayConfig &m_config;
    MappingModules &m_network;
    bool m_open = false;
};

} // namespace tolvar
