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

void addRow(GatewayConfig &config, SourceTable table, int device, const QStringList &cells) {
    const auto d = std::size_t(device);
    const auto place = [&](CellTable &target, qint16 &rows) {
        ++rows;
        for (int column = 1; column <= cells.size(); ++column)
            target.cell(device, rows, column) = cells[column - 1];
    };
    switch (table) {
    case SourceTable::TxPDO:
        return place(config.TxPDOTable, config.TxPDO_rows[d]);
    case SourceTable::RxPDO:
        return place(config.RxPDOTable, config.RxPDO_rows[d]);
    case SourceTable::ReadSDO:
        return place(config.ReadSDOTable, config.ReadSDO_rows[d]);
    case SourceTable::WriteSDO:
        return place(config.WriteSDOTable, config.WriteSDO_rows[d]);
    }
}

GatewayConfig largestConfiguration() {
    GatewayConfig config = listing({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const QStringList tx{"&H181",  "0",      "8",      "P_DI 1",  "P_AIL 1", "P_AIH 1",
                         "P_DI 2", "P_DI 3", "P_DI 4", "P_AIL 2", "P_AIH 2"};
    const QStringList rx{"Yes",     "&H201",  "8",      "P_DO 1", "P_DO 2", "P_AOL 1",
                         "P_AOH 1", "P_DO 3", "P_DO 4", "P_DO 5", "P_DO 6"};
    for (int device = 1; device <= kMaxDevices; ++device) {
        config.GuardTime[std::size_t(device)] = QStringLiteral("1000");
        for (int row = 0; row < kMaxPdoRows; ++row) {
            addRow(config, SourceTable::TxPDO, device, tx);
            addRow(config, SourceTable::RxPDO, device, rx);
        }
        for (int row = 0; row < kMaxSdoRows; ++row) {
            addRow(config, SourceTable::ReadSDO, device, {"&H6000", "&H01", "S_AIL 1", "S_AIH 1"});
            addRow(config, SourceTable::WriteSDO, device, {"&HA001", "&H02", "S_AOL 1", "S_AOH 1"});
        }
    }
    return config;
}

} // namespace tolvar::fixtures
