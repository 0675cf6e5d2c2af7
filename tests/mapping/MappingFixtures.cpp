#include "MappingFixtures.h"

namespace tolvar::fixtures {

GatewayConfig listing(std::initializer_list<int> devices) {
    GatewayConfig config;
    std::size_t position = 0;
    for (int device : devices) {
        config.NodeID[position] = quint8(0x10 + position);
        config.DeviceOrder[position++] = qint16(device);
    }
    return config;
}

void addRow(GatewayConfig &config, SourceTable table, int device, const QString &cells) {
    const auto d = std::size_t(device);
    const std::array<std::pair<CellTable *, qint16 *>, 4> tables{
        {{&config.TxPDOTable, &config.TxPDO_rows[d]},
         {&config.RxPDOTable, &config.RxPDO_rows[d]},
         {&config.ReadSDOTable, &config.ReadSDO_rows[d]},
         {&config.WriteSDOTable, &config.WriteSDO_rows[d]}}};
    const auto [target, rows] = tables[std::size_t(table)];
    const int row = ++*rows;
    const QStringList texts = cells.split(u'|');
    for (int column = 1; column <= texts.size(); ++column)
        target->cell(device, row, column) = texts[column - 1];
}

} // namespace tolvar::fixtures
