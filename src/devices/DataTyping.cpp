#include "devices/DataTyping.h"

#include "devices/Renumbering.h"
#include "devices/TableCells.h"
#include "model/Tags.h"

namespace tolvar {
namespace {

enum class Choice { Byte, Word, Null, Other };

Choice choiceOf(QStringView text) {
    if (text == u"Byte")
        return Choice::Byte;
    if (text == u"Word")
        return Choice::Word;
    if (text == u"Null")
        return Choice::Null;
    return Choice::Other;
}

bool inTable(const GatewayConfig &config, const EntryTable &table, int device, int row) {
    return isDeviceNumber(device) && row >= 1 && row <= (config.*table.cells).rowCount();
}

// Any typed item but "Null" makes the row an entry, even when nothing else changes.
void growEntryCount(GatewayConfig &config, const EntryTable &table, int device, int row,
                    QStringView choice) {
    qint16 &count = (config.*table.rows)[std::size_t(device)];
    if (choice != u"Null" && row >= count)
        count = qint16(row);
}

// One row being typed: the model holds what the cells are, the grid shows what changes.
// Every column handed in is checked against the row's data columns, so nothing is written
// into the entry fields or past the last column.
class TypedRow {
public:
    TypedRow(GatewayConfig &config, const EntryTable &table, const EditScope &scope, int row)
        : m_cells(config.*table.cells), m_table(table), m_device(scope.device), m_row(row),
          m_grid(scope.grid), m_byteTotal(config.total(table.byteKind)),
          m_wordTotal(config.total(table.wordKind)) {}

    bool isData(int column) const {
        return column >= m_table.firstByteColumn && column <= m_table.lastColumn;
    }
    CellKind kind(int column) const {
        return isData(column) ? classifyCell(text(column)) : CellKind::Other;
    }
    void clear(int column) {
        if (isData(column))
            write(column, QString());
    }
    void showEmpty(int column) { showCell(m_grid, m_row, column, QString()); }

    // A new item takes the new total as its position; the renumbering sets the final one.
    void addByte(int column) { write(column, makeTag(m_table.byteTag, ++m_byteTotal)); }
    void addWord(int column) {
        ++m_wordTotal;
        write(column, makeTag(m_table.lowTag, m_wordTotal));
        write(column + 1, makeTag(m_table.highTag, m_wordTotal));
    }
    // The word at `column` written again with the position its low byte holds.
    void rewriteWord(int column) {
        const QStringView position = QStringView(text(column)).mid(5);
        const QString low = m_table.lowTag.toString().append(position);
        const QString high = m_table.highTag.toString().append(position);
        write(column, low);
        write(column + 1, high);
    }
    void dropByte() { --m_byteTotal; }
    void dropWord() { --m_wordTotal; }

private:
    const QString &text(int column) const { return m_cells.cell(m_device, m_row, column); }
    void write(int column, const QString &value) {
        m_cells.cell(m_device, m_row, column) = value;
        showCell(m_grid, m_row, column, value);
    }

    CellTable &m_cells;
    const EntryTable &m_table;
    int m_device;
    int m_row;
    GridView *m_grid;
    qint16 &m_byteTotal;
    qint16 &m_wordTotal;
};

// Takes away the item that cur belongs to: its other byte is cleared and its kind counted down.
void dropItem(TypedRow &row, int c, CellKind cur) {
    if (cur == CellKind::Byte) {
        row.dropByte();
    } else if (cur == CellKind::Low || cur == CellKind::High) {
        row.clear(cur == CellKind::Low ? c + 1 : c - 1);
        row.dropWord();
    }
}

// A PDO word also takes the byte after it, and with it the item that byte belonged to.
void dropNextItem(TypedRow &row, int c) {
    const CellKind next = row.kind(c + 1);
    if (next == CellKind::Byte)
        row.dropByte();
    if (next == CellKind::Low) {
        row.clear(c + 2);
        row.dropWord();
    }
}

// The rule tables of both families, for a cur that is empty or a tag (and, for an SDO word,
// a text that is no tag).
void applyTypingRule(TypedRow &row, int c, CellKind cur, Choice chosen, bool wordTakesNext) {
    if (chosen == Choice::Word && cur == CellKind::Low) {
        row.rewriteWord(c);
        return;
    }
    if (chosen == Choice::Byte && cur == CellKind::Byte)
        return;
    dropItem(row, c, cur);
    if (chosen == Choice::Word) {
        if (wordTakesNext)
            dropNextItem(row, c);
        row.addWord(c);
    } else if (chosen == Choice::Byte) {
        row.addByte(c);
    } else {
        row.clear(c);
    }
}

} // namespace

bool typePdoByte(GatewayConfig &config, const PdoTable &table, const EditScope &scope,
                 GridCell target, QStringView choice) {
    const int c = target.column;
    if (!inTable(config, table, scope.device, target.row) || c < table.firstByteColumn ||
        c > table.lastColumn)
        return false;
    growEntryCount(config, table, scope.device, target.row, choice);
    TypedRow row(config, table, scope, target.row);
    const CellKind cur = row.kind(c);
    Choice chosen = choiceOf(choice);
    // Byte7 has no byte after it for a word's high byte; its chooser does not offer "Word".
    if (chosen == Choice::Word && c == table.lastColumn)
        chosen = Choice::Other;
    if (cur == CellKind::Other)
        return false;
    if (chosen == Choice::Null && cur == CellKind::Empty) {
        row.showEmpty(c);
        return false;
    }
    if (chosen != Choice::Other)
        applyTypingRule(row, c, cur, chosen, true);
    renumberPositions(config, table, scope);
    return true;
}

bool typeSdoRow(GatewayConfig &config, const SdoTable &table, const EditScope &scope,
                GridCell target, QStringView choice) {
    const int c = target.column;
    if (!inTable(config, table, scope.device, target.row) || c != table.firstByteColumn)
        return false;
    growEntryCount(config, table, scope.device, target.row, choice);
    const Choice chosen = choiceOf(choice);
    TypedRow row(config, table, scope, target.row);
    // Byte0 never holds a high byte; such a text counts as no tag.
    CellKind cur = row.kind(c);
    if (cur == CellKind::High)
        cur = CellKind::Other;
    if (chosen == Choice::Other || (chosen != Choice::Word && cur == CellKind::Other))
        return false;
    if (chosen == Choice::Null && cur == CellKind::Empty) {
        row.showEmpty(c);
        return false;
    }
    applyTypingRule(row, c, cur, chosen, false);
    renumberPositions(config, table, scope);
    return true;
}

} // namespace tolvar
