#pragma once

#include "link/ConnectForm.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tolvar {

// The connection settings window: address, time-out and unit identifier of the gateway.
// "Start Connect" checks the form and asks for the connect; whoever answers runs the attempt
// while this window is busy.
class ConnectSet : public QWidget {
    Q_OBJECT

public:
    explicit ConnectSet(QWidget *parent = nullptr);

    QString unitIdText() const;
    // Unchecked "To initial modules": the stored configuration is read after connecting.
    bool readsStoredConfiguration() const;

    // While busy the window cannot be closed: a click handler is waiting inside it.
    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }
    // The failed-connect message box; returns when the user has dismissed it.
    void reportFailure();

    QLineEdit *IPText = nullptr;
    QLineEdit *PortText = nullptr;
    QLineEdit *TimeoutText = nullptr;
    QComboBox *TolvarCombo = nullptr;
    QCheckBox *EmptyVlaueCheck = nullptr;
    QPushButton *StartConnButt = nullptr;

signals:
    void connectRequested(const tolvar::ConnectRequest &request);
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    ConnectForm readForm() const;
    void writeForm(const ConnectForm &form);
    void StartConnButt_Click();

    bool m_busy = false;
};

} // namespace tolvar
