#include "files/ConfigDifferences.h"
#include "files/ConfigurationFile.h"
#include "files/ModelFile.h"
#include "fleet/DownloadPreparation.h"
#include "fleet/FileCommands.h"
#include "fleet/ResultText.h"
#include "gateway/WriteSession.h"
#include "link/CommandFrame.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

const QString kExamples = QStringLiteral(TOLVAR_EXAMPLES_DIR "/");

StoredConfiguration example(const QString &name) {
    return std::get<StoredConfiguration>(loadConfigurationFile(kExamples + name));
}

GatewayResult result(GatewayTarget target, GatewayCommand command, GatewayOutcome outcome,
                     int frames, double seconds, const QString &message) {
    return {std::move(target), command, outcome, frames, frames, seconds, message, {}};
}

GatewayResult changed() {
    GatewayResult done = result({"127.0.0.1", 1502, "plant/a.json"}, GatewayCommand::Apply,
                                GatewayOutcome::Changed, 5, 8.125, "Sent and verified.");
    done.differences.push_back({1, "TxPDO", 3, "COB-ID", "0x182", "0x183"});
    return done;
}

TEST(ResultText, OutcomeNamesAndTheExitStatus) {
    const std::tuple<GatewayOutcome, const char *, int> cases[] = {
        {GatewayOutcome::Read, "read", 0},
        {GatewayOutcome::Written, "written", 0},
        {GatewayOutcome::Changed, "changed", 0},
        {GatewayOutcome::Unchanged, "unchanged", 0},
        {GatewayOutcome::WouldChange, "would-change", 0},
        {GatewayOutcome::Same, "same", 0},
        {GatewayOutcome::Differs, "differs", 1},
        {GatewayOutcome::Failed, "failed", 1},
        {GatewayOutcome::Stopped, "stopped", 1},
    };
    const GatewayResult done = changed();
    for (const auto &[outcome, name, status] : cases) {
        GatewayResult other = done;
        other.outcome = outcome;
        EXPECT_EQ(outcomeName(outcome), name);
        EXPECT_EQ(exitStatus({done, other, done}), status) << name;
    }
    EXPECT_EQ(exitStatus({}), 0);
    EXPECT_EQ(progressLine(12, 50, 340), "12/50 gateways done, 340 frames sent");
}

// Lines for people and JSON lines for scripts, byte for byte; odd text is escaped, never split.
TEST(ResultText, LinesForPeopleAndJsonLines) {
    const GatewayResult failed = result({"::1", 502, ""}, GatewayCommand::Read,
                                        GatewayOutcome::Failed, 0, 0.04, "no answer\nat all");
    EXPECT_EQ(resultLine(changed()),
              "127.0.0.1:1502  changed  5/5 frames  8.1 s  Sent and verified.");
    EXPECT_EQ(resultLine(failed), "[::1]:502  failed  0/0 frames  0.0 s  no answer\\nat all");
    EXPECT_EQ(differenceLines(changed()),
              QStringList{"    Device 1, TxPDO row 3, COB-ID: gateway 0x182, file 0x183"});
    EXPECT_EQ(resultJson(changed()),
              R"({"host":"127.0.0.1","port":1502,"command":"apply","file":"plant/a.json",)"
              R"("result":"changed","frames":5,"framesTotal":5,"seconds":8.125,)"
              R"("message":"Sent and verified.","differences":[{"device":1,"table":"TxPDO",)"
              R"("row":3,"field":"COB-ID","gateway":"0x182","file":"0x183",)"
              R"("text":"Device 1, TxPDO row 3, COB-ID: gateway 0x182, file 0x183"}]})");
    GatewayResult odd = result({"::1", 2, "a \"b\"\\c\u00e9.json"}, GatewayCommand::Verify,
                               GatewayOutcome::Differs, 0, 12.0, "x\ny\t\r\x01\x7f");
    odd.differences.push_back({0, "", 0, "IP", "1.2.3.4", "1.2.3.5"});
    odd.differences.push_back({2, "Read SDO", 0, "rows", "1", "2"});
    const QString line = resultJson(odd);
    EXPECT_EQ(line, QString::fromUtf8(
                        R"({"host":"::1","port":2,"command":"verify","file":"a \"b\"\\cé.json",)"
                        R"("result":"differs","frames":0,"framesTotal":0,"seconds":12,)"
                        R"("message":"x\ny\t\r\u0001\u007f","differences":[{"device":0,"table":"",)"
                        R"("row":0,"field":"IP","gateway":"1.2.3.4","file":"1.2.3.5",)"
                        R"("text":"IP: gateway 1.2.3.4, file 1.2.3.5"},{"device":2,)"
                        R"("table":"Read SDO","row":0,"field":"rows","gateway":"1","file":"2",)"
                        R"("text":"Device 2, Read SDO, rows: gateway 1, file 2"}]})"))
        << line.toStdString();
    // The escapes are JSON's own: the text parses back as it was.
    const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
    EXPECT_EQ(object["file"].toString(), odd.target.file);
    EXPECT_EQ(object["message"].toString(), odd.message);
}

StoredDevice device(quint8 node, quint16 cobId) {
    return StoredDevice{node, 1000, {PdoEntry{cobId, 0, 1, "\x01"}}, {}, {}, {}};
}

// Two devices on one node ID: a fault the checks refuse.
StoredConfiguration faulty() {
    StoredConfiguration config;
    config.devices = {device(5, 0x181), device(5, 0x182)};
    return config;
}

// A bit rate code the windows cannot show: a download would not send it as the file says.
StoredConfiguration oddRate() {
    StoredConfiguration config = example("small.json");
    config.canBitRateCode = 9;
    return config;
}

std::string refusalOf(const std::variant<PreparedDownload, QString> &prepared) {
    const auto *refusal = std::get_if<QString>(&prepared);
    return refusal ? refusal->toStdString() : "(prepared)";
}

TEST(DownloadPreparation, EthernetRowsOnlyWithTheFlagAndOnlyMarked) {
    // marks, --ethernet: the write bytes of the #ID frame, or none
    const std::tuple<std::array<bool, 3>, bool, QByteArray, bool> cases[] = {
        {{true, false, true}, true, QByteArray("\x01\x00\x01", 3), false},
        {{false, true, false}, true, QByteArray("\x00\x01\x00", 3), false},
        {{true, true, true}, false, {}, false},
        {{false, false, false}, true, {}, true},
    };
    StoredConfiguration file = example("multi.json");
    for (const auto &[marks, ethernet, written, noted] : cases) {
        file.ethernetWrite = marks;
        const auto prepared = prepareDownload(file, {ethernet, false, 7});
        ASSERT_EQ(refusalOf(prepared), "(prepared)");
        const PreparedDownload &download = std::get<PreparedDownload>(prepared);
        const auto &frame = download.plan.ethernetFrame;
        EXPECT_EQ(frame ? frame->mid(frame::kCommandData, 3) : QByteArray(), written);
        EXPECT_EQ(frame, ethernetSettingsFrame(download.values));
        const std::array<quint8, 4> none{};
        EXPECT_EQ(download.values.ip.octets, frame && marks[0] ? file.ethernet.ip : none);
        EXPECT_EQ(download.values.unitId, 7);
        EXPECT_EQ(download.notes.contains("--ethernet sends no row: the file marks none "
                                          "(\"write\" in \"ethernet\")"),
                  noted);
        // The read-back of the file itself is what the gateway must hold afterwards.
        EXPECT_EQ(compareWithGateway(readBackOf(file), download.model, download.network),
                  Comparison(std::vector<ConfigDifference>{}));
    }
}

// The download taken by a gateway that held another address and other SYNC values: the
// read-back equals what is expected, which keeps what a download does not write.
TEST(DownloadPreparation, TheGatewayHoldsWhatIsExpectedAfterTheDownload) {
    StoredConfiguration before = example("small.json");
    before.ethernet = {{10, 0, 0, 9}, {255, 0, 0, 0}, {10, 0, 0, 1}};
    before.sync = 3;
    before.syncTime = 7;
    StoredConfiguration file = example("multi.json");
    file.ethernetWrite = {true, false, false};
    for (const bool ethernet : {false, true}) {
        const auto prepared = prepareDownload(file, {ethernet, false, 1});
        ASSERT_EQ(refusalOf(prepared), "(prepared)");
        const PreparedDownload &download = std::get<PreparedDownload>(prepared);
        WriteSession gateway(before);
        QList<QByteArray> frames{download.plan.generalFrame};
        if (download.plan.ethernetFrame)
            frames.prepend(*download.plan.ethernetFrame);
        for (const QByteArray &frame : download.plan.tableFrames)
            frames << frame;
        for (const QByteArray &frame : frames)
            gateway.take(frame);
        EXPECT_EQ(gateway.config().ethernet.ip, ethernet ? file.ethernet.ip : before.ethernet.ip);
        EXPECT_EQ(gateway.config().ethernet.mask, before.ethernet.mask);
        const ReadBackCopy held = readBackOf(gateway.config());
        const Comparison none(std::vector<ConfigDifference>{});
        EXPECT_EQ(
            compareWithGateway(held, download.model, expectedAfterDownload(download, held.network)),
            none);
        EXPECT_NE(compareWithGateway(held, download.model, download.network), none);
        // What the download writes is compared: a table that did not arrive is a difference.
        WriteSession missed(before);
        for (const QByteArray &frame : frames.mid(0, frames.size() - 1))
            missed.take(frame);
        const ReadBackCopy stale = readBackOf(missed.config());
        EXPECT_NE(compareWithGateway(stale, download.model,
                                     expectedAfterDownload(download, stale.network)),
                  none);
    }
}

TEST(DownloadPreparation, FaultsRefuseUnlessForced) {
    EXPECT_EQ(refusalOf(prepareDownload(faulty(), {})),
              "1 fault(s) a CANopen network cannot run, the first: Fault: device 2: Node ID 5 is "
              "also the node ID of device 1. Every device on the bus needs its own node ID: "
              "change it in the device's settings; fix the file or add --force");
    const auto forced = prepareDownload(faulty(), {false, true, 1});
    ASSERT_EQ(refusalOf(forced), "(prepared)");
    EXPECT_EQ(std::get<PreparedDownload>(forced).notes.size(), 1);
    EXPECT_EQ(std::get<PreparedDownload>(forced).plan.tableFrames.size(), 1U);
    // A link is information: told, never refused.
    StoredConfiguration linked;
    linked.devices = {device(1, 0x181), device(2, 0x182)};
    linked.devices[1].rxPdo = {PdoEntry{0x181, 0, 1, QByteArray(1, '\0')}};
    const auto told = prepareDownload(linked, {});
    ASSERT_EQ(refusalOf(told), "(prepared)");
    EXPECT_TRUE(std::get<PreparedDownload>(told).notes.value(0).startsWith("Information: "));
    EXPECT_EQ(refusalOf(prepareDownload(oddRate(), {false, true, 1})),
              "a download cannot send this file as it is: CAN bit rate: file code 9, sent 10 "
              "kbit/s; fix the file");
}

TEST(ConfigurationFile, EthernetMarksRoundTripAndAreNoDifference) {
    for (const QString name : {"small.json", "multi.json", "maximal.json"}) {
        QFile file(kExamples + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(formatConfiguration(example(name)), file.readAll()) << name.toStdString();
    }
    const StoredConfiguration plain = example("small.json");
    for (int bits = 0; bits < 8; ++bits) {
        StoredConfiguration marked = plain;
        marked.ethernetWrite = {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        const QByteArray json = formatConfiguration(marked);
        EXPECT_EQ(parseConfiguration(json), (std::variant<StoredConfiguration, QString>(marked)));
        EXPECT_TRUE(compareConfigurations(plain, marked).empty());
        if (bits == 5) {
            EXPECT_TRUE(
                json.contains(R"("gateway": [192, 168, 255, 4], "write": ["ip", "gateway"] },)"));
        }
    }
    const std::pair<const char *, const char *> refused[] = {
        {R"("write": ["ip", "mask", "ip"])",
         "ethernet.write[2]: \"ip\" is named twice; name each row once"},
        {R"("write": ["dns"])",
         "ethernet.write[0]: \"dns\" is no Ethernet row; name \"ip\", \"mask\" or \"gateway\""},
        {R"("write": [1])", "ethernet.write[0]: expected a string, found a number"},
        {R"("write": "ip")", "ethernet.write: expected an array, found a string"},
        {R"("writes": [])", "ethernet.writes: unknown key"},
        {R"("write": [], "write": [])",
         "line 1, column 48 (offset 47): key \"write\" appears twice"},
    };
    for (const auto &[member, message] : refused) {
        const QByteArray json = QByteArray(R"({"ethernet": {"ip": [1, 2, 3, 4], )") + member +
                                R"(}, "devices": [{"nodeId": 1}]})";
        const auto parsed = parseConfiguration(json);
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << member;
        EXPECT_TRUE(std::get<QString>(parsed).startsWith(message))
            << std::get<QString>(parsed).toStdString();
    }
}

TEST(FileCommands, DiffCheckAndMapWithTheirExitStatus) {
    QTemporaryDir dir;
    const QString small = kExamples + "small.json";
    const QString multi = kExamples + "multi.json";
    const QString fault = dir.filePath("fault.json");
    const QString odd = dir.filePath("rate.json");
    const QString missing = dir.filePath("none.json");
    ASSERT_EQ(saveConfigurationFile(faulty(), fault), std::nullopt);
    ASSERT_EQ(saveConfigurationFile(oddRate(), odd), std::nullopt);
    const QString cannotRead = missing + ": cannot read: No such file or directory\n";
    const std::pair<CommandOutput, CommandOutput> cases[] = {
        {diffFiles(small, small),
         {small + " and " + small + " hold the same configuration.\n", {}, 0}},
        {diffFiles(small, missing), {{}, cannotRead, 2}},
        {diffFiles(missing, small), {{}, cannotRead, 2}},
        {checkFile(small), {small + ": the checks found nothing to fix.\n", {}, 0}},
        {checkFile(fault),
         {"Fault: device 2: Node ID 5 is also the node ID of device 1. Every device on the bus "
          "needs its own node ID: change it in the device's settings.\n" +
              fault + ": faults a CANopen network cannot run.\n",
          {},
          1}},
        {checkFile(odd),
         {"Fault: a download cannot send this file as it is: CAN bit rate: file code 9, sent 10 "
          "kbit/s; fix the file\n" +
              odd + ": a download refuses it.\n",
          {},
          1}},
        {checkFile(missing), {{}, cannotRead, 2}},
        {mapFile(missing, {}), {{}, cannotRead, 2}},
        {mapFile(small, dir.filePath("no/such/folder.csv")),
         {{}, dir.filePath("no/such/folder.csv") + ": cannot write", 2}},
    };
    for (const auto &[found, expected] : cases) {
        EXPECT_EQ(found.out, expected.out);
        EXPECT_EQ(found.err.left(expected.err.size()), expected.err);
        EXPECT_EQ(found.exitCode, expected.exitCode) << found.err.toStdString();
    }
    const CommandOutput differ = diffFiles(small, multi);
    EXPECT_EQ(differ.exitCode, 1);
    EXPECT_TRUE(differ.out.startsWith("IP: first 192.168.255.3, second 192.168.1.20\n"));
    EXPECT_TRUE(
        differ.out.endsWith(QStringLiteral("%1 difference(s) between %2 (first) and %3 (second).\n")
                                .arg(differ.out.count(u'\n') - 1)
                                .arg(small, multi)));
    // The map on stdout and in a file are the same bytes.
    const CommandOutput shown = mapFile(small, {});
    EXPECT_TRUE(shown.out.startsWith("Area,Row address,"));
    EXPECT_EQ(shown.out.count("\r\n"), 7);
    const QString csv = dir.filePath("map.csv");
    EXPECT_EQ(mapFile(small, csv).exitCode, 0);
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), shown.out.toUtf8());
}

} // namespace
} // namespace tolvar
