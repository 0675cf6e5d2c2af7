#include "devices/SdoTab.h"

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

const QStringList kHeader{QStringLiteral("NO."), QStringLiteral("Index"),
                          QStringLiteral("subIndex"), QStringLiteral("Byte0"),
                          QStringLiteral("Byte1")};

} // namespace

SdoTab::SdoTab(QWidget &page, DeviceContext &context, const SdoTable &table,
               const SdoTabNames &names, RowSelection &selection)
    : QObject(&page), m_context(context), m_table(table), m_selection(selection),
      m_grid(makeGrid(&page, QLatin1String(names.grid), kMaxSdoRows + 1, kSdoColumns,
                      names.background)),
      m_view(*m_grid) {
    auto *column = new QVBoxLayout(&page);
    column->addWidget(m_grid);
    fieldEditor = makeFloatingText(*m_grid, names.fieldEditor, kHeader[kSdoIndexColumn]);
    typeEditor = makeFloatingList(
        *m_grid, names.typeEditor, kHeader[kSdoByteColumn] + QStringLiteral(" type"),
        {QStringLiteral("Byte"), QStringLiteral("Word"), QStringLiteral("Null")});
    connect(m_grid, &QTableWidget::cellClicked, this, &SdoTab::cellClicked);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SdoTab::recordSelection);
    addEditorKeys(*m_grid, [this](int row, int cell) { cellClicked(row, cell); },
                  {fieldEditor, typeEditor});
    for (QScrollBar *bar : {m_grid->horizontalScrollBar(), m_grid->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &SdoTab::hideEditors);
    connect(fieldEditor, &QLineEdit::textChanged, this, &SdoTab::fieldChanged);
    connect(typeEditor, &QComboBox::activated, this, &SdoTab::typeChosen);
}

void SdoTab::reset() {
    resetGrid(*m_grid, kHeader, kMaxSdoRows);
    QSignalBlocker quiet(fieldEditor);
    fieldEditor->clear();
    typeEditor->setCurrentIndex(-1);
    hideEditors();
}

void SdoTab::hideEditors() {
    fieldEditor->hide();
    typeEditor->hide();
}

void SdoTab::recordSelection() {
    m_selection = rowSelectionOf(*m_grid);
}

// Emptying the text editor over a new cell runs its change handler for that cell. The text
// editor is named after the column it edits.
void SdoTab::cellClicked(int row, int column) {
    m_target = {row, column};
    if (column == kSdoIndexColumn || column == kSdoSubIndexColumn) {
        typeEditor->hide();
        fieldEditor->setAccessibleName(kHeader[column]);
        layOverCell(*m_grid, *fieldEditor, row, column, true);
    } else if (column == kSdoByteColumn) {
        fieldEditor->hide();
        layOverCell(*m_grid, *typeEditor, row, column, true);
    } else if (column == kSdoHighByteColumn) {
        hideEditors();
    }
}

void SdoTab::fieldChanged(const QString &text) {
    const EntryTexts entry = sdoFieldEntry(m_target.column, text);
    if (entry.editorText != text) {
        QSignalBlocker quiet(fieldEditor);
        fieldEditor->setText(entry.editorText);
    }
    m_view.setCellText(m_target.row, m_target.column, entry.cellText);
    if (entry.storeInTable)
        storeCell(m_context.config.*m_table.cells, m_context.refreshCurrentDevice(), m_target,
                  entry.cellText);
    emit edited(kHeader.value(m_target.column), QStringLiteral("%1/%2/%3/%4")
                                                    .arg(m_grid->objectName())
                                                    .arg(m_context.config.CurrentDevice)
                                                    .arg(m_target.row)
                                                    .arg(m_target.column));
}

void SdoTab::typeChosen() {
    const QString choice = typeEditor->currentText();
    typeSdoRow(m_context.config, m_table, m_context.scope(&m_view), m_target, choice);
    emit edited(QStringLiteral("%1 in %2").arg(choice, kHeader.value(m_target.column)), {});
}

} // namespace tolvar
