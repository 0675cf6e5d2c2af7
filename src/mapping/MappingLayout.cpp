#include "mapping/MappingLayout.h"

#include "mapping/ListedDevices.h"
#include "model/NumericText.h"

#include <algorithm>

namespace tolvar {
namespace {

constexpr int kSdoFirstByteColumn = 3;
constexpr int kSdoDataBytes = 2;

enum class ByteClass { None, Digital, LowHalf, HighHalf };

// Tags are told by their third and fifth characters; shorter texts are not tags.
ByteClass byteClassOf(QStringView text) {
    if (text.size() < 5)
        return ByteClass::None;
    if (text[2] == u'D')
        return ByteClass::Digital;
    if (text[4] == u'L')
        return ByteClass::LowHalf;
    if (text[4] == u'H')
        return ByteClass::HighHalf;
    return ByteClass::None;
}

// What feeds one grid: a PDO table and an SDO table, each gated by its total.
struct AreaSources {
    SourceTable pdo;
    ItemKind pdoTotal;
    SourceTable sdo;
    ItemKind sdoTotal;
    bool words; // word halves, four words a row; otherwise digital bytes
};

AreaSources sourcesOf(Area area) {
    switch (area) {
    case Area::DigitalOutput:
        return {SourceTable::RxPDO, ItemKind::DO, SourceTable::WriteSDO, ItemKind::SDO_DO, false};
    case Area::DigitalInput:
        return {SourceTable::TxPDO, ItemKind::DI, SourceTable::ReadSDO, ItemKind::SDO_DI, false};
    case Area::AnalogInput:
        return {SourceTable::TxPDO, ItemKind::AI, SourceTable::ReadSDO, ItemKind::SDO_AI, true};
    case Area::AnalogOutput:
        break;
    }
    return {SourceTable::RxPDO, ItemKind::AO, SourceTable::WriteSDO, ItemKind::SDO_AO, true};
}

int rowsOf(const ListedDevice &device, SourceTable table) {
    switch (table) {
    case SourceTable::TxPDO:
        return device.txPdoRows;
    case SourceTable::RxPDO:
        return device.rxPdoRows;
    case SourceTable::ReadSDO:
        return device.readSdoRows;
    case SourceTable::WriteSDO:
        break;
    }
    return device.writeSdoRows;
}

bool isPdo(SourceTable table) {
    return table == SourceTable::TxPDO || table == SourceTable::RxPDO;
}

// Places the cells of the grid's class one after the other, eight to a row.
class CellPlacer {
public:
    CellPlacer(bool words, std::vector<MappingCell> &cells) : m_words(words), m_cells(cells) {}

    void offer(const QString &text, const MappingOrigin &origin) {
        const ByteClass byteClass = byteClassOf(text);
        const bool taken = m_words
                               ? byteClass == ByteClass::LowHalf || byteClass == ByteClass::HighHalf
                               : byteClass == ByteClass::Digital;
        if (!taken)
            return;
        m_cells.push_back(MappingCell{m_row, m_column, text, origin});
        if (m_column == kMappingCellColumns)
            ++m_row;
        m_column = m_column % kMappingCellColumns + 1;
    }

private:
    bool m_words;
    std::vector<MappingCell> &m_cells;
    int m_row = 1;
    int m_column = 1;
};

void placeTable(const GatewayConfig &config, int lastPosition, SourceTable table,
                CellPlacer &placer) {
    const CellTable &cells = tableOf(config, table);
    const int firstColumn = isPdo(table) ? kFirstPdoByteColumn : kSdoFirstByteColumn;
    const int bytes = isPdo(table) ? kPdoDataBytes : kSdoDataBytes;
    for (int position = 0; position <= lastPosition; ++position) {
        const ListedDevice device = listedDevice(config, position);
        for (int row = 1; row <= rowsOf(device, table); ++row) {
            for (int byte = 0; byte < bytes; ++byte)
                placer.offer(cells.cell(device.number, row, firstColumn + byte),
                             MappingOrigin{position, device.number, table, row, byte});
        }
    }
}

// Each row starts at the first coil, input or register it holds.
QString rowLabel(Area area, int row) {
    const int before = row - 1;
    switch (area) {
    case Area::DigitalOutput:
        return QStringLiteral("%1").arg(64 * before + 1, 5, 10, QLatin1Char('0'));
    case Area::DigitalInput:
        return numberText(64 * before + 10001);
    case Area::AnalogInput:
        return numberText(4 * before + 30001);
    case Area::AnalogOutput:
        break;
    }
    return numberText(4 * before + 40001);
}

QStringList headerTexts() {
    QStringList headers;
    for (int byte = 0; byte < kMappingCellColumns; ++byte)
        headers << QStringLiteral("Byte%1").arg(byte);
    return headers;
}

// The rounded quotient of the totals gives the rows the view always had (one labelled row
// more, one spare row below); totals that undercount the tags get the rows the cells need.
int labelledRows(const GatewayConfig &config, const AreaSources &sources, int cellRows) {
    const int units = config.total(sources.pdoTotal) + config.total(sources.sdoTotal);
    const qint64 quotient = roundHalfEven(double(units) / (sources.words ? 4 : 8));
    return std::max<int>(int(std::max<qint64>(quotient, 0)) + 1, cellRows);
}

} // namespace

const CellTable &tableOf(const GatewayConfig &config, SourceTable table) {
    switch (table) {
    case SourceTable::TxPDO:
        return config.TxPDOTable;
    case SourceTable::RxPDO:
        return config.RxPDOTable;
    case SourceTable::ReadSDO:
        return config.ReadSDOTable;
    case SourceTable::WriteSDO:
        break;
    }
    return config.WriteSDOTable;
}

int mappingDeviceAmount(QStringView text) {
    return int(std::clamp<qint64>(readWholeNumber(text), 0, kMaxDevices));
}

MappingArea mappingArea(const GatewayConfig &config, int deviceAmount, Area area) {
    const AreaSources sources = sourcesOf(area);
    const int lastPosition = std::min(deviceAmount, kMaxDevices);
    MappingArea result;
    result.area = area;
    result.headers = headerTexts();
    CellPlacer placer(sources.words, result.cells);
    if (config.total(sources.pdoTotal) > 0)
        placeTable(config, lastPosition, sources.pdo, placer);
    if (config.total(sources.sdoTotal) > 0)
        placeTable(config, lastPosition, sources.sdo, placer);
    const int labelled =
        labelledRows(config, sources, result.cells.empty() ? 0 : result.cells.back().row);
    for (int row = 1; row <= labelled; ++row)
        result.labels << rowLabel(area, row);
    result.rows = labelled + 2;
    return result;
}

std::array<MappingArea, 4> mappingLayout(const GatewayConfig &config, int deviceAmount) {
    return {mappingArea(config, deviceAmount, Area::DigitalOutput),
            mappingArea(config, deviceAmount, Area::DigitalInput),
            mappingArea(config, deviceAmount, Area::AnalogInput),
            mappingArea(config, deviceAmount, Area::AnalogOutput)};
}

} // namespace tolvar
