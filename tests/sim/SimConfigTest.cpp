#include "files/SimConfig.h"

#include <gtest/gtest.h>

using namespace tolvar;

namespace {

std::string outcomeOf(const std::variant<SimConfig, QString> &loaded) {
    const auto *message = std::get_if<QString>(&loaded);
    return message ? message->toStdString() : "(accepted)";
}

TEST(SimConfigTest, MultiExampleGivesItsGeneralReply) {
    const auto loaded = loadSimConfigFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json"));
    ASSERT_EQ(outcomeOf(loaded), "(accepted)");
    const SimConfig &config = std::get<SimConfig>(loaded);
    GeneralReply expected{4, 7, 4, 1, 0, 100, {}, {2, 7, 2, 2, 2, 1}};
    expected.devices = {{2, 500, {9, 3, 3, 1, 1, 1, 1, 1}, 2, 2, 2, 2},
                        {17, 2000, {0, 2, 3, 2, 0, 1, 2, 0}, 1, 1, 3, 0},
                        {33, 1000, {0, 1, 0, 0, 2, 0, 0, 1}, 1, 0, 0, 3},
                        {127, 65535, {3, 0, 0, 2, 0, 0, 0, 0}, 0, 1, 0, 0}};
    EXPECT_EQ(generalReplyOf(config), expected);
    EXPECT_EQ(config.ethernet,
              (EthernetReply{{192, 168, 1, 20}, {255, 255, 255, 0}, {192, 168, 1, 1}}));
    // Area 2 is a word in Read SDO only, area 3 in Write SDO only.
    EXPECT_EQ(config.devices.at(0).readSdo,
              (std::vector<SdoEntry>{{0x6000, 1, 1, false}, {0x6401, 1, 2, true}}));
    EXPECT_EQ(config.devices.at(0).writeSdo,
              (std::vector<SdoEntry>{{0x6200, 1, 0, false}, {0x6411, 2, 3, true}}));
}

TEST(SimConfigTest, MissingKeysTakeTheDefaults) {
    const auto loaded =
        loadSimConfig(R"({"ethernet": {"mask": [255,255,255,0]}, "devices": [{"nodeId": 5}]})");
    ASSERT_EQ(outcomeOf(loaded), "(accepted)");
    SimConfig expected;
    expected.ethernet.mask = {255, 255, 255, 0};
    expected.devices.at(0).nodeId = 5;
    EXPECT_EQ(std::get<SimConfig>(loaded), expected);
}

TEST(SimConfigTest, RecordCountsSkipCodesATableDoesNotMap) {
    SimDevice device;
    // 0 and 3 in a TxPDO, 1 and 2 in an RxPDO count nothing.
    device.txPdo = {{1, 0, 8, QByteArray("\x01\x02\x02\x00\x03\x01\x02\x02", 8)}};
    device.rxPdo = {{2, 0, 6, QByteArray("\x03\x03\x01\x02\x00\x00", 6)}};
    EXPECT_EQ(deviceRecordOf(device).counts, (std::array<quint16, 8>{2, 2, 2, 1, 0, 0, 0, 0}));
}

// A file with the device list `list`.
QByteArray devices(const QByteArray &list) {
    return R"({"devices": [)" + list + "]}";
}

// One device whose `table` holds `rows`.
QByteArray table(const char *name, const QByteArray &rows) {
    return devices(R"({"nodeId": 1, ")" + QByteArray(name) + "\": [" + rows + "]}");
}

// `count` comma-separated copies of `row`.
QByteArray rows(const QByteArray &row, int count) {
    return (row + ',').repeated(count).chopped(1);
}

TEST(SimConfigTest, RefusalNamesThePlaceAndTheProblem) {
    const QByteArray sdo = R"({"index": 1, "subIndex": 0, "area": 1})";
    const std::pair<QByteArray, const char *> cases[] = {
        // clang-format off
        {"{\"devices\": [\n  {\"nodeId\": 1}\n  {}]}", "line 3, column 4 (offset 33): not valid JSON: missing value separator"},
        {"{\"devices\": [", "line 1, column 14 (offset 13): not valid JSON: unterminated array"},
        {"[1, 2]", "top level: expected an object, found an array"},
        {R"({"format": 2, "devices": [{"nodeId": 1}]})", "format: format 2 is not known here; this program reads format 1"},
        {"{}", "devices: missing"},
        {devices(""), "devices: 0 devices; 1 to 10"},
        {devices(rows(R"({"nodeId": 1})", 11)), "devices: 11 devices; 1 to 10"},
        {devices(R"({"nodeId": 1.5})"), "devices[0].nodeId: 1.5 is not a whole number"},
        {devices(R"({"nodeId": "12"})"), "devices[0].nodeId: \"12\" is not a number; write a whole number or \"0x...\" hex"},
        {devices(R"({"nodeId": 1}, {"nodeId": -1})"), "devices[1].nodeId: -1 is out of range 0..255"},
        {devices(R"({"nodeId": 1, "guardTime": 65536})"), "devices[0].guardTime: 65536 is out of range 0..65535"},
        {devices(R"({"nodeId": 1}, {"nodeId": 2, "rxPdo": [{"cobId": 1, "rtr": 0}]})"), "devices[1].rxPdo[0].rtr: unknown key"},
        {table("txPdo", R"({"cobId": 1, "areas": [1,1,1,1,1,1,1,1,1]})"), "devices[0].txPdo[0].areas: 9 data bytes; at most 8"},
        {table("rxPdo", R"({"cobId": 1, "areas": [0, 0, 4]})"), "devices[0].rxPdo[0].areas[2]: code 4; codes are 0..3"},
        {table("txPdo", R"({"cobId": 1, "areas": [1, 2, 1]})"), "devices[0].txPdo[0].areas[1]: word not complete: 2 at Byte1 needs a second 2 at Byte2"},
        {table("txPdo", R"({"cobId": 1, "areas": [1,1,1,1,1,1,1,2]})"), "devices[0].txPdo[0].areas[7]: a word (2 2) cannot start at Byte7"},
        {table("txPdo", rows(R"({"cobId": 1})", 201)), "devices[0].txPdo: 201 rows; at most 200"},
        {table("writeSdo", rows(sdo, 31)), "devices[0].writeSdo: 31 rows; at most 30"},
        {table("readSdo", R"({"index": 1, "subIndex": 0, "area": 5})"), "devices[0].readSdo[0].area: 5 is out of range 0..3"},
        {R"({"ethernet": {"ip": [192, 168, 1]}, "devices": [{"nodeId": 1}]})", "ethernet.ip: 3 octets; exactly 4"},
        {R"({"ethernet": {"gateway": [192, 168, 1, 256]}, "devices": [{"nodeId": 1}]})", "ethernet.gateway[3]: 256 is out of range 0..255"},
        // clang-format on
    };
    for (const auto &[json, message] : cases) {
        EXPECT_EQ(outcomeOf(loadSimConfig(json)), message) << json.left(60).toStdString();
    }
}

} // namespace
