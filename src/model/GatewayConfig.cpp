#include "model/GatewayConfig.h"

namespace tolvar {

CellTable::CellTable(int rows, int columns)
    : m_rows(rows), m_columns(columns),
      m_cells(static_cast<std::size_t>((kMaxDevices + 1) * (rows + 1) * columns)) {}

bool CellTable::contains(int device, int row, int column) const {
    return device >= 0 && device <= kMaxDevices && row >= 0 && row <= m_rows && column >= 0 &&
           column < m_columns;
}

int CellTable::index(int device, int row, int column) const {
    return (device * (m_rows + 1) + row) * m_columns + column;
}

QString &CellTable::cell(int device, int row, int column) {
    if (!contains(device, row, column)) {
        // Emptied on every use: what was written there is gone by the next access.
        thread_local QString outside;
        outside.clear();
        return outside;
    }
    return m_cells[static_cast<std::size_t>(index(device, row, column))];
}

const QString &CellTable::cell(int device, int row, int column) const {
    static const QString outside;
    if (!contains(device, row, column))
        return outside;
    return m_cells[static_cast<std::size_t>(index(device, row, column))];
}

void CellTable::clear() {
    for (QString &text : m_cells)
        text.clear();
}

GatewayConfig::GatewayConfig()
    : TxPDOTable(kMaxPdoRows, kPdoColumns), RxPDOTable(kMaxPdoRows, kPdoColumns),
      ReadSDOTable(kMaxSdoRows, kSdoColumns), WriteSDOTable(kMaxSdoRows, kSdoColumns) {}

qint16 &GatewayConfig::total(ItemKind kind) {
    switch (kind) {
    case ItemKind::DO: return DO_total;
    case ItemKind::DI: return DI_total;
    case ItemKind::AI: return AI_total;
    case ItemKind::AO: return AO_total;
    case ItemKind::SDO_DO: return SDO_DO_total;
    case ItemKind::SDO_DI: return SDO_DI_total;
    case ItemKind::SDO_AI: return SDO_AI_total;
    case ItemKind::SDO_AO: break;
    }
    return SDO_AO_total;
}

qint16 GatewayConfig::total(ItemKind kind) const {
    return const_cast<GatewayConfig *>(this)->total(kind);
}

PerDevice<qint16> &GatewayConfig::counts(ItemKind kind) {
    switch (kind) {
    case ItemKind::DO: return DO_count;
    case ItemKind::DI: return DI_count;
    case ItemKind::AI: return AI_count;
    case ItemKind::AO: return AO_count;
    case ItemKind::SDO_DO: return SDO_DO_count;
    case ItemKind::SDO_DI: return SDO_DI_count;
    case ItemKind::SDO_AI: return SDO_AI_count;
    case ItemKind::SDO_AO: break;
    }
    return SDO_AO_count;
}

const PerDevice<qint16> &GatewayConfig::counts(ItemKind kind) const {
    return const_cast<GatewayConfig *>(this)->counts(kind);
}

bool isDeviceNumber(int device) { return device >= 1 && device <= kMaxDevices; }

} // namespace tolvar
