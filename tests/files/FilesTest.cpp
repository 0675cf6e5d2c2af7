#include "files/ConfigDifferences.h"
#include "files/ModbusMap.h"
#include "files/ModelFile.h"
#include "mapping/NetworkChecks.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace tolvar {
namespace {

const QString kExamples = QStringLiteral(TOLVAR_EXAMPLES_DIR "/");

SimConfig example(const QString &name) {
    return std::get<SimConfig>(loadSimConfigFile(kExamples + name));
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
        const SimConfig config = example(name);
        EXPECT_EQ(saveSimConfig(config), file.readAll());
        const ReadBackCopy copy = readBackOf(config);
        ASSERT_TRUE(copy.complete());
        EXPECT_EQ(configurationOf(copy.model, copy.network),
                  (std::variant<SimConfig, QString>(config)));
        const auto findings = checkNetwork(copy.model, int(config.devices.size()));
        EXPECT_FALSE(hasFault(findings)) << findingTexts(findings).join(u'\n').toStdString();
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

SimDevice device(quint8 node, std::vector<PdoEntry> tx, std::vector<PdoEntry> rx = {}) {
    return SimDevice{node, 1000, std::move(tx), std::move(rx), {}, {}};
}

TEST(NetworkChecks, FindEachFaultAndLinkByPlace) {
    const std::pair<std::vector<SimDevice>, QStringList> cases[] = {
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
        SimConfig config;
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
    const std::pair<std::function<void(SimConfig &)>, QStringList> cases[] = {
        {[](SimConfig &c) {
             c.serial.parity = 3;
             c.canBitRateCode = 9;
             c.devices[0].txPdo[0].typeBytes[1] = 2;
             c.devices[0].txPdo[1].cobId = 0x283;
         },
         {"CAN bit rate: gateway 250 kbit/s, utility code 9", "Parity: gateway Even, utility Odd",
          "Device 1, TxPDO row 1, Byte1: gateway DI, utility AI",
          "Device 1, TxPDO row 2, COB-ID: gateway 0x282, utility 0x283"}},
        {[](SimConfig &c) { c.devices[0].rxPdo.pop_back(); },
         {"Device 1, RxPDO, rows: gateway 2, utility 1",
          "Device 1, RxPDO row 2, entry: gateway COB-ID 0x302, 8 data byte(s), utility (none)"}},
        {[](SimConfig &c) { c.devices.pop_back(); },
         {"Device Amount: gateway 4, utility 3",
          "Device 4, device: gateway node ID 127, utility (none)"}},
    };
    const SimConfig gateway = example("multi.json");
    for (const auto &[edit, expected] : cases) {
        SimConfig utility = gateway;
        edit(utility);
        QStringList found;
        for (const ConfigDifference &difference : compareConfigurations(gateway, utility))
            found << differenceText(difference);
        EXPECT_EQ(found, expected);
    }
}

} // namespace
} // namespace tolvar
