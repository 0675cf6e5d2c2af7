#include "files/ModbusMap.h"

#include "mapping/CellNumber.h"

namespace tolvar {
namespace {

constexpr int kBitsPerByte = 8;

QString areaName(Area area) {
    switch (area) {
    case Area::DigitalOutput:
        return QStringLiteral("DO");
    case Area::DigitalInput:
        return QStringLiteral("DI");
    case Area::AnalogInput:
        return QStringLiteral("AI");
    case Area::AnalogOutput:
        break;
    }
    return QStringLiteral("AO");
}

bool isDigital(Area area) {
    return area == Area::DigitalOutput || area == Area::DigitalInput;
}

QString hex(qint64 value, int digits) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(lowWord(value), digits, 16, QLatin1Char('0')).toUpper();
}

// A byte covers eight coils or inputs; a register holds two bytes, the low one first. The
// coils keep the view's five-digit form.
QString addressOf(Area area, const QString &rowLabel, int column) {
    const int rowStart = rowLabel.trimmed().toInt();
    if (area == Area::DigitalOutput)
        return QStringLiteral("%1").arg(rowStart + kBitsPerByte * column, 5, 10, QLatin1Char('0'));
    if (isDigital(area))
        return QString::number(rowStart + kBitsPerByte * column);
    return QString::number(rowStart + column / 2);
}

QString registerByteOf(Area area, const QString &tag) {
    if (isDigital(area) || tag.size() < 5)
        return {};
    return tag[4] == u'L' ? QStringLiteral("low") : QStringLiteral("high");
}

void describeEntry(const GatewayConfig &config, const MappingOrigin &origin, ModbusMapRow &row) {
    const CellTable &cells = tableOf(config, origin.table);
    switch (origin.table) {
    case SourceTable::TxPDO:
        row.cobId = hex(cellNumber(cells.cell(origin.device, origin.entryRow, 1)), 3);
        break;
    case SourceTable::RxPDO:
        row.cobId = hex(cellNumber(cells.cell(origin.device, origin.entryRow, 2)), 3);
        break;
    case SourceTable::ReadSDO:
    case SourceTable::WriteSDO:
        row.index = hex(cellNumber(cells.cell(origin.device, origin.entryRow, 1)), 4);
        row.subIndex = hex(lowByte(cellNumber(cells.cell(origin.device, origin.entryRow, 2))), 2);
        break;
    }
}

QByteArray csvField(const QString &text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
        !bytes.contains('\n'))
        return bytes;
    return '"' + bytes.replace("\"", "\"\"") + '"';
}

QByteArray csvRecord(const QStringList &fields) {
    QByteArray record;
    for (qsizetype i = 0; i < fields.size(); ++i)
        record += (i == 0 ? QByteArray() : QByteArray(",")) + csvField(fields[i]);
    return record + "\r\n";
}

} // namespace

QString tableName(SourceTable table) {
    switch (table) {
    case SourceTable::TxPDO:
        return QStringLiteral("TxPDO");
    case SourceTable::RxPDO:
        return QStringLiteral("RxPDO");
    case SourceTable::ReadSDO:
        return QStringLiteral("Read SDO");
    case SourceTable::WriteSDO:
        break;
    }
    return QStringLiteral("Write SDO");
}

std::vector<ModbusMapRow> modbusMap(const GatewayConfig &config,
                                    const std::array<MappingArea, 4> &layout) {
    std::vector<ModbusMapRow> rows;
    for (const MappingArea &area : layout) {
        for (const MappingCell &cell : area.cells) {
            ModbusMapRow row;
            const QString &label = area.labels.value(cell.row - 1);
            row.area = areaName(area.area);
            row.rowAddress = label.trimmed();
            row.byteInRow = area.headers.value(cell.column - 1);
            row.address = addressOf(area.area, label, cell.column - 1);
            row.registerByte = registerByteOf(area.area, cell.text);
            row.tag = cell.text;
            row.device = cell.origin.device;
            row.nodeId = config.NodeID[std::size_t(cell.origin.position)];
            row.table = tableName(cell.origin.table);
            row.entryRow = cell.origin.entryRow;
            describeEntry(config, cell.origin, row);
            row.byteColumn = QStringLiteral("Byte%1").arg(cell.origin.byteColumn);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

QStringList modbusMapHeader() {
    return {
        QStringLiteral("Area"),      QStringLiteral("Row address"),   QStringLiteral("Byte in row"),
        QStringLiteral("Address"),   QStringLiteral("Register byte"), QStringLiteral("Tag"),
        QStringLiteral("Device"),    QStringLiteral("Node ID"),       QStringLiteral("Table"),
        QStringLiteral("Entry row"), QStringLiteral("COB-ID"),        QStringLiteral("Index"),
        QStringLiteral("Sub-index"), QStringLiteral("Byte column")};
}

QByteArray modbusMapCsv(const std::vector<ModbusMapRow> &rows) {
    QByteArray csv = csvRecord(modbusMapHeader());
    for (const ModbusMapRow &row : rows) {
        csv += csvRecord({row.area, row.rowAddress, row.byteInRow, row.address, row.registerByte,
                          row.tag, QString::number(row.device), QString::number(row.nodeId),
                          row.table, QString::number(row.entryRow), row.cobId, row.index,
                          row.subIndex, row.byteColumn});
    }
    return csv;
}

} // namespace tolvar
