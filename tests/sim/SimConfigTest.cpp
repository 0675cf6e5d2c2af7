#include "SimConfig.h"

#include <gtest/gtest.h>

#include <QString>

#include <array>

using namespace tolvar;

namespace {

QString examplePath(const char *name) {
    return QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + QLatin1String(name);
}

SimConfig loadExample(const char *name) {
    auto loaded = loadSimConfigFile(examplePath(name));
    if (const auto *message = std::get_if<QString>(&loaded)) {
        ADD_FAILURE() << message->toStdString();
        return {};
    }
    return std::get<SimConfig>(loaded);
}

QString refusalOf(const QByteArray &json) {
    const auto loaded = loadSimConfig(json);
    const auto *message = std::get_if<QString>(&loaded);
    return message ? *message : QStringLiteral("(accepted)");
}

using Counts = std::array<quint16, 8>; // DO, DI, AI, AO, SDO DO, SDO DI, SDO AI, SDO AO

DeviceRecord record(quint8 nodeId, quint16 guardTime, Counts counts, std::array<quint8, 4> rows) {
    return DeviceRecord{nodeId, guardTime, counts, rows[0], rows[1], rows[2], rows[3]};
}

} // namespace

TEST(SimConfigTest, BuiltInConfigurationIsOneEmptyDeviceWithFactoryDefaults) {
    const GeneralReply general = generalReplyOf(SimConfig{});
    EXPECT_EQ(general.deviceCount, 1);
    EXPECT_EQ(general.serialId, 1);
    EXPECT_EQ(general.canBitRateCode, 0);
    EXPECT_EQ(general.serial, (SerialSettings{1, 3, 1, 1, 1, 0}));
    EXPECT_EQ(general.devices.at(0), record(1, 1000, {}, {0, 0, 0, 0}));
    EXPECT_EQ(ethernetReplyOf(SimConfig{}),
              (EthernetReply{{192, 168, 255, 3}, {255, 255, 0, 0}, {192, 168, 255, 4}}));
}

TEST(SimConfigTest, MissingKeysTakeTheDefaults) {
    const auto loaded = loadSimConfig(R"({"devices": [{"nodeId": 5}]})");
    ASSERT_TRUE(std::holds_alternative<SimConfig>(loaded));
    SimConfig expected;
    expected.devices.at(0).nodeId = 5;
    EXPECT_EQ(std::get<SimConfig>(loaded), expected);
}

TEST(SimConfigTest, PartialSectionsKeepTheirOtherDefaults) {
    const auto loaded = loadSimConfig(
        R"({"ethernet": {"mask": [255,255,255,0]}, "serial": {"parity": 3},
            "devices": [{"nodeId": 1}]})");
    ASSERT_TRUE(std::holds_alternative<SimConfig>(loaded));
    const SimConfig &config = std::get<SimConfig>(loaded);
    EXPECT_EQ(config.ethernet,
              (EthernetReply{{192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 4}}));
    EXPECT_EQ(config.serial, (SerialSettings{1, 3, 1, 3, 1, 0}));
}

TEST(SimConfigTest, HexStringsAndWholeNumbersAreAccepted) {
    const auto loaded = loadSimConfig(
        R"({"devices": [{"nodeId": "0x7F", "guardTime": "0xFFFF",
            "txPdo": [{"cobId": "0x181", "rtr": 1.0, "areas": ["0x1", 2, 2]}]}]})");
    ASSERT_TRUE(std::holds_alternative<SimConfig>(loaded));
    const SimDevice &device = std::get<SimConfig>(loaded).devices.at(0);
    EXPECT_EQ(device.nodeId, 0x7F);
    EXPECT_EQ(device.guardTime, 0xFFFF);
    EXPECT_EQ(device.txPdo.at(0), (PdoEntry{0x181, 1, 3, QByteArray("\x01\x02\x02", 3)}));
}

TEST(SimConfigTest, SmallExampleGivesItsTables) {
    const TableReply tables = tableReplyOf(loadExample("small.json"));
    ASSERT_EQ(tables.devices.size(), 1u);
    const DeviceTables &device = tables.devices.at(0);
    EXPECT_EQ(device.nodeId, 1);
    EXPECT_EQ(device.txPdo, (std::vector<PdoEntry>{{0x181, 0, 2, QByteArray("\x01\x01", 2)}}));
    EXPECT_EQ(device.rxPdo, (std::vector<PdoEntry>{{0x201, 1, 2, QByteArray("\x03\x03", 2)}}));
    EXPECT_EQ(device.readSdo, (std::vector<SdoEntry>{{0x6000, 1, 2, true}}));
    EXPECT_TRUE(device.writeSdo.empty());
}

TEST(SimConfigTest, MultiExampleGivesItsGeneralReply) {
    const GeneralReply general = generalReplyOf(loadExample("multi.json"));
    EXPECT_EQ(general.deviceCount, 4);
    EXPECT_EQ(general.serialId, 7);
    EXPECT_EQ(general.canBitRateCode, 4);
    EXPECT_EQ(general.sync, 1);
    EXPECT_EQ(general.syncTimeHigh, 0);
    EXPECT_EQ(general.syncTime, 100);
    EXPECT_EQ(general.serial, (SerialSettings{2, 7, 2, 2, 2, 1}));
    const std::vector<DeviceRecord> expected{
        record(2, 500, {9, 3, 3, 1, 1, 1, 1, 1}, {2, 2, 2, 2}),
        record(17, 2000, {0, 2, 3, 2, 0, 1, 2, 0}, {1, 1, 3, 0}),
        record(33, 1000, {0, 1, 0, 0, 2, 0, 0, 1}, {1, 0, 0, 3}),
        record(127, 65535, {3, 0, 0, 2, 0, 0, 0, 0}, {0, 1, 0, 0}),
    };
    EXPECT_EQ(general.devices, expected);
    EXPECT_EQ(ethernetReplyOf(loadExample("multi.json")),
              (EthernetReply{{192, 168, 1, 20}, {255, 255, 255, 0}, {192, 168, 1, 1}}));
}

TEST(SimConfigTest, MultiExampleMarksSdoWordsByTable) {
    const SimDevice device = loadExample("multi.json").devices.at(0);
    // Area 2 is a word in Read SDO only, area 3 in Write SDO only.
    EXPECT_EQ(device.readSdo, (std::vector<SdoEntry>{{0x6000, 1, 1, false}, {0x6401, 1, 2, true}}));
    EXPECT_EQ(device.writeSdo,
              (std::vector<SdoEntry>{{0x6200, 1, 0, false}, {0x6411, 2, 3, true}}));
}

TEST(SimConfigTest, MaximalExampleFillsEveryTable) {
    const GeneralReply general = generalReplyOf(loadExample("maximal.json"));
    ASSERT_EQ(general.devices.size(), 10u);
    for (quint8 k = 0; k < 10; ++k) {
        EXPECT_EQ(
            general.devices.at(k),
            record(k + 1, 1000 + 100 * k, {800, 800, 400, 400, 20, 20, 10, 10}, {200, 200, 30, 30}))
            << "device " << int(k);
    }
}

TEST(SimConfigTest, DeviceRecordCountsPdoItemsTheWayTheUtilityReadsThem) {
    SimDevice device;
    // Codes a table does not map (0 and 3 in a TxPDO, 1 and 2 in an RxPDO) count nothing.
    device.txPdo = {{1, 0, 8, QByteArray("\x01\x02\x02\x00\x03\x01\x02\x02", 8)}};
    device.rxPdo = {{2, 0, 6, QByteArray("\x03\x03\x01\x02\x00\x00", 6)}};
    EXPECT_EQ(deviceRecordOf(device).counts, (Counts{2, 2, 2, 1, 0, 0, 0, 0}));
}

struct RefusalCase {
    const char *json;
    const char *message;
};

void PrintTo(const RefusalCase &c, std::ostream *os) {
    *os << c.json;
}

class SimConfigRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(SimConfigRefusalTest, NamesThePlaceAndTheProblem) {
    EXPECT_EQ(refusalOf(GetParam().json).toStdString(), GetParam().message);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SimConfigRefusalTest, testing::Values(
    RefusalCase{"{\"devices\": [\n  {\"nodeId\": 1}\n  {}]}",
                "line 3, column 4 (offset 33): not valid JSON: missing value separator"},
    RefusalCase{R"([1, 2])", "top level: expected an object, found an array"},
    RefusalCase{R"({})", "devices: missing"},
    RefusalCase{R"({"devices": []})", "devices: 0 devices; 1 to 10"},
    RefusalCase{R"({"devices": [{"nodeId":1},{"nodeId":2},{"nodeId":3},{"nodeId":4},{"nodeId":5},
                   {"nodeId":6},{"nodeId":7},{"nodeId":8},{"nodeId":9},{"nodeId":10},{"nodeId":11}]})",
                "devices: 11 devices; 1 to 10"},
    RefusalCase{R"({"devices": {"nodeId": 1}})", "devices: expected an array, found an object"},
    RefusalCase{R"({"devices": [{"guardTime": 5}]})", "devices[0].nodeId: missing"},
    RefusalCase{R"({"devices": [{"nodeId": 256}]})", "devices[0].nodeId: 256 is out of range 0..255"},
    RefusalCase{R"({"devices": [{"nodeId": -1}]})", "devices[0].nodeId: -1 is out of range 0..255"},
    RefusalCase{R"({"devices": [{"nodeId": 1.5}]})", "devices[0].nodeId: 1.5 is not a whole number"},
    RefusalCase{R"({"devices": [{"nodeId": "12"}]})",
                "devices[0].nodeId: \"12\" is not a number; write a whole number or \"0x...\" hex"},
    RefusalCase{R"({"devices": [{"nodeId": true}]})",
                "devices[0].nodeId: expected a whole number, found true/false"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "guardTime": 65536}]})",
                "devices[0].guardTime: 65536 is out of range 0..65535"},
    RefusalCase{R"({"devices": [{"nodeId": 1}, {"nodeId": 2, "txPDO": []}]})",
                "devices[1].txPDO: unknown key"},
    RefusalCase{R"({"devices": [{"nodeId": 1}, {"nodeId": 2, "txPdo": [{"cobId": 1},{"cobId": 2},
                   {"cobId": 3},{"cobId": 4},{"cobId": 5, "areas": [1,1,1,1,1,1,1,1,1]}]}]})",
                "devices[1].txPdo[4].areas: 9 data bytes; at most 8"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "txPdo": [{"areas": []}]}]})",
                "devices[0].txPdo[0].cobId: missing"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "txPdo": [{"cobId": "0x10000"}]}]})",
                "devices[0].txPdo[0].cobId: 65536 is out of range 0..65535"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "rxPdo": [{"cobId": 1, "cycle": 300}]}]})",
                "devices[0].rxPdo[0].cycle: 300 is out of range 0..255"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "rxPdo": [{"cobId": 1, "rtr": 0}]}]})",
                "devices[0].rxPdo[0].rtr: unknown key"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "rxPdo": [{"cobId": 1, "areas": [0, 0, 4]}]}]})",
                "devices[0].rxPdo[0].areas[2]: code 4; codes are 0..3"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "txPdo": [{"cobId": 1, "areas": 1}]}]})",
                "devices[0].txPdo[0].areas: expected an array, found a number"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "txPdo": [{"cobId": 1, "areas": [1, 2, 1]}]}]})",
                "devices[0].txPdo[0].areas[1]: word not complete: 2 at Byte1 needs a second 2 at Byte2"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "txPdo": [{"cobId": 1, "areas": [2, 2, 2]}]}]})",
                "devices[0].txPdo[0].areas[2]: word not complete: 2 at Byte2 needs a second 2 at Byte3"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "rxPdo": [{"cobId": 1, "areas": [3, 3, 0, 3]}]}]})",
                "devices[0].rxPdo[0].areas[3]: word not complete: 3 at Byte3 needs a second 3 at Byte4"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "txPdo": [{"cobId": 1, "areas": [1,1,1,1,1,1,1,2]}]}]})",
                "devices[0].txPdo[0].areas[7]: a word (2 2) cannot start at Byte7"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "rxPdo": [{"cobId": 1, "areas": [3,3,3,3,3,3,0,3]}]}]})",
                "devices[0].rxPdo[0].areas[7]: a word (3 3) cannot start at Byte7"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "readSdo": [{"index": 1, "subIndex": 0, "area": 4}]}]})",
                "devices[0].readSdo[0].area: 4 is out of range 0..3"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "writeSdo": [{"index": 1, "area": 0}]}]})",
                "devices[0].writeSdo[0].subIndex: missing"},
    RefusalCase{R"({"devices": [{"nodeId": 1, "readSdo": {}}]})",
                "devices[0].readSdo: expected an array, found an object"},
    RefusalCase{R"({"ethernet": {"ip": [192, 168, 1]}, "devices": [{"nodeId": 1}]})",
                "ethernet.ip: 3 octets; exactly 4"},
    RefusalCase{R"({"ethernet": {"gateway": [192, 168, 1, 256]}, "devices": [{"nodeId": 1}]})",
                "ethernet.gateway[3]: 256 is out of range 0..255"},
    RefusalCase{R"({"serial": {"baud": 3}, "devices": [{"nodeId": 1}]})", "serial.baud: unknown key"},
    RefusalCase{R"({"syncTime": 256, "devices": [{"nodeId": 1}]})", "syncTime: 256 is out of range 0..255"},
    RefusalCase{R"({"serialId": null, "devices": [{"nodeId": 1}]})",
                "serialId: expected a whole number, found null"}));
// clang-format on

namespace {

// A device with `rows` rows in one table; the row counts limits are 200 (PDO) and 30 (SDO).
QByteArray deviceWithRows(const char *table, const char *row, int rows) {
    QByteArray list;
    for (int j = 0; j < rows; ++j) {
        list += (j ? "," : "") + QByteArray(row);
    }
    return QByteArray(R"({"devices": [{"nodeId": 1, ")") + table + "\": [" + list + "]}]}";
}

} // namespace

struct RowLimitCase {
    const char *table;
    const char *row;
    int limit;
};

void PrintTo(const RowLimitCase &c, std::ostream *os) {
    *os << c.table;
}

class SimConfigRowLimitTest : public testing::TestWithParam<RowLimitCase> {};

TEST_P(SimConfigRowLimitTest, AcceptsTheLimitAndRefusesOneMore) {
    const RowLimitCase &c = GetParam();
    EXPECT_EQ(refusalOf(deviceWithRows(c.table, c.row, c.limit)), QStringLiteral("(accepted)"));
    EXPECT_EQ(refusalOf(deviceWithRows(c.table, c.row, c.limit + 1)),
              QStringLiteral("devices[0].%1: %2 rows; at most %3")
                  .arg(QLatin1String(c.table))
                  .arg(c.limit + 1)
                  .arg(c.limit));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SimConfigRowLimitTest,
    testing::Values(RowLimitCase{"txPdo", R"({"cobId": 1})", 200},
                    RowLimitCase{"rxPdo", R"({"cobId": 1})", 200},
                    RowLimitCase{"readSdo", R"({"index": 1, "subIndex": 0, "area": 1})", 30},
                    RowLimitCase{"writeSdo", R"({"index": 1, "subIndex": 0, "area": 0})", 30}));

TEST(SimConfigFileTest, MessagesStartWithThePath) {
    const auto missing = loadSimConfigFile(examplePath("no-such-file.json"));
    ASSERT_TRUE(std::holds_alternative<QString>(missing));
    EXPECT_TRUE(std::get<QString>(missing).startsWith(examplePath("no-such-file.json") +
                                                      QStringLiteral(": cannot read: ")));
}
