#pragma once

#include "devices/DeviceContext.h"
#include "devices/EntryDeletion.h"
#include "devices/TableGridView.h"

#include <QObject>

#include <array>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace tolvar {

// What tells the TxPDO and RxPDO tabs apart besides their table.
struct PdoTabNames {
    const char *grid;
    QStringList header;
    QColor background;
    const char *cobIdEditor;
    const char *flagEditor;
    QStringList flagItems;
    bool flagTakesFocus;
    QString (*flagCellText)(QStringView choice);
    const char *lengthEditor;
    const char *typeEditor;
    // The COB-ID editor of the TxPDO grid hides when the grid scrolls; the RxPDO one stays over
    // its cell while the cell is in view.
    bool cobIdHidesOnScroll;
};

// One PDO tab: its grid and the four floating editors laid over the clicked cell, with the
// handlers that write the model through the table rules. Both PDO tabs share one selection.
class PdoTab : public QObject {
    Q_OBJECT

public:
    PdoTab(QWidget &page, DeviceContext &context, const PdoTable &table, const PdoTabNames &names,
           RowSelection &selection);

    QTableWidget &grid() { return *m_grid; }
    GridView &view() { return m_view; }
    const PdoTable &table() const { return m_table; }
    void reset();
    void hideEditors();
    // Takes the rows the grid shows selected as the shared PDO selection.
    void recordSelection();

    QLineEdit *cobIdEditor = nullptr;
    QComboBox *flagEditor = nullptr;
    QComboBox *lengthEditor = nullptr;
    QComboBox *typeEditor = nullptr;

signals:
    // An editor changed the model: `label` names the change, and changes with the same
    // `mergeKey` in a row are one step (the keystrokes of one COB-ID).
    void edited(const QString &label, const QString &mergeKey);

private:
    void buildEditors(const PdoTabNames &names);
    void cellClicked(int row, int column);
    void showTypeEditor(int column);
    void hideOnScroll();
    void cobIdChanged(const QString &text);
    void flagChosen();
    void lengthChosen();
    void typeChosen();
    void writeTargetCell(const QString &text);
    QString targetKey() const;

    DeviceContext &m_context;
    const PdoTable &m_table;
    RowSelection &m_selection;
    QTableWidget *m_grid = nullptr;
    TableGridView m_view;
    GridCell m_target;
    QStringList m_header;
    bool m_flagTakesFocus = false;
    bool m_cobIdHidesOnScroll = true;
    QString (*m_flagCellText)(QStringView choice) = nullptr;
};

} // namespace tolvar
