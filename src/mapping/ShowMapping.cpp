#include "mapping/ShowMapping.h"

#include "common/GridHeaders.h"
#include "common/ReportDialog.h"
#include "common/WindowPlacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tolvar {
namespace {

const QColor kCellBackground(255, 255, 128);

void setCell(QTableWidget &grid, int row, int column, const QString &text) {
    grid.setItem(row, column, new QTableWidgetItem(text));
}

} // namespace

ShowMapping::ShowMapping(const GatewayConfig &config, std::function<int()> deviceAmount)
    : m_config(config), m_deviceAmount(std::move(deviceAmount)) {
    setObjectName(QStringLiteral("ShowMapping"));
    setWindowTitle(QStringLiteral("ShowMapping"));
    auto *column = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    column->addWidget(SSTab1);
    MappingDOMSFlexGrid = addGrid(QStringLiteral("DO Mapping"), QStringLiteral("MappingDOMSFlexGrid"));
    MappingDIMSFlexGrid = addGrid(QStringLiteral("DI Mapping"), QStringLiteral("MappingDIMSFlexGrid"));
    MappingAIMSFlexGrid = addGrid(QStringLiteral("AI Mapping"), QStringLiteral("MappingAIMSFlexGrid"));
    MappingAOMSFlexGrid = addGrid(QStringLiteral("AO Mapping"), QStringLiteral("MappingAOMSFlexGrid"));
    DownloadLabel = new QLabel(this);
    DownloadLabel->setObjectName(QStringLiteral("DownloadLabel"));
    DownloadProgress = new QProgressBar(this);
    DownloadProgress->setObjectName(QStringLiteral("DownloadProgress"));
    DownloadProgress->setAccessibleName(QStringLiteral("Download progress"));
    DifferencesButton = new QPushButton(QStringLiteral("Show Differences..."), this);
    DifferencesButton->setObjectName(QStringLiteral("DifferencesButton"));
    DifferencesButton->setAccessibleName(DifferencesButton->text());
    DifferencesButton->hide();
    connect(DifferencesButton, &QPushButton::clicked, this, &ShowMapping::showDifferences);
    column->addWidget(DownloadLabel);
    column->addWidget(DownloadProgress);
    column->addWidget(DifferencesButton);
    resize(980, 520);
    centreOnScreen(*this);
}

QTableWidget *ShowMapping::addGrid(const QString &caption, const QString &name) {
    auto *grid = new QTableWidget(31, kMappingColumns, SSTab1);
    grid->setObjectName(name);
    grid->setAccessibleName(caption);
    showFixedCellsAsHeaders(*grid);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Base, kCellBackground);
    grid->setPalette(palette);
    SSTab1->addTab(grid, caption);
    return grid;
}

// The grid is sized to the layout and every cell of an earlier fill goes.
void ShowMapping::fill(Area area, QTableWidget &grid) {
    const MappingArea layout = mappingArea(m_config, m_deviceAmount(), area);
    grid.clearContents();
    grid.setRowCount(layout.rows);
    grid.setColumnCount(kMappingColumns);
    for (int column = 1; column <= layout.headers.size(); ++column)
        setCell(grid, 0, column, layout.headers[column - 1]);
    for (int row = 1; row <= layout.labels.size(); ++row) {
        setCell(grid, row, 0, layout.labels[row - 1]);
        grid.item(row, 0)->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    for (const MappingCell &cell : layout.cells)
        setCell(grid, cell.row, cell.column, cell.text);
    showFixedCellsAsHeaders(grid);
}

void ShowMapping::ShowDOMapping() {
    fill(Area::DigitalOutput, *MappingDOMSFlexGrid);
}
void ShowMapping::ShowDIMapping() {
    fill(Area::DigitalInput, *MappingDIMSFlexGrid);
}
void ShowMapping::ShowAIMapping() {
    fill(Area::AnalogInput, *MappingAIMSFlexGrid);
}
void ShowMapping::ShowAOMapping() {
    fill(Area::AnalogOutput, *MappingAOMSFlexGrid);
}

void ShowMapping::showProgress(int sent, int total, int secondsLeft) {
    DownloadProgress->setRange(0, total);
    DownloadProgress->setValue(sent);
    DownloadLabel->setText(QStringLiteral("Sending the configuration: %1 of %2 frames sent, "
                                          "about %3 s left.")
                               .arg(sent)
                               .arg(total)
                               .arg(secondsLeft));
}

void ShowMapping::showOutcome(const DownloadOutcome &outcome, const QString &text) {
    DownloadProgress->setRange(0, outcome.total);
    DownloadProgress->setValue(outcome.sent);
    showVerified(text, {});
}

void ShowMapping::showVerified(const QString &text, const QStringList &differences) {
    DownloadLabel->setText(text);
    m_differences = differences;
    DifferencesButton->setVisible(!differences.isEmpty());
}

void ShowMapping::showDifferences() {
    ReportDialog dialog(QStringLiteral("Save All Setting"),
                        QStringLiteral("The gateway holds another configuration than the one "
                                       "sent: %1 difference(s).")
                            .arg(m_differences.size()),
                        m_differences, {}, this);
    dialog.setObjectName(QStringLiteral("SaveDifferencesBox"));
    dialog.exec();
}

void ShowMapping::closeEvent(QCloseEvent *event) {
    event->accept();
    hide();
    emit unloaded();
}

} // namespace tolvar
