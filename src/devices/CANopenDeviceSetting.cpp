#include "devices/CANopenDeviceSetting.h"

#include "common/WindowPlacement.h"
#include "model/NumericText.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace tolvar {
namespace {

const QStringList kTxPdoHeader{
    QStringLiteral("NO."),   QStringLiteral("COB-ID"), QStringLiteral("RTR"),
    QStringLiteral("DLen"),  QStringLiteral("Byte0"),  QStringLiteral("Byte1"),
    QStringLiteral("Byte2"), QStringLiteral("Byte3"),  QStringLiteral("Byte4"),
    QStringLiteral("Byte5"), QStringLiteral("Byte6"),  QStringLiteral("Byte7")};
const QColor kTxPdoBackground(255, 255, 128);

// Row 0 and column 0 are the grid's fixed cells: the header and the row numbers.
void setFixedCell(QTableWidget &grid, int row, int column, const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(grid.palette().button());
    grid.setItem(row, column, item);
}

void setCell(QTableWidget &grid, int row, int column, const QString &text) {
    if (QTableWidgetItem *item = grid.item(row, column))
        item->setText(text);
    else
        grid.setItem(row, column, new QTableWidgetItem(text));
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit *makeTextBox(QWidget *parent, const QString &name, const QString &text) {
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

CANopenDeviceSetting::CANopenDeviceSetting(GatewayConfig &config,
                                           std::function<int()> deviceNumber)
    : m_config(config), m_deviceNumber(std::move(deviceNumber)) {
    setObjectName(QStringLiteral("CANopenDeviceSetting"));
    setWindowTitle(QStringLiteral("CANopenDeviceSetting"));
    buildControls();
}

void CANopenDeviceSetting::buildControls() {
    auto *grid = new QGridLayout(this);
    grid->addWidget(
        makeLabel(this, QStringLiteral("DeviceNumberLabel"), QStringLiteral("Device Number")), 0,
        0);
    NumberLabel = makeLabel(this, QStringLiteral("NumberLabel"), QString());
    grid->addWidget(NumberLabel, 0, 1);

    QLabel *idLabel =
        makeLabel(this, QStringLiteral("ModuleIDLabel1"), QStringLiteral("CANopen Slave ID"));
    ModuleIDText = makeTextBox(this, QStringLiteral("ModuleIDText"), QString());
    labelControl(*idLabel, *ModuleIDText);
    grid->addWidget(idLabel, 1, 0);
    grid->addWidget(ModuleIDText, 1, 1);

    QLabel *guardLabel =
        makeLabel(this, QStringLiteral("GardingTimeLabel"), QStringLiteral("Guarding Time(ms)"));
    GardingTimeText = makeTextBox(this, QStringLiteral("GardingTimeText"), QStringLiteral("0"));
    labelControl(*guardLabel, *GardingTimeText);
    grid->addWidget(guardLabel, 2, 0);
    grid->addWidget(GardingTimeText, 2, 1);

    ExitCommand = new QPushButton(QStringLiteral("Exit"), this);
    ExitCommand->setObjectName(QStringLiteral("ExitCommand"));
    grid->addWidget(ExitCommand, 0, 3);
    connect(ExitCommand, &QPushButton::clicked, this, &CANopenDeviceSetting::ExitCommand_Click);

    MSFlexGrid = new QTableWidget(kMaxPdoRows + 1, kPdoColumns, this);
    MSFlexGrid->setObjectName(QStringLiteral("MSFlexGrid"));
    MSFlexGrid->setAccessibleName(QStringLiteral("TxPDO Setting (Hex)"));
    MSFlexGrid->horizontalHeader()->hide();
    MSFlexGrid->verticalHeader()->hide();
    QPalette background = MSFlexGrid->palette();
    background.setColor(QPalette::Base, kTxPdoBackground);
    MSFlexGrid->setPalette(background);
    grid->addWidget(MSFlexGrid, 3, 0, 1, 4);
    grid->setColumnStretch(2, 1);
}

void CANopenDeviceSetting::open() {
    if (!m_open)
        startUp();
    show();
    raise();
}

// A fresh window: empty grid with its header and row numbers, the device number shown.
void CANopenDeviceSetting::startUp() {
    m_open = true;
    emit loaded();
    MSFlexGrid->clearContents();
    for (int column = 0; column < kPdoColumns; ++column)
        setFixedCell(*MSFlexGrid, 0, column, kTxPdoHeader[column]);
    for (int row = 1; row <= kMaxPdoRows; ++row)
        setFixedCell(*MSFlexGrid, row, 0, numberText(row));
    ModuleIDText->clear();
    GardingTimeText->setText(QStringLiteral("0"));
    NumberLabel->setText(numberText(m_deviceNumber()));
}

void CANopenDeviceSetting::PDOGridFill(const QString &gridName, int device, int entryCount) {
    if (gridName != QLatin1String("TxPDOMSFlexGrid") || device < 0 || device > kMaxDevices)
        return;
    const int rows = std::min(entryCount, kMaxPdoRows);
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column < kPdoColumns; ++column)
            setCell(*MSFlexGrid, row, column, m_config.TxPDOTable.cell(device, row, column));
    }
}

void CANopenDeviceSetting::unload() {
    m_open = false;
    m_config.CurrentDevice = static_cast<qint16>(m_deviceNumber());
    hide();
    emit unloaded();
}

void CANopenDeviceSetting::closeEvent(QCloseEvent *event) {
    unload();
    event->accept();
}

void CANopenDeviceSetting::ExitCommand_Click() {
    unload();
}

} // namespace tolvar
