#include "gateway/WriteSession.h"

#include "DownloadFrames.h"
#include "SimConsole.h"

#include <gtest/gtest.h>

using namespace tolvar;
using namespace tolvar::test;

namespace {

using Kind = WriteEvent::Kind;
using Texts = std::vector<std::string>;

// The gateway before a download, with SYNC settings of its own.
const StoredConfiguration kBefore{.sync = 5, .syncTime = 9};

// The lines the simulator prints for the events of `frames`, or only the texts of one kind. An
// empty frame stands for the client's disconnect.
Texts feed(WriteSession &session, const QList<QByteArray> &frames,
           std::optional<Kind> only = std::nullopt) {
    QList<WriteEvent> events;
    for (const QByteArray &frame : frames) {
        events += frame.isEmpty() ? session.end() : session.take(frame);
    }
    Texts texts;
    for (const WriteEvent &event : events) {
        if (!only || event.kind == *only) {
            texts.push_back((only ? event.text : writeEventLine(event)).toStdString());
        }
    }
    return texts;
}

QByteArray with(QByteArray frame, int offset, char value) {
    frame[offset] = value;
    return frame;
}

// #ID takes the octets whose flag is 1; the SYNC value and time stay the gateway's own.
TEST(WriteSessionTest, CompleteDownloadIsServedWithTheGatewaysOwnSync) {
    const EthernetReply sent{{192, 168, 255, 9}, {255, 0, 0, 0}, {192, 168, 255, 8}};
    const EthernetReply own = kBefore.ethernet;
    // multi.json pads its odd stream; maximal.json takes 203 #SD frames.
    const std::tuple<const char *, std::array<quint8, 3>, EthernetReply> cases[] = {
        {"small.json", {0, 0, 0}, own},
        {"multi.json", {1, 0, 1}, {sent.ip, own.mask, sent.gateway}},
        {"maximal.json", {0, 1, 0}, {own.ip, sent.mask, own.gateway}}};
    for (const auto &[name, flags, served] : cases) {
        SCOPED_TRACE(name + testing::PrintToString(flags));
        const StoredConfiguration config = example(name);
        WriteSession session(kBefore);
        const QList<QByteArray> frames = downloadFrames(config);
        const Texts lines = feed(session, QList{ethernetFrame(sent, flags)} + frames);
        StoredConfiguration expected = config;
        expected.ethernet = served;
        std::tie(expected.sync, expected.syncTime) = std::pair(kBefore.sync, kBefore.syncTime);
        EXPECT_EQ(session.config(), expected);
        EXPECT_EQ(lines.back().rfind("download complete: ", 0), 0u) << lines.back();
        EXPECT_EQ(lines.size(), 2 + frames.size()); // no warning, no refusal
    }
}

// A download of one device whose table stream is `hex`.
QList<QByteArray> streamOf(const QByteArray &hex) {
    const QList<QByteArray> tables = tableFrames(QByteArray::fromHex(hex));
    return QList{settingsFrame(StoredConfiguration{}, int(tables.size()))} + tables;
}

// A refused download is dropped whole, with its reason, and the configuration stays.
TEST(WriteSessionTest, RefusesWholeWithItsReasonAndKeepsTheConfiguration) {
    const QList<QByteArray> two = downloadFrames(example("maximal.json")); // #RD, #SD 9, ...
    const QList<QByteArray> one = downloadFrames(StoredConfiguration{});   // a 5-byte stream
    const QByteArray id = ethernetFrame({{192, 168, 255, 4}, {}, {}}, {1, 0, 0});
    StoredConfiguration eleven;
    eleven.devices.resize(11);
    const struct {
        const char *name;
        QList<QByteArray> frames;
        Texts reasons;
    } cases[] = {
        // clang-format off
        {"WrongSequence", {two[0], two[1], with(two[2], 16, 12)}, {"#SD frame with sequence byte 12 where 10 was expected"}},
        {"MissingBeforeNextRD", {id, two[0], two[1], two[0]}, {"#RD frame where #SD frame 2 of 203 was expected"}},
        {"ShortEthernetMidway", {two[0], id.chopped(1)}, {"#ID frame where #SD frame 1 of 203 was expected", "#ID frame of 30 bytes; 31 expected"}},
        {"StreamEndsEarly", streamOf("01 00 00 00"), {"the device table stream of 4 bytes ends before the tables of its 1 device(s) do"}},
        {"DisconnectMidway", {id, two[0], two[1], {}}, {"the client disconnected while #SD frame 2 of 203 was expected"}},
        {"NoSDAnnounced", {with(two[0], 22, 0)}, {"#RD announces no #SD frame"}},
        {"ShortFirstPiece", {with(one[0], 22, 2), one[1]}, {"#SD frame 1 of 2 carries 6 stream bytes; 250 expected"}},
        {"RDLength", {two[0].chopped(2)}, {"#RD frame of 258 bytes; 260 expected for 10 devices"}},
        {"ElevenDevices", {settingsFrame(eleven, 1)}, {"#RD lists 11 devices; 1 to 10 expected"}},
        {"EthernetFlag2", {with(id, 17, 2)}, {"#ID flag at offset 17 is 2; 0 or 1 expected"}},
        {"ParserRefuses", streamOf("05 01 8101 00 09"), {"the device table stream does not parse: device 1 has a TxPDO entry with 9 data bytes; at most 8 fit"}},
        {"PaddingNotZero", streamOf("01 00 00 00 00 07"), {"the device table stream ends after 5 bytes; 1 byte(s) are left over"}},
        {"AreaCode7", streamOf("05 01 8101 00 01 07 00 00 00"),
         {"the gateway cannot store the written tables: devices[0].txPdo[0].areas[0]: code 7; codes are 0..3"}},
        {"WordPastDataLength", streamOf("05 01 8101 00 01 02 02 00 00 00"),
         {"device 1 has a TxPDO entry (row 1) whose word runs past its data length 1"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WriteSession session(kBefore);
        EXPECT_EQ(feed(session, c.frames, Kind::Refused), c.reasons);
        EXPECT_EQ(session.config(), kBefore);
    }
}

} // namespace
