#pragma once

#include "link/ConnectForm.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tolvar {

class InitialScreen;

// The connection settings window: address, time-out and unit identifier of the gateway.
class ConnectSet : public QWidget {
    Q_OBJECT

public:
    explicit ConnectSet(InitialScreen &main);

    QString unitIdText() const;
    bool isConnecting() const { return m_connecting; }

    QLineEdit *IPText = nullptr;
    QLineEdit *PortText = nullptr;
    QLineEdit *TimeoutText = nullptr;
    QComboBox *TolvarCombo = nullptr;
    QCheckBox *EmptyVlaueCheck = nullptr;
    QPushButton *StartConnButt = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    ConnectForm readForm() const;
    void writeForm(const ConnectForm &form);
    void StartConnButt_Click();
    bool connectTo(const ConnectRequest &request);
    void readStoredConfiguration();
    void reportFailure();

    InitialScreen &m_main;
    bool m_connecting = false;
};

} // namespace tolvar
