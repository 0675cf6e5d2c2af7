#include "MappingFixtures.h"
#include "mapping/CellNumber.h"
#include "mapping/ConfigurationDownload.h"
#include "mapping/MappingLayout.h"
#include "mapping/SaveCheck.h"
#include "mapping/TableStream.h"
#include "model/NumericText.h"

#include <gtest/gtest.h>

#include <functional>

namespace tolvar {
namespace {

using fixtures::addRow;
using enum SourceTable;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// The fast reading of cells gives what the general reading gives.
TEST(TableStream, ReadsNumbersOfCellsAsTheGeneralReadingDoes) {
    // The fast reading ends at 13 hexadecimal or 15 decimal digits.
    for (const char16_t *text :
         {u"", u"385", u"2.5", u"1d2", u"-4", u"&X1", u"&h1a", u"&HFFG", u"&HFFFFFFFFFFFFF",
          u"&H3FFFFFFFFFFFFF", u"999999999999999", u"9999999999999999"})
        EXPECT_EQ(cellNumber(text), readWholeNumber(text))
            << QString::fromUtf16(text).toStdString();
}

// One device, node 5, one entry in one table: the entry follows that table's row count.
TEST(TableStream, EncodesEachEntryKind) {
    const std::vector<std::tuple<SourceTable, QString, const char *>> cases{
        {TxPDO, "&H181|1|2|P_DI 1|P_AIL 1", "81010102 0102"},
        {TxPDO, "385||0|P_DI 1", "81010000"},
        {RxPDO, "|&H7FF|2|P_AOL 1|P_AOH 1", "ff070002 0303"},
        {WriteSDO, "&H6200|&H02|", "00620200"}};
    for (const auto &[table, cells, entry] : cases) {
        SCOPED_TRACE(entry);
        GatewayConfig config = fixtures::listing({1});
        config.NodeID[0] = 5;
        addRow(config, table, 1, cells);
        QByteArray expected = hex("0500000000");
        expected[1 + int(table)] = 1;
        expected.insert(2 + int(table), hex(entry));
        EXPECT_EQ(buildTableStream(config, 1).toHex(' '), expected.toHex(' '));
        EXPECT_EQ(TableStreamLength(config, 1), expected.size());
    }
}

// Devices go in list order. That the simulator serves these bytes for the same tables, and
// takes them back whole, is the round trip of the application tests.
TEST(TableStream, PutsDevicesInListOrder) {
    GatewayConfig config = fixtures::listing({2, 1});
    addRow(config, TxPDO, 2, "&H182|0|2|P_AIL 1|P_AIH 1");
    addRow(config, ReadSDO, 2, "&H6001|&H03|S_DI 1");
    addRow(config, RxPDO, 1, "Yes|&H201|1|P_DO 1");
    addRow(config, WriteSDO, 1, "&H6200|&H01|S_AOL 1|S_AOH 1");
    const QByteArray stream = hex("10 01 820100020202 00 01 01600301 00"
                                  "11 00 01 0102010100 00 01 0062010303");
    EXPECT_EQ(buildTableStream(config, 2).toHex(' '), stream.toHex(' '));
}

// Stream length, frames, last frame's length and register count.
TEST(TableFrames, CutTheStreamInto250BytePieces) {
    const std::vector<std::array<int, 4>> cases{
        {0, 1, 17, 2}, {249, 1, 267, 127}, {250, 2, 17, 2}, {251, 2, 19, 3}, {51050, 205, 67, 27}};
    for (const auto &[length, count, lastLength, lastRegisters] : cases) {
        SCOPED_TRACE(length);
        QByteArray stream(length, '\0');
        for (int i = 0; i < length; ++i)
            stream[i] = char(i % 251 + 1);
        const std::vector<QByteArray> frames = tableFrames(stream, 7);
        ASSERT_EQ(int(frames.size()), count);
        EXPECT_EQ(tableFrameCount(length), count);
        QByteArray carried;
        for (int i = 0; i < count; ++i) {
            const int registers = i + 1 == count ? lastRegisters : 127;
            ASSERT_EQ(frames[i].size(), i + 1 == count ? lastLength : 267);
            EXPECT_EQ(frames[i].left(17), hex("01020000000607100000") + '\0' + char(registers) +
                                              char(2 * registers) + "#SD" + char(9 + i));
            carried += frames[i].mid(17, std::min(250, length - 250 * i));
        }
        EXPECT_EQ(carried, stream);
    }
}

// Serial settings at their connect defaults.
GatewayConfig connected(std::initializer_list<int> devices) {
    GatewayConfig config = fixtures::listing(devices);
    config.ComPortCode = config.DataBitsCode = config.ParityCode = config.StopBitsCode = 1;
    config.BaudRateCode = 3;
    return config;
}

TEST(EthernetFrame, OnlyTickedRowsCarryTheirOctets) {
    SaveValues values{{false, {192, 168, 255, 3}}, {}, {false, {192, 168, 255, 4}}, 1, 1, 7, 0};
    EXPECT_FALSE(ethernetSettingsFrame(values).has_value());
    values.mask = {true, {255, 255, 0, 0}};
    const QByteArray header = hex("01020000000601100000000f1e234944");
    EXPECT_EQ(ethernetSettingsFrame(values), header + hex("000100 00000000 ffff0000 00000000"));
    values.ip.write = values.gateway.write = true;
    EXPECT_EQ(ethernetSettingsFrame(values), header + hex("010101 c0a8ff03 ffff0000 c0a8ff04"));
}

TEST(DownloadPlan, OneDeviceWithoutEntriesIsByteExact) {
    GatewayConfig config = connected({1});
    config.NodeID[0] = 5;
    config.GuardTime[1] = QStringLiteral("1000");
    const DownloadPlan plan = planDownload(SaveValues{}, config); // serial ID 1, unit 1, code 0
    EXPECT_FALSE(plan.ethernetFrame.has_value());
    EXPECT_EQ(plan.generalFrame.toHex(' '),
              hex("01020000000601100000001428235244 01010000000001"
                  "05e803 00000000000000000000000000000000 00000000 010301010100 00")
                  .toHex(' '));
    ASSERT_EQ(plan.tableFrames.size(), 1u);
    EXPECT_EQ(plan.tableFrames[0], hex("010200000006011000000005 0a235344 09 0500000000 00"));
    // Two seconds after the general frame, one after the table frame.
    EXPECT_EQ(downloadSeconds(plan), 3);
}

// The length follows the device amount. A record takes node ID and counts by list position,
// guarding time and rows by device number.
TEST(GeneralFrame, RecordsFollowTheDeviceList) {
    GatewayConfig config = connected({2, 1});
    config.GuardTime[2] = QStringLiteral("500.5");
    config.GuardTime[1] = QStringLiteral("70000");
    for (int kind = 0; kind < kItemKinds; ++kind)
        config.counts(ItemKind(kind))[0] = qint16(kind == 6 ? 300 : kind + 1);
    config.TxPDO_rows = {0, 9, 200};
    config.RxPDO_rows[2] = 2;
    config.ReadSDO_rows[2] = 30;
    config.WriteSDO_rows[2] = 4;
    const QByteArray frame = generalSettingsFrame({{}, {}, {}, 2, 7, 3, 4}, config, 0xCD);
    ASSERT_EQ(frame.size(), 76); // 23 bytes a record
    EXPECT_EQ(frame.mid(6, 1) + frame.mid(11, 2) + frame.mid(16, 7), hex("03 2040 020704000000cd"));
    EXPECT_EQ(frame.mid(23, 46).toHex(' '),
              hex("10 f401 0100 0200 0300 0400 0500 0600 2c01 0800 c8 02 1e 04"
                  "11 7011 0000 0000 0000 0000 0000 0000 0000 0000 09 00 00 00")
                  .toHex(' '));
}

SaveForm goodForm() {
    // The unit identifier is read as the connect reads it: "64." is 64.
    SaveForm form{{true, {"192", "168", "255", "3"}}, {false, {"x"}}, {}, "2", "7", "64.", 5};
    form.gateway = {true, {"192", "168", "&HFF", " 4 "}};
    return form;
}

// Rows past a row count and devices past the amount are not entries to check.
GatewayConfig goodConfig() {
    GatewayConfig config = fixtures::listing({1, 2, 3});
    addRow(config, TxPDO, 1, "&H181|0|2|P_AIL 1|P_AIH 1");
    addRow(config, RxPDO, 2, "Yes|&H202|0");
    addRow(config, RxPDO, 3, "Yes|&H203|1");
    config.TxPDOTable.cell(1, 2, 3) = "1";
    return config;
}

// Good texts give the values to send; each refusal names the field and the fix.
TEST(SaveCheck, GoodTextsGiveValuesAndRefusalsNameTheFix) {
    const SaveCheck good = checkSave(goodForm(), goodConfig());
    EXPECT_EQ(good.refusal, QString());
    EXPECT_EQ(
        good.values,
        (SaveValues{
            {true, {192, 168, 255, 3}}, {false, {}}, {true, {192, 168, 255, 4}}, 2, 7, 64, 5}));
    using Change = std::function<void(SaveForm &, GatewayConfig &)>;
    const std::vector<std::pair<Change, QString>> cases{
        {[](SaveForm &f, auto &) { f.ip.octets[1] = "300"; },
         "IP octet 2 is \"300\": type a whole number from 0 to 255, or untick IP."},
        {[](SaveForm &f, auto &) { f.deviceAmount = "11"; },
         "Device Amount is \"11\": type a whole number from 1 to 10."},
        {[](auto &, GatewayConfig &c) { c.TxPDOTable.cell(1, 1, 3) = "3"; },
         "Device 1, TxPDO row 1: data length 3 covers Byte2, which has no type. Give Byte2 a "
         "type, or set the data length to 2."},
        {[](auto &, GatewayConfig &c) { c.RxPDOTable.cell(2, 1, 3) = "9"; },
         "Device 2, RxPDO row 1: data length \"9\" is over 8. Set it from 1 to 8."}};
    for (const auto &[change, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        SaveForm form = goodForm();
        GatewayConfig config = goodConfig();
        change(form, config);
        const SaveCheck check = checkSave(form, config);
        EXPECT_FALSE(check.values.has_value());
        EXPECT_EQ(check.refusal, message);
    }
}

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
            EXPECT_EQ(layout[code].rows, 3 + 2 * units);
            EXPECT_EQ(layout[code].labels, labels[code].split(u'|').first(1 + 2 * units));
            EXPECT_EQ(layout[code].headers.join(u','),
                      "Byte0,Byte1,Byte2,Byte3,Byte4,Byte5,Byte6,Byte7");
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
    EXPECT_EQ(placed(layout[3]), "1,1:S_AOL 1/1,2:S_AOH 1");
    EXPECT_EQ(layout[3].cells[1].origin, (MappingOrigin{0, 1, WriteSDO, 1, 1}));
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
