#include "devices/EntryTables.h"

namespace tolvar {

CellKind classifyCell(QStringView text) {
    if (text.isEmpty())
        return CellKind::Empty;
    if (text.size() < 5)
        return CellKind::Other;
    if (text[2] == u'D')
        return CellKind::Byte;
    if (text[4] == u'L')
        return CellKind::Low;
    if (text[4] == u'H')
        return CellKind::High;
    return CellKind::Other;
}

bool storeCell(CellTable &table, int device, GridCell cell, const QString &text) {
    if (!isDeviceNumber(device) || cell.row < 1 || cell.row > table.rowCount() || cell.column < 1 ||
        cell.column >= table.columnCount())
        return false;
    table.cell(device, cell.row, cell.column) = text;
    return true;
}

} // namespace tolvar
