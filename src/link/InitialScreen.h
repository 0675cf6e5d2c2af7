#pragma once

#include "common/EditMenu.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QPushButton;

namespace tolvar {

// The main window: connect and disconnect buttons and the status line. Closing it ends the
// program; what that does to the other windows is decided by whoever owns them.
class InitialScreen : public QMainWindow {
    Q_OBJECT

public:
    explicit InitialScreen(QWidget *parent = nullptr);

    // Connected: only DisconnectButt is on. Idle: only ConnectButt. Setting up: both off.
    void showConnected(bool connected);
    void showSettingUp();

    void showStatus(const QString &text);
    QString statusText() const;

    // The caption, then where the configuration came from (a gateway's address or a file's
    // name) and "*" while it has changes that were neither saved nor sent.
    void showOrigin(const QString &origin, bool modified);
    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> mayClose) { m_mayClose = std::move(mayClose); }

    QPushButton *ConnectButt = nullptr;
    QPushButton *DisconnectButt = nullptr;

    // The "File" menu; whoever owns the model acts on them.
    QAction *OpenConfigurationAction = nullptr;
    QAction *SaveConfigurationAsAction = nullptr;
    QAction *ExportModbusMapAction = nullptr;
    QAction *CheckConfigurationAction = nullptr;
    QAction *VerifyGatewayAction = nullptr;
    // Checked (the default): every save ends by reading the configuration back and comparing.
    QAction *VerifyAfterSavingAction = nullptr;
    // The "Edit" menu: undo and redo of every window's edits.
    EditActions edit;

signals:
    void connectRequested();
    void disconnectRequested();
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildFileMenu();

    std::function<bool()> m_mayClose;
};

} // namespace tolvar
