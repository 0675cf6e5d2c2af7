#include "files/ConfigurationFile.h"

#include <gtest/gtest.h>

using namespace tolvar;

namespace {

std::string outcomeOf(const std::variant<StoredConfiguration, QString> &loaded) {
    const auto *message = std::get_if<QString>(&loaded);
    return message ? message->toStdString() : "(accepted)";
}

TEST(ConfigurationFileTest, MultiExampleGivesItsGeneralReply) {
    const auto loaded = loadConfigurationFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/multi.json"));
    ASSERT_EQ(outcomeOf(loaded), "(accepted)");
    const StoredConfiguration &config = std::get<StoredConfiguration>(loaded);
    GeneralReply expected{4, 7, 4, 1, 0, 100, {}, {2, 7, 2, 2, 2, 1}};
    expected.devices = {{2, 500, {9, 3, 3, 1, 1, 1, 1, 1}, 2, 2, 2, 2},
                        {17, 2000, {0, 2, 3, 2, 0, 1, 2, 0}, 1, 1, 3, 0},
                        {33, 1000, {0, 1, 0, 0, 2, 0, 0, 1}, 1, 0, 0, 3},
                        {127, 65535, {3, 0, 0, 2, 0, 0, 0, 0}, 0, 1, 0, 0}};
    EXPECT_EQ(generalReplyOf(config), expected);
    EXPECT_EQ(config.ethernet,
              (EthernetReply{{192, 168, 1, 20}, {255, 255, 255, 0}, {192, 168, 1, 1}}));
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

TEST(ConfigurationFileTest, RefusalNamesThePlaceAndTheProblem) {
    const std::pair<QByteArray, const char *> cases[] = {
        // clang-format off
        {"{\"devices\": [\n  {\"nodeId\": 1}\n  {}]}", "line 3, column 4 (offset 33): not valid JSON: missing value separator"},
        {R"({"format": 2, "devices": [{"nodeId": 1}]})", "format: format 2 is not known here; this program reads format 1"},
        {devices(""), "devices: 0 devices; 1 to 10"},
        {devices(rows(R"({"nodeId": 1})", 11)), "devices: 11 devices; 1 to 10"},
        {devices(R"({"nodeId": 1}, {"nodeId": -1})"), "devices[1].nodeId: -1 is out of range 0..255"},
        {table("txPdo", R"({"cobId": 1, "areas": [1,1,1,1,1,1,1,1,1]})"), "devices[0].txPdo[0].areas: 9 data bytes; at most 8"},
        {table("rxPdo", R"({"cobId": 1, "areas": [0, 0, 4]})"), "devices[0].rxPdo[0].areas[2]: code 4; codes are 0..3"},
        {table("txPdo", R"({"cobId": 1, "areas": [1, 2, 1]})"), "devices[0].txPdo[0].areas[1]: word not complete: 2 at Byte1 needs a second 2 at Byte2"},
        {table("txPdo", rows(R"({"cobId": 1})", 201)), "devices[0].txPdo: 201 rows; at most 200"},
        {R"({"ethernet": {"ip": [192, 168, 1]}, "devices": [{"nodeId": 1}]})", "ethernet.ip: 3 octets; exactly 4"},
        // clang-format on
    };
    for (const auto &[json, message] : cases) {
        EXPECT_EQ(outcomeOf(parseConfiguration(json)), message) << json.left(60).toStdString();
    }
}

} // namespace
