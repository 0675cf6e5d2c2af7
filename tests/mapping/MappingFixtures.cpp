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

GatewayConfig largestConfiguration() {
    GatewayConfig config = listing({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    for (int device = 1; device <= kMaxDevices; ++device) {
        for (int row = 0; row < kMaxPdoRows; ++row) {
            addRow(config, SourceTable::TxPDO, device,
                   "&H181|0|8|P_DI 1|P_AIL 1|P_AIH 1|P_DI 2|P_DI 3|P_DI 4|P_AIL 2|P_AIH 2");
            addRow(config, SourceTable::RxPDO, device,
                   "Yes|&H201|8|P_DO 1|P_DO 2|P_AOL 1|P_AOH 1|P_DO 3|P_DO 4|P_DO 5|P_DO 6");
        }
        for (int row = 0; row < kMaxSdoRows; ++row) {
            addRow(config, SourceTable::ReadSDO, device, "&H6000|&H01|S_AIL 1|S_AIH 1");
            addRow(config, SourceTable::WriteSDO, device, "&HA001|&H02|S_AOL 1|S_AOH 1");
        }
    }
    return config;
}

} // namespace tolvar::fixtures
