#pragma once

#include "model/GatewayConfig.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tolvar {

// The settings window of one CANopen slave: node ID, guarding time and its entry tables.
// While it is open the network parameters window is hidden (it says so by its signals).
class CANopenDeviceSetting : public QWidget {
    Q_OBJECT

public:
    // `deviceNumber` answers the device the network window chose last; every handler asks it.
    CANopenDeviceSetting(GatewayConfig &config, std::function<int()> deviceNumber);

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

signals:
    // The window started afresh: the network window is to hide.
    void loaded();
    // The window went away: the network window is to show again.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void startUp();
    void unload();
    void ExitCommand_Click();

    GatewayConfig &m_config;
    std::function<int()> m_deviceNumber;
    bool m_open = false;
};

} // namespace tolvar
