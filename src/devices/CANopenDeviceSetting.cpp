#include "devices/CANopenDeviceSetting.h"

#include "devices/EntryTexts.h"
#include "devices/GridFill.h"
#include "devices/PdoTab.h"
#include "devices/SdoTab.h"
#include "devices/TableGridView.h"
#include "model/NumericText.h"

#include <array>

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>

namespace tolvar {
namespace {

const QString kTxPdoCaption = QStringLiteral("TxPDO Setting (Hex)");
const QString kRxPdoCaption = QStringLiteral("RxPDO Setting (Hex)");
const QString kReadSdoCaption = QStringLiteral("Read SDO Setting (Hex)");
const QString kWriteSdoCaption = QStringLiteral("Write SDO Setting (Hex)");

QStringList pdoHeader(const char *first, const char *second) {
    QStringList header{QStringLiteral("NO."), QLatin1String(first), QLatin1String(second),
                       QStringLiteral("DLen")};
    for (int byte = 0; byte < kPdoDataBytes; ++byte)
        header << QStringLiteral("Byte%1").arg(byte);
    return header;
}

const PdoTabNames kTxPdoNames{"MSFlexGrid",
                              pdoHeader("COB-ID", "RTR"),
                              QColor(255, 255, 128),
                              "gridText",
                              "RTRCombo",
                              {QStringLiteral("1"), QStringLiteral("Null")},
                              true,
                              &rtrCellText,
                              "DLenCombo",
                              "TypeCombo",
                              true};
const PdoTabNames kRxPdoNames{"RxPDOMSFlexGrid",
                              pdoHeader("Cycle", "COB-ID"),
                              QColor(192, 255, 255),
                              "RxCOBIDText",
                              "CycleCombo",
                              {QStringLiteral("No"), QStringLiteral("Null")},
                              false,
                              &choiceCellText,
                              "RxDLenCombo",
                              "RxTypeCombo",
                              false};
const SdoTabNames kReadSdoNames{"ReadSDOMSFlexGrid", QColor(255, 224, 192), "ReadSDOText",
                                "ReadSDOCombo"};
const SdoTabNames kWriteSdoNames{"WriteSDOMSFlexGrid", QColor(128, 128, 255), "WriteSDOText",
                                 "WriteSDOCombo"};

// Sets a box's text without running its change handler, as a freshly loaded window shows it.
void showQuietly(QLineEdit &box, const QString &text) {
    QSignalBlocker quiet(&box);
    box.setText(text);
}

} // namespace

CANopenDeviceSetting::CANopenDeviceSetting(GatewayConfig &config,
                                           std::function<int()> deviceNumber,
                                           std::function<int()> deviceAmount)
    : m_context{config, std::move(deviceNumber), std::move(deviceAmount)} {
    setObjectName(QStringLiteral("CANopenDeviceSetting"));
    setWindowTitle(QStringLiteral("CANopenDeviceSetting"));
    buildControls();
    connect(ModuleIDText, &QLineEdit::textChanged, this,
            &CANopenDeviceSetting::ModuleIDText_Change);
    connect(GardingTimeText, &QLineEdit::textChanged, this,
            &CANopenDeviceSetting::GardingTimeText_Change);
    // Only what the user types is a step; the window fills these boxes from the model too. A
    // box tells of a keystroke before its change handler stores the text.
    for (QLineEdit *box : {ModuleIDText, GardingTimeText})
        connect(box, &QLineEdit::textEdited, this, [this, box] { m_typedBox = box; });
    connect(SSTab, &QTabWidget::currentChanged, this, &CANopenDeviceSetting::SSTab_Click);
    connect(DeleteCommand, &QPushButton::clicked, this, &CANopenDeviceSetting::DeleteCommand_Click);
    // After the handlers above: a deletion takes the selection before the grid stops showing it.
    connect(DeleteCommand, &QPushButton::clicked, this, &CANopenDeviceSetting::clearShownSelection);
    connect(SSTab, &QTabWidget::currentChanged, this, &CANopenDeviceSetting::takeShownSelection);
    connect(ExitCommand, &QPushButton::clicked, this, &CANopenDeviceSetting::ExitCommand_Click);
    for (PdoTab *tab : {m_txPdo, m_rxPdo})
        connect(tab, &PdoTab::edited, this, &CANopenDeviceSetting::edited);
    for (SdoTab *tab : {m_readSdo, m_writeSdo})
        connect(tab, &SdoTab::edited, this, &CANopenDeviceSetting::edited);
}

CANopenDeviceSetting::~CANopenDeviceSetting() = default;

void CANopenDeviceSetting::buildTabs() {
    const auto addPage = [this](const QString &caption) {
        auto *page = new QWidget(SSTab);
        SSTab->addTab(page, caption);
        return page;
    };
    m_txPdo = new PdoTab(*addPage(kTxPdoCaption), m_context, kTxPdoTable, kTxPdoNames,
                         m_pdoSelection);
    m_rxPdo = new PdoTab(*addPage(kRxPdoCaption), m_context, kRxPdoTable, kRxPdoNames,
                         m_pdoSelection);
    m_readSdo = new SdoTab(*addPage(kReadSdoCaption), m_context, kReadSdoTable, kReadSdoNames,
                           m_sdoSelection);
    m_writeSdo = new SdoTab(*addPage(kWriteSdoCaption), m_context, kWriteSdoTable,
                            kWriteSdoNames, m_sdoSelection);
    MSFlexGrid = &m_txPdo->grid();
    RxPDOMSFlexGrid = &m_rxPdo->grid();
    ReadSDOMSFlexGrid = &m_readSdo->grid();
    WriteSDOMSFlexGrid = &m_writeSdo->grid();
    for (int tab = 0; tab < SSTab->count(); ++tab) {
        QTableWidget *grid = SSTab->widget(tab)->findChild<QTableWidget *>();
        grid->setAccessibleName(SSTab->tabText(tab));
        // The Delete key is the button's, on the focused grid only: an editor keeps its own.
        new QShortcut(QKeySequence::Delete, grid, DeleteCommand, &QPushButton::click,
                      Qt::WidgetShortcut);
    }
}

void CANopenDeviceSetting::open() {
    if (!m_open)
        startUp();
    show();
    raise();
}

// A fresh window: empty grids with their headers and row numbers, every editor hidden.
void CANopenDeviceSetting::startUp() {
    m_open = true;
    m_staleTabs.reset();
    emit loaded();
    {
        QSignalBlocker quiet(SSTab);
        SSTab->setCurrentIndex(0);
    }
    m_txPdo->reset();
    m_rxPdo->reset();
    m_readSdo->reset();
    m_writeSdo->reset();
    m_pdoSelection = {};
    m_sdoSelection = {};
    showQuietly(*ModuleIDText, QString());
    showQuietly(*GardingTimeText, QStringLiteral("0"));
    NumberLabel->setText(numberText(m_context.deviceNumber()));
}

void CANopenDeviceSetting::hideAllEditors() {
    m_txPdo->hideEditors();
    m_rxPdo->hideEditors();
    m_readSdo->hideEditors();
    m_writeSdo->hideEditors();
}

void CANopenDeviceSetting::PDOGridFill(const QString &gridName, int device, int entryCount) {
    PdoTab *tab = gridName == u"TxPDOMSFlexGrid"   ? m_txPdo
                  : gridName == u"RxPDOMSFlexGrid" ? m_rxPdo
                                                   : nullptr;
    if (tab)
        fillGrid(m_context.config, tab->table(), device, entryCount, tab->view());
}

void CANopenDeviceSetting::SDOGridFill(const QString &gridName, int device, int entryCount) {
    for (SdoTab *tab : {m_readSdo, m_writeSdo}) {
        if (gridName == tab->grid().objectName())
            fillGrid(m_context.config, tab->table(), device, entryCount, tab->view());
    }
}

void CANopenDeviceSetting::showModel() {
    const int device = m_context.refreshCurrentDevice();
    hideAllEditors();
    if (!isDeviceNumber(device))
        return;
    const GatewayConfig &config = m_context.config;
    // The other tabs show the model when they are next chosen.
    m_staleTabs.set();
    showStaleTable();
    if (const int slot = listPosition(config, device); slot >= 0)
        showQuietly(*ModuleIDText, QString::number(config.NodeID[std::size_t(slot)]));
    showQuietly(*GardingTimeText, config.GuardTime[std::size_t(device)]);
}

// A changed text may be corrected; writing the correction runs this handler once more, on a
// text that then stays.
void CANopenDeviceSetting::ModuleIDText_Change() {
    const QString shown =
        enterNodeId(m_context.config, m_context.refreshCurrentDevice(), ModuleIDText->text());
    if (shown != ModuleIDText->text())
        ModuleIDText->setText(shown);
    reportTyping(*ModuleIDText, QStringLiteral("Node ID"));
}

void CANopenDeviceSetting::GardingTimeText_Change() {
    const QString shown = enterGuardTime(m_context.config, m_context.refreshCurrentDevice(),
                                         GardingTimeText->text());
    if (shown != GardingTimeText->text())
        GardingTimeText->setText(shown);
    reportTyping(*GardingTimeText, QStringLiteral("Guarding Time"));
}

void CANopenDeviceSetting::reportTyping(const QLineEdit &box, const QString &label) {
    if (m_typedBox != &box)
        return;
    m_typedBox = nullptr;
    emit edited(label,
                QStringLiteral("%1/%2").arg(box.objectName()).arg(m_context.config.CurrentDevice));
}

// Every floating editor hides and the chosen table is shown afresh from the model.
void CANopenDeviceSetting::SSTab_Click() {
    if (!isDeviceNumber(m_context.refreshCurrentDevice()))
        return;
    hideAllEditors();
    if (!showStaleTable())
        showVisibleTable();
}

// A tab left showing an undone state shows the whole table afresh; answers whether it did.
bool CANopenDeviceSetting::showStaleTable() {
    const auto tab = std::size_t(SSTab->currentIndex());
    if (tab >= m_staleTabs.size() || !m_staleTabs.test(tab))
        return false;
    m_staleTabs.reset(tab);
    const std::array<std::pair<const EntryTable *, GridView *>, 4> tables{
        {{&m_txPdo->table(), &m_txPdo->view()},
         {&m_rxPdo->table(), &m_rxPdo->view()},
         {&m_readSdo->table(), &m_readSdo->view()},
         {&m_writeSdo->table(), &m_writeSdo->view()}}};
    const auto [table, view] = tables[tab];
    showTable(m_context.config, *table, m_context.config.CurrentDevice, *view);
    return true;
}

void CANopenDeviceSetting::showVisibleTable() {
    const int device = m_context.config.CurrentDevice;
    const auto d = std::size_t(device);
    const GatewayConfig &config = m_context.config;
    const QString caption = SSTab->tabText(SSTab->currentIndex());
    if (caption == kTxPdoCaption)
        PDOGridFill(QStringLiteral("TxPDOMSFlexGrid"), device, config.TxPDO_rows[d]);
    else if (caption == kRxPdoCaption)
        PDOGridFill(QStringLiteral("RxPDOMSFlexGrid"), device, config.RxPDO_rows[d]);
    else if (caption == kReadSdoCaption)
        SDOGridFill(QStringLiteral("ReadSDOMSFlexGrid"), device, config.ReadSDO_rows[d]);
    else if (caption == kWriteSdoCaption)
        SDOGridFill(QStringLiteral("WriteSDOMSFlexGrid"), device, config.WriteSDO_rows[d]);
}

// The rows selected on the visible tab go; the PDO tabs share one selection, the SDO tabs
// another.
void CANopenDeviceSetting::DeleteCommand_Click() {
    const QString caption = SSTab->tabText(SSTab->currentIndex());
    const auto remove = [this](const EntryTable &table, GridView &view, RowSelection &selection) {
        const EditScope scope = m_context.scope(&view);
        const auto entries = [&] {
            return isDeviceNumber(scope.device)
                       ? int((m_context.config.*table.rows)[std::size_t(scope.device)])
                       : 0;
        };
        const int before = entries();
        selection = deleteEntries(m_context.config, table, scope, selection);
        const int removed = before - entries();
        emit edited(removed == 1 ? QStringLiteral("Delete 1 row")
                                 : QStringLiteral("Delete %1 rows").arg(removed),
                    {});
    };
    if (caption == kTxPdoCaption)
        remove(m_txPdo->table(), m_txPdo->view(), m_pdoSelection);
    else if (caption == kRxPdoCaption)
        remove(m_rxPdo->table(), m_rxPdo->view(), m_pdoSelection);
    else if (caption == kReadSdoCaption)
        remove(m_readSdo->table(), m_readSdo->view(), m_sdoSelection);
    else if (caption == kWriteSdoCaption)
        remove(m_writeSdo->table(), m_writeSdo->view(), m_sdoSelection);
}

// The tab shown now deletes what its grid shows selected.
void CANopenDeviceSetting::takeShownSelection() {
    switch (SSTab->currentIndex()) {
    case 0:
        return m_txPdo->recordSelection();
    case 1:
        return m_rxPdo->recordSelection();
    case 2:
        return m_readSdo->recordSelection();
    case 3:
        return m_writeSdo->recordSelection();
    }
}

// The deleted rows are gone, so the grid shows none selected; the selection stays as the
// deletion left it.
void CANopenDeviceSetting::clearShownSelection() {
    const bool pdo = SSTab->currentIndex() < 2;
    const RowSelection left = pdo ? m_pdoSelection : m_sdoSelection;
    SSTab->currentWidget()->findChild<QTableWidget *>()->clearSelection();
    (pdo ? m_pdoSelection : m_sdoSelection) = left;
}

void CANopenDeviceSetting::unload() {
    m_open = false;
    m_context.refreshCurrentDevice();
    hideAllEditors();
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
