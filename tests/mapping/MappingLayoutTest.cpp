#include "mapping/MappingLayout.h"
#include "MappingFixtures.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::addRow;
using enum SourceTable;

// "row,column:text" of every placed cell, joined by "/".
QString placed(const MappingArea &area) {
    QStringList cells;
    for (const MappingCell &cell : area.cells)
        cells << QStringLiteral("%1,%2:%3").arg(cell.row).arg(cell.column).arg(cell.text);
    return cells.join(u'/');
}

// Totals of 0, of 20 bytes or 10 words (rounding to two rows): three or five grid rows.
TEST(MappingLayout, RowsAndLabelsFollowTheTotals) {
    GatewayConfig config = fixtures::listing({1});
    const std::array<QString, 4> labels{"00001|00065|00129", " 10001| 10065| 10129",
                                        " 30001| 30005| 30009", " 40001| 40005| 40009"};
    for (const int units : {0, 1}) {
        config.DO_total = config.DI_total = qint16(20 * units);
        config.SDO_AI_total = config.SDO_AO_total = qint16(10 * units);
        const auto layout = mappingLayout(config, 1);
        for (std::size_t code = 0; code < 4; ++code) {
            SCOPED_TRACE(code);
            EXPECT_EQ(layout[code].area, Area(code));
            EXPECT_EQ(layout[code].rows, 3 + 2 * units);
            EXPECT_EQ(layout[code].labels, labels[code].split(u'|').first(1 + 2 * units));
            EXPECT_EQ(layout[code].headers.join(u','),
                      "Byte0,Byte1,Byte2,Byte3,Byte4,Byte5,Byte6,Byte7");
            EXPECT_TRUE(layout[code].cells.empty());
        }
    }
}

TEST(MappingLayout, PdoBytesThenSdoBytesEightToARow) {
    GatewayConfig config = fixtures::listing({1, 2});
    addRow(config, TxPDO, 1, "&H181|0|4|P_DI 1|P_DI 2|P_DI 3|P_DI 4");
    addRow(config, TxPDO, 2, "&H182|0|6|P_DI 5|P_DI 6|P_DI 7|P_DI 8|P_DI 9|P_DI 10");
    addRow(config, ReadSDO, 1, "&H6000|&H01|S_DI 1");
    addRow(config, ReadSDO, 1, "&H6000|&H02|S_DI 2");
    config.DI_total = 10;
    config.SDO_DI_total = 2;
    const MappingArea di = mappingArea(config, 2, Area::DigitalInput);
    EXPECT_EQ(di.rows, 5);
    EXPECT_EQ(di.labels.join(u'|'), " 10001| 10065| 10129");
    EXPECT_EQ(placed(di), "1,1:P_DI 1/1,2:P_DI 2/1,3:P_DI 3/1,4:P_DI 4/1,5:P_DI 5/1,6:P_DI 6/"
                          "1,7:P_DI 7/1,8:P_DI 8/2,1:P_DI 9/2,2:P_DI 10/2,3:S_DI 1/2,4:S_DI 2");
    EXPECT_EQ(di.cells.back().origin, (MappingOrigin{0, 1, ReadSDO, 2, 0}));
    config.DeviceOrder[1] = 0; // device 1 alone
    config.DI_total = 0;       // the PDO bytes are gated by their total, the SDO bytes are not
    EXPECT_EQ(placed(mappingArea(config, 1, Area::DigitalInput)), "1,1:S_DI 1/1,2:S_DI 2");
}

TEST(MappingLayout, WordsOfTwoEntriesAreNeighbours) {
    GatewayConfig config = fixtures::listing({1});
    addRow(config, TxPDO, 1, "&H181|0|8|||||||P_AIL 1|P_AIH 1");
    addRow(config, TxPDO, 1, "&H281|0|3|P_AIL 2|P_AIH 2|P_DI 1|P_AI|P_DI");
    addRow(config, WriteSDO, 1, "&H6200|&H01|S_AOL 1|S_AOH 1");
    config.AI_total = 2;
    config.DI_total = config.SDO_AO_total = 1;
    const auto layout = mappingLayout(config, 1);
    EXPECT_EQ(placed(layout[2]), "1,1:P_AIL 1/1,2:P_AIH 1/1,3:P_AIL 2/1,4:P_AIH 2");
    EXPECT_EQ(placed(layout[1]), "1,1:P_DI 1");
    EXPECT_EQ(placed(layout[3]), "1,1:S_AOL 1/1,2:S_AOH 1");
    EXPECT_EQ(layout[3].cells[1].origin, (MappingOrigin{0, 1, WriteSDO, 1, 1}));
    EXPECT_TRUE(layout[0].cells.empty());
}

// Position N is visited (it is normally empty); positions past it are not. Totals that
// undercount the tags still get a labelled row for every cell.
TEST(MappingLayout, VisitsPositionsUpToTheDeviceAmount) {
    GatewayConfig config = fixtures::listing({1, 2, 3, 4, 5});
    for (int device : {1, 4, 5})
        addRow(config, RxPDO, device, QStringLiteral("No|&H201|1|P_DO %1").arg(device));
    for (int row = 0; row < 3; ++row)
        addRow(config, RxPDO, 1,
               "No|&H201|8|P_DO 1|P_DO 1|P_DO 1|P_DO 1|P_DO 1|P_DO 1|P_DO 1|P_DO 1");
    config.DO_total = 1;
    const MappingArea area = mappingArea(config, 3, Area::DigitalOutput);
    EXPECT_EQ(area.cells.size(), 26u);
    EXPECT_EQ(area.cells.back().text, "P_DO 4");
    EXPECT_EQ(area.labels.size(), 4);
    EXPECT_EQ(area.rows, 6);
    EXPECT_EQ(mappingDeviceAmount(u"2.5"), 2);
    EXPECT_EQ(mappingDeviceAmount(u"12"), kMaxDevices);
}

} // namespace
} // namespace tolvar
