#include "files/ConfigDifferences.h"
#include "files/ConfigurationFile.h"
#include "files/ModbusMap.h"
#include "files/ModelFile.h"
#include "mapping/NetworkChecks.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

namespace tolvar {
namespace {

const QString kExamples = QStringLiteral(TOLVAR_EXAMPLES_DIR "/");

StoredConfiguration example(const QString &name) {
    return std::get<StoredConfiguration>(loadConfigurationFile(kExamples + name));
}

QStringList findingTexts(const std::vector<Finding> &findings) {
    QStringList texts;
    for (const Finding &finding : findings)
        texts << findingText(finding);
    return texts;
}

// Every shipped example is written back byte for byte, converts back from what its read-back
// leaves unchanged, and gives the checks no fault.
TEST(ConfigurationFile, ExamplesSurviveReadBackAndConversionAndPassTheChecks) {
    for (const QString name : {"small.json", "multi.json", "maximal.json"}) {
        SCOPED_TRACE(name.toStdString());
        QFile file(kExamples + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const StoredConfiguration config = example(name);
        EXPECT_EQ(formatConfiguration(config), file.readAll());
        const ReadBackCopy copy = readBackOf(config);
        ASSERT_TRUE(copy.complete());
        EXPECT_EQ(configurationOf(copy.model, copy.network),
                  (std::variant<StoredConfiguration, QString>(config)));
        const auto findings = checkNetwork(copy.model, int(config.devices.size()));
        EXPECT_FALSE(hasFault(findings)) << findingTexts(findings).join(u'\n').toStdString();
    }
}

std::string outcomeOf(const std::variant<StoredConfiguration, QString> &loaded) {
    const auto *message = std::get_if<QString>(&loaded);
    return message ? message->toStdString() : "(accepted)";
}

// A file whose one device has `body` after its node ID; `body` starts at offset 23.
QByteArray dev(const QByteArray &body) {
    return R"({"devices":[{"nodeId":1)" + body + "}]}";
}

QByteArray nested(int depth) {
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

// `count` members "k0": 0, "k1": 0 … of one object.
QByteArray members(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += ",\"k" + QByteArray::number(i) + "\":0";
    return text;
}

// A refused file is refused with one short line that names the place; the value it quotes is
// cut and escaped, and numbers appear as written.
TEST(ConfigurationFile, HostileTextIsRefusedByPlaceInOneShortLine) {
    const QByteArray big(1 << 20, 'k');
    const QByteArray valid = R"({"devices":[{"nodeId":1}]})";
    const std::pair<QByteArray, std::string> cases[] = {
        // clang-format off
        {dev(QByteArray(R"(,"txPdo":[{"cobId":"0x1)") + '\0' + R"(85"}])"), "line 1, column 47 (offset 46): control character \\u0000 in a string"},
        {dev(",\"txPdo\":[{\"cobId\":\"0x\n185\"}]"), "line 1, column 46 (offset 45): control character \\n in a string"},
        {dev(",\"a\":\"x\ty\""), "line 1, column 31 (offset 30): control character \\t in a string"},
        {dev(",\"a\":\"x\x7fy\""), "line 1, column 31 (offset 30): control character \\u007f in a string"},
        {dev(",\"a\x1f\":0"), "line 1, column 27 (offset 26): control character \\u001f in a key"},
        {dev(",\"a\rb\":0"), "line 1, column 27 (offset 26): control character \\r in a key"},
        {dev(R"(,"a\nlistening on":0)"), "line 1, column 27 (offset 26): control character \\n in a key"},
        {dev(R"(,"a":"\u0000")"), "line 1, column 30 (offset 29): control character \\u0000 in a string"},
        {dev(R"(,"\u001Bx":0)"), "line 1, column 26 (offset 25): control character \\u001b in a key"},
        {dev(R"(,"a":"ok\u007F")"), "line 1, column 32 (offset 31): control character \\u007f in a string"},
        {dev(R"(,"a":"\b")"), "line 1, column 30 (offset 29): control character \\u0008 in a string"},
        {dev(R"(,"a":["x","\f"])"), "line 1, column 35 (offset 34): control character \\u000c in a string"},
        {"{\n\"devices\":[{\"nodeId\":1}],\n\"a\":\"\x01\"}", "line 3, column 6 (offset 33): control character \\u0001 in a string"},
        {R"({"devices":[{"nodeId":1}],"devices":[]})", "line 1, column 27 (offset 26): key \"devices\" appears twice in one object"},
        {dev(R"(,"nodeId":5)"), "line 1, column 25 (offset 24): key \"nodeId\" appears twice in one object"},
        {R"({"devices":[{"nodeId":300,"nodeId":5}]})", "line 1, column 27 (offset 26): key \"nodeId\" appears twice"},
        {dev(R"(,"txPdo":[{"cobId":1},{"cobId":2,"areas":[],"cobId":3}])"), "line 1, column 68 (offset 67): key \"cobId\" appears twice"},
        {R"({"ethernet":{"ip":[1,2,3,4],"ip":[1,2,3,4]},"devices":[]})", "line 1, column 29 (offset 28): key \"ip\" appears twice"},
        {dev(R"(,"node\u0049d":2)"), "line 1, column 25 (offset 24): key \"nodeId\" appears twice"},
        {R"({"a":{"b":1,"c":{}},"a":2})", "line 1, column 21 (offset 20): key \"a\" appears twice"},
        {"{\"devices\":[{\"nodeId\":1}]" + members(16) + "}", "line 1, column 137 (offset 136): more than 16 keys in one object"},
        {"{\"devices\":[{\"nodeId\":1}],\"a\":[" + QByteArray("0,").repeated(59998) + "0]}", "line 1, column 120022 (offset 120021): more than 60000 values"},
        {nested(2000), "line 1, column 1026 (offset 1025): not valid JSON: too deeply nested document"},
        {nested(1000), "top level: expected an object, found an array"},
        {"", "line 1, column 1 (offset 0): not valid JSON: illegal value"},
        {QByteArray("{\"devices\":[]\0}", 15), "line 1, column 15 (offset 14): not valid JSON"},
        {R"({"devices":[{"nodeId":9007199254740993}]})", "devices[0].nodeId: 9007199254740993 is not a whole number"},
        {R"({"devices":[{"nodeId":18446744073709551616}]})", "devices[0].nodeId: 18446744073709551616 is not a whole number"},
        {R"({"format":-9007199254740993,"devices":[]})", "format: -9007199254740993 is not a whole number"},
        {dev(R"(,"txPdo":[{"cobId":1},{"cobId":1,"areas":[1e20]}])"), "devices[0].txPdo[1].areas[0]: 1e20 is not a whole number"},
        {dev(R"(,"guardTime":0.5)"), "devices[0].guardTime: 0.5 is not a whole number"},
        {R"({"devices":[{"nodeId":9007199254740992}]})", "devices[0].nodeId: 9007199254740992 is not a whole number"},
        {R"({"devices":[{"nodeId":9007199254740991}]})", "devices[0].nodeId: 9007199254740991 is out of range 0..255"},
        {R"({"devices":[{"nodeId":1e400}]})", "line 1, column 28 (offset 27): not valid JSON: illegal number"},
        {dev(",\"" + big + "\":0"), "devices[0].kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk\u2026: unknown key"},
        {dev(R"(,"txPdo":[{"cobId":"0x)" + big + "\"}]"), "devices[0].txPdo[0].cobId: \"0xkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk\u2026\" is not a number"},
        {dev(",\"a\xc2\x85\xe2\x80\xa8\":0"), "devices[0].a\\u0085\\u2028: unknown key"},
        {dev(",\"\xf0\x9f\x98\x80" + QByteArray(39, 'k') + "\":0"), "devices[0].\xf0\x9f\x98\x80" + std::string(38, 'k') + "\u2026: unknown key"},
        {valid + QByteArray(kMaxConfigurationBytes - valid.size() + 1, ' '), "larger than 4 MiB; no configuration is that large"},
        {valid + QByteArray(kMaxConfigurationBytes - valid.size(), ' '), "(accepted)"},
        {R"({"devices":[{"nodeId":1,"txPdo":[{"cobId":1}]},{"nodeId":2,"txPdo":[{"cobId":1}]}]})", "(accepted)"},
        // clang-format on
    };
    for (const auto &[json, message] : cases) {
        const std::string outcome = outcomeOf(parseConfiguration(json));
        EXPECT_EQ(outcome.substr(0, message.size()), message) << json.left(80).toStdString();
        EXPECT_LE(QString::fromStdString(outcome).size(), 300);
        EXPECT_EQ(outcome.find('\n'), std::string::npos);
    }
}

// A path that is no regular file is never opened: a device or a pipe could block or fill memory.
TEST(ConfigurationFile, OnlyRegularFilesOfAtMost4MiBAreRead) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString large = dir.filePath("large.json");
    const QString newline = dir.filePath("new\nline.json");
    for (const auto &[path, content] :
         {std::pair{large, QByteArray(kMaxConfigurationBytes + 1, ' ')},
          std::pair{newline, QByteArray("{")}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    const QString longPath = dir.filePath(QString(200, u'x'));
    const std::pair<QString, QString> cases[] = {
        {"", "cannot read a configuration: no file name given"},
        {"/dev/zero", "/dev/zero: not a regular file"},
        {fifo, fifo + ": not a regular file"},
        {dir.path(), dir.path() + ": not a regular file"},
        {large, large + ": larger than 4 MiB"},
        {newline,
         dir.filePath("new\\nline.json") + ": line 1, column 2 (offset 1): not valid JSON"},
        {longPath, "\u2026" + QString(119, u'x') + ": cannot read: No such file or directory"},
    };
    for (const auto &[path, message] : cases) {
        const auto loaded = loadConfigurationFile(path);
        ASSERT_TRUE(std::holds_alternative<QString>(loaded)) << path.toStdString();
        EXPECT_TRUE(std::get<QString>(loaded).startsWith(message))
            << std::get<QString>(loaded).toStdString();
    }
}

TEST(ConfigurationFile, WhatAFileCannotHoldIsRefusedByItsPlace) {
    const std::pair<std::function<void(ReadBackCopy &)>, QString> cases[] = {
        {[](ReadBackCopy &c) { c.model.TxPDOTable.cell(1, 1, 5).clear(); },
         "Device 1, TxPDO row 1: the data length 2 covers Byte1, which has no type."},
        {[](ReadBackCopy &c) { c.model.RxPDOTable.cell(1, 1, 5) = "P_DO 1"; },
         "Device 1, RxPDO row 1: Byte0 (P_AOL 1) is half a word"},
        {[](ReadBackCopy &c) { c.model.DeviceOrder[0] = 0; },
         "Place 1 of the device list has no device"},
    };
    for (const auto &[edit, message] : cases) {
        ReadBackCopy copy = readBackOf(example("small.json"));
        edit(copy);
        const auto converted = configurationOf(copy.model, copy.network);
        ASSERT_TRUE(std::holds_alternative<QString>(converted)) << message.toStdString();
        EXPECT_TRUE(std::get<QString>(converted).startsWith(message))
            << std::get<QString>(converted).toStdString();
    }
}

PdoEntry pdo(quint16 cobId, const char *areas = "\x01") {
    const QByteArray types(areas);
    return PdoEntry{cobId, 0, quint8(types.size()), types};
}

StoredDevice device(quint8 node, std::vector<PdoEntry> tx, std::vector<PdoEntry> rx = {}) {
    return StoredDevice{node, 1000, std::move(tx), std::move(rx), {}, {}};
}

TEST(NetworkChecks, FindEachFaultAndLinkByPlace) {
    const std::pair<std::vector<StoredDevice>, QStringList> cases[] = {
        // The findings: a part of each one's text.
        {{device(5, {}), device(5, {})},
         {"Fault: device 2: Node ID 5 is also the node ID of device 1. Every device"}},
        {{device(1, {pdo(0x181)}), device(2, {pdo(0x181)})},
         {"Fault: device 2, TxPDO row 1: COB-ID 0x181 is also the COB-ID of device 1, TxPDO "
          "row 1. Two PDOs with one COB-ID collide on the bus"}},
        // The first restricted range and the last; the next case has a COB-ID just outside each.
        {{device(1, {pdo(0x000), pdo(0x7FF)})},
         {"Fault: device 1, TxPDO row 1: COB-ID 0x000 lies in 0x000 to 0x07F, which CANopen "
          "keeps for NMT. Give the PDO a COB-ID outside the restricted ranges",
          "row 2: COB-ID 0x7FF lies in 0x780 to 0x7FF, which CANopen keeps for LSS."}},
        {{device(1, {pdo(0x080), pdo(0x100), pdo(0x181, ""), pdo(0x580), pdo(0x600)},
                 {pdo(0x680, ""), pdo(0x6DF, ""), pdo(0x700, ""), pdo(0x800, "")})},
         {}},
    };
    for (const auto &[devices, findings] : cases) {
        StoredConfiguration config;
        config.devices = devices;
        const ReadBackCopy copy = readBackOf(config);
        const QStringList found = findingTexts(checkNetwork(copy.model, int(devices.size())));
        ASSERT_EQ(found.size(), findings.size()) << found.join(u'\n').toStdString();
        for (qsizetype i = 0; i < found.size(); ++i)
            EXPECT_TRUE(found[i].contains(findings[i])) << found[i].toStdString();
    }
    // Typed bytes under a data length of 0 are never sent.
    ReadBackCopy copy = readBackOf(example("small.json"));
    copy.model.TxPDOTable.cell(1, 1, 3).clear();
    EXPECT_TRUE(findingTexts(checkNetwork(copy.model, 1))
                    .value(0)
                    .contains("It maps 2 data byte(s), but its data length is 0"));
}

TEST(ModbusMap, LaysEveryMappedByteOutWithItsOrigin) {
    const ReadBackCopy copy = readBackOf(example("small.json"));
    const QByteArray csv = modbusMapCsv(modbusMap(copy.model, mappingLayout(copy.model, 1)));
    EXPECT_EQ(csv, "Area,Row address,Byte in row,Address,Register byte,Tag,Device,Node ID,Table,"
                   "Entry row,COB-ID,Index,Sub-index,Byte column\r\n"
                   "DI,10001,Byte0,10001,,P_DI 1,1,1,TxPDO,1,0x181,,,Byte0\r\n"
                   "DI,10001,Byte1,10009,,P_DI 2,1,1,TxPDO,1,0x181,,,Byte1\r\n"
                   "AI,30001,Byte0,30001,low,S_AIL 1,1,1,Read SDO,1,,0x6000,0x01,Byte0\r\n"
                   "AI,30001,Byte1,30001,high,S_AIH 1,1,1,Read SDO,1,,0x6000,0x01,Byte1\r\n"
                   "AO,40001,Byte0,40001,low,P_AOL 1,1,1,RxPDO,1,0x201,,,Byte0\r\n"
                   "AO,40001,Byte1,40001,high,P_AOH 1,1,1,RxPDO,1,0x201,,,Byte1\r\n");
}

TEST(ConfigDifferences, NameEachChangedField) {
    const std::pair<std::function<void(StoredConfiguration &)>, QStringList> cases[] = {
        {[](StoredConfiguration &c) {
             c.serial.parity = 3;
             c.canBitRateCode = 9;
             c.devices[0].txPdo[0].typeBytes[1] = 2;
             c.devices[0].txPdo[1].cobId = 0x283;
         },
         {"CAN bit rate: gateway 250 kbit/s, utility code 9", "Parity: gateway Even, utility Odd",
          "Device 1, TxPDO row 1, Byte1: gateway DI, utility AI",
          "Device 1, TxPDO row 2, COB-ID: gateway 0x282, utility 0x283"}},
        {[](StoredConfiguration &c) { c.devices[0].rxPdo.pop_back(); },
         {"Device 1, RxPDO, rows: gateway 2, utility 1",
          "Device 1, RxPDO row 2, entry: gateway COB-ID 0x302, 8 data byte(s), utility (none)"}},
        {[](StoredConfiguration &c) { c.devices.pop_back(); },
         {"Device Amount: gateway 4, utility 3",
          "Device 4, device: gateway node ID 127, utility (none)"}},
    };
    const StoredConfiguration gateway = example("multi.json");
    for (const auto &[edit, expected] : cases) {
        StoredConfiguration utility = gateway;
        edit(utility);
        QStringList found;
        for (const ConfigDifference &difference : compareConfigurations(gateway, utility))
            found << differenceText(difference);
        EXPECT_EQ(found, expected);
    }
}

} // namespace
} // namespace tolvar
