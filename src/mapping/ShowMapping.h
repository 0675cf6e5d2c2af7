#pragma once

#include "mapping/ConfigurationDownload.h"
#include "mapping/MappingLayout.h"
#include "model/GatewayConfig.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
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
    void showOutcome(const DownloadOutcome &outcome);

    QTabWidget *SSTab1 = nullptr;
    QTableWidget *MappingDOMSFlexGrid = nullptr;
    QTableWidget *MappingDIMSFlexGrid = nullptr;
    QTableWidget *MappingAIMSFlexGrid = nullptr;
    QTableWidget *MappingAOMSFlexGrid = nullptr;
    QLabel *DownloadLabel = nullptr;
    QProgressBar *DownloadProgress = nullptr;

signals:
    // The window was closed: the network window is to show again.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QTableWidget *addGrid(const QString &caption, const QString &name);
    void fill(Area area, QTableWidget &grid);

    const GatewayConfig &m_config;
    std::function<int()> m_deviceAmount;
};

// What the progress line says about a finished download.
QString downloadOutcomeText(const DownloadOutcome &outcome);

} // namespace tolvar
