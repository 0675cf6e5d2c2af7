#pragma once

#include "devices/DeviceContext.h"
#include "devices/EntryDeletion.h"
#include "devices/TableGridView.h"

#include <QObject>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace tolvar {

// What tells the Read SDO and Write SDO tabs apart besides their table.
struct SdoTabNames {
    const char *grid;
    QColor background;
    const char *fieldEditor;
    const char *typeEditor;
};

// One SDO tab: its grid, the text editor of the Index and subIndex columns and the type list
// of Byte0, with their handlers. Both SDO tabs share one selection.
class SdoTab : public QObject {
    Q_OBJECT

public:
    SdoTab(QWidget &page, DeviceContext &context, const SdoTable &table, const SdoTabNames &names,
           RowSelection &selection);

    QTableWidget &grid() { return *m_grid; }
    GridView &view() { return m_view; }
    const SdoTable &table() const { return m_table; }
    void reset();
    void hideEditors();
    // Takes the rows the grid shows selected as the shared SDO selection.
    void recordSelection();

    QLineEdit *fieldEditor = nullptr;
    QComboBox *typeEditor = nullptr;

signals:
    // An editor changed the model; see PdoTab::edited.
    void edited(const QString &label, const QString &mergeKey);

private:
    void cellClicked(int row, int column);
    void fieldChanged(const QString &text);
    void typeChosen();

    DeviceContext &m_context;
    const SdoTable &m_table;
    RowSelection &m_selection;
    QTableWidget *m_grid = nullptr;
    TableGridView m_view;
    GridCell m_target;
};

} // namespace tolvar
