#pragma once

#include <QMainWindow>

class QAction;
class QPushButton;

namespace tolvar {

// The main window: connect and disconnect buttons and the status line. Closing it ends the
// program; what that does to the other windows is decided by whoever owns them.
class InitialScreen : public QMainWindow {
    Q_OBJECT

public:
    explicit InitialScreen(QWidget *parent = nullptr);

    // Waits `SetTimeValue` seconds while the windows keep working.
    static void DelayTime(int SetTimeValue);

    // Connected: only DisconnectButt is on. Idle: only ConnectButt. Setting up: both off.
    void showConnected(bool connected);
    void showSettingUp();

    void showStatus(const QString &text);
    QString statusText() const;

    QPushButton *ConnectButt = nullptr;
    QPushButton *DisconnectButt = nullptr;

    // The "File" menu; whoever owns the model acts on them.
    QAction *OpenConfigurationAction = nullptr;
    QAction *SaveConfigurationAsAction = nullptr;
    QAction *ExportModbusMapAction = nullptr;
    QAction *CheckConfigurationAction = nullptr;
    QAction *VerifyGatewayAction = nullptr;

signals:
    void connectRequested();
    void disconnectRequested();
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildFileMenu();
};

} // namespace tolvar
