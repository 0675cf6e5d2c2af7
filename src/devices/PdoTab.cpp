#include "devices/PdoTab.h"

#include "devices/DataTyping.h"
#include "devices/EntryTexts.h"
#include "devices/FloatingEditors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tolvar {
namespace {

const QStringList kTypeItems{QStringLiteral("Byte"), QStringLiteral("Word"),
                             QStringLiteral("Null")};
// A word takes two bytes, so Byte7 offers none; the third place stays empty.
const QStringList kLastByteItems{QStringLiteral("Byte"), QStringLiteral("Null"), QString()};
const QStringList kLengthItems{
    QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
    QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
    QStringLiteral("Null")};

// A type list is named after the byte it types, which changes with the column it is laid over.
QString typeEditorName(const QString &byteCaption) {
    return byteCaption + QStringLiteral(" type");
}

void setItems(QComboBox &combo, const QStringList &items) {
    for (int i = 0; i < items.size(); ++i)
        combo.setItemText(i, items[i]);
}

} // namespace

PdoTab::PdoTab(QWidget &page, DeviceContext &context, const PdoTable &table,
               const PdoTabNames &names, RowSelection &selection)
    : QObject(&page), m_context(context), m_table(table), m_selection(selection),
      m_grid(makeGrid(&page, QLatin1String(names.grid), kMaxPdoRows + 1, kPdoColumns,
                      names.background)),
      m_view(*m_grid), m_header(names.header), m_flagTakesFocus(names.flagTakesFocus),
      m_cobIdHidesOnScroll(names.cobIdHidesOnScroll), m_flagCellText(names.flagCellText) {
    auto *column = new QVBoxLayout(&page);
    column->addWidget(m_grid);
    buildEditors(names);
    connect(m_grid, &QTableWidget::cellClicked, this, &PdoTab::cellClicked);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PdoTab::recordSelection);
    addEditorKeys(*m_grid, [this](int row, int cell) { cellClicked(row, cell); },
                  {cobIdEditor, flagEditor, lengthEditor, typeEditor});
    for (QScrollBar *bar : {m_grid->horizontalScrollBar(), m_grid->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &PdoTab::hideOnScroll);
}

void PdoTab::buildEditors(const PdoTabNames &names) {
    cobIdEditor = makeFloatingText(*m_grid, names.cobIdEditor, QStringLiteral("COB-ID"));
    flagEditor = makeFloatingList(*m_grid, names.flagEditor,
                                  m_header[m_table.flagColumn], names.flagItems);
    lengthEditor = makeFloatingList(*m_grid, names.lengthEditor, QStringLiteral("DLen"),
                                    kLengthItems);
    typeEditor = makeFloatingList(*m_grid, names.typeEditor,
                                  typeEditorName(m_header[m_table.firstByteColumn]), kTypeItems);
    connect(cobIdEditor, &QLineEdit::textChanged, this, &PdoTab::cobIdChanged);
    connect(flagEditor, &QComboBox::activated, this, &PdoTab::flagChosen);
    connect(lengthEditor, &QComboBox::activated, this, &PdoTab::lengthChosen);
    connect(typeEditor, &QComboBox::activated, this, &PdoTab::typeChosen);
}

void PdoTab::reset() {
    resetGrid(*m_grid, m_header, kMaxPdoRows);
    QSignalBlocker quiet(cobIdEditor);
    cobIdEditor->clear();
    for (QComboBox *list : {flagEditor, lengthEditor, typeEditor})
        list->setCurrentIndex(-1);
    hideEditors();
}

void PdoTab::hideEditors() {
    for (QWidget *editor : std::initializer_list<QWidget *>{cobIdEditor, flagEditor,
                                                            lengthEditor, typeEditor})
        editor->hide();
}

void PdoTab::recordSelection() {
    m_selection = rowSelectionOf(*m_grid);
}

void PdoTab::hideOnScroll() {
    flagEditor->hide();
    lengthEditor->hide();
    typeEditor->hide();
    if (m_cobIdHidesOnScroll)
        cobIdEditor->hide();
    else if (cobIdEditor->isVisible())
        followCell(*m_grid, *cobIdEditor, m_target.row, m_target.column);
}

// The editor of the clicked column goes over the cell; the others of this grid hide.
void PdoTab::cellClicked(int row, int column) {
    m_target = {row, column};
    if (column == 0)
        return;
    if (column >= m_table.firstByteColumn) {
        showTypeEditor(column);
        return;
    }
    hideEditors();
    if (column == m_table.cobIdColumn)
        layOverCell(*m_grid, *cobIdEditor, row, column, true);
    else if (column == m_table.flagColumn)
        layOverCell(*m_grid, *flagEditor, row, column, m_flagTakesFocus);
    else
        layOverCell(*m_grid, *lengthEditor, row, column, false);
}

void PdoTab::showTypeEditor(int column) {
    hideEditors();
    const bool lastByte = column == m_table.lastColumn;
    setItems(*typeEditor, lastByte ? kLastByteItems : kTypeItems);
    typeEditor->setAccessibleName(typeEditorName(m_header[column]));
    if (lastByte && !columnAtItsPlace(*m_grid, column))
        return;
    layOverCell(*m_grid, *typeEditor, m_target.row, column, true);
}

void PdoTab::writeTargetCell(const QString &text) {
    m_view.setCellText(m_target.row, m_target.column, text);
    storeCell(m_context.config.*m_table.cells, m_context.refreshCurrentDevice(), m_target, text);
}

QString PdoTab::targetKey() const {
    return QStringLiteral("%1/%2/%3/%4")
        .arg(m_grid->objectName())
        .arg(m_context.config.CurrentDevice)
        .arg(m_target.row)
        .arg(m_target.column);
}

// A refused text leaves the cell showing what the table holds, so the grid never shows a
// COB-ID that would not be sent.
void PdoTab::cobIdChanged(const QString &text) {
    const EntryTexts entry = cobIdEntry(text);
    if (entry.editorText != text) {
        QSignalBlocker quiet(cobIdEditor);
        cobIdEditor->setText(entry.editorText);
    }
    if (entry.storeInTable) {
        writeTargetCell(entry.cellText);
    } else {
        const CellTable &cells = m_context.config.*m_table.cells;
        m_view.setCellText(m_target.row, m_target.column,
                           cells.cell(m_context.refreshCurrentDevice(), m_target.row,
                                      m_target.column));
    }
    emit edited(m_header.value(m_target.column), targetKey());
}

void PdoTab::flagChosen() {
    writeTargetCell(m_flagCellText(flagEditor->currentText()));
    emit edited(m_header.value(m_target.column), {});
}

void PdoTab::lengthChosen() {
    writeTargetCell(choiceCellText(lengthEditor->currentText()));
    emit edited(m_header.value(m_target.column), {});
}

void PdoTab::typeChosen() {
    const QString choice = typeEditor->currentText();
    typePdoByte(m_context.config, m_table, m_context.scope(&m_view), m_target, choice);
    emit edited(QStringLiteral("%1 in %2").arg(choice, m_header.value(m_target.column)), {});
}

} // namespace tolvar
