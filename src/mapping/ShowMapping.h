#pragma once

#include "mapping/ConfigurationDownload.h"
#include "mapping/MappingLayout.h"
#include "model/GatewayConfig.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace tolvar {

// The Modbus mapping view: where every typed data byte lands in the four Modbus areas, one
// grid a tab. It only shows what the mapping layout computes; below the grids it shows how a
// download is getting on.
class ShowMapping : public QWidget {
    Q_OBJECT

public:
    // `deviceAmount` answers the device amount the network window shows.
    ShowMapping(const GatewayConfig &config, std::function<int()> deviceAmount);

    // Each lays out its grid afresh from the model and fills it.
    void ShowDOMapping();
    void ShowDIMapping();
    void ShowAIMapping();
    void ShowAOMapping();

    void showProgress(int sent, int total, int secondsLeft);
    // `text` tells how the download ended (and, once read back, whether the gateway holds it);
    // with `differences` the "Show Differences" button lists them.
    void showOutcome(const DownloadOutcome &outcome, const QString &text);
    void showVerified(const QString &text, const QStringList &differences);

    QTabWidget *SSTab1 = nullptr;
    QTableWidget *MappingDOMSFlexGrid = nullptr;
    QTableWidget *MappingDIMSFlexGrid = nullptr;
    QTableWidget *MappingAIMSFlexGrid = nullptr;
    QTableWidget *MappingAOMSFlexGrid = nullptr;
    QLabel *DownloadLabel = nullptr;
    QProgressBar *DownloadProgress = nullptr;
    QPushButton *DifferencesButton = nullptr;

signals:
    // The window was closed: the network window is to show again.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QTableWidget *addGrid(const QString &caption, const QString &name);
    void fill(Area area, QTableWidget &grid);

    const GatewayConfig &m_config;
    void showDifferences();

    std::function<int()> m_deviceAmount;
    QStringList m_differences;
};

} // namespace tolvar
