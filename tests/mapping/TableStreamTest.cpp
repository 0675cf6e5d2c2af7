#include "mapping/TableStream.h"
#include "MappingFixtures.h"
#include "SimConfig.h"
#include "link/ReadBackModel.h"
#include "link/ReplyEncoder.h"
#include "mapping/CellNumber.h"
#include "model/NumericText.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using fixtures::addRow;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

TEST(AreaCode, TakesTheFirstFourCharacters) {
    const std::vector<std::pair<const char16_t *, int>> cases{
        {u"P_DO 1", 0},  {u"S_DO 3", 0},  {u"P_DI 1", 1},  {u"S_DI 2", 1},  {u"P_AIL 1", 2},
        {u"P_AIH 1", 2}, {u"S_AIH 4", 2}, {u"P_AOL 1", 3}, {u"S_AOH 9", 3}, {u"", 0},
        {u"S_A", 0},     {u"X_DI 1", 0},  {u"P-AI 1", 0},  {u"P_XO", 0},    {u"S_AO", 3}};
    for (const auto &[tag, code] : cases)
        EXPECT_EQ(AreaCode(tag), code) << QString::fromUtf16(tag).toStdString();
    EXPECT_EQ(TagPrefix(u"P_AIL 1"), QStringLiteral("P_AI"));
    EXPECT_EQ(TagPrefix(u"S_"), QString::fromUtf16(u"S_\0\0", 4));
    EXPECT_EQ(TagPrefix(u""), QString(4, QChar(u'\0')));
}

TEST(CellNumber, ReadsAsReadWholeNumberDoes) {
    for (const char16_t *text : {u"",
                                 u"0",
                                 u"385",
                                 u"12a",
                                 u"2.5",
                                 u"3.5",
                                 u"1e3",
                                 u"12e",
                                 u" 7",
                                 u"-4",
                                 u"&H181",
                                 u"&h1a",
                                 u"&HA001",
                                 u"&H",
                                 u"&HFFG",
                                 u"&HFFFFFFFFFFFFF",
                                 u"&H1FFFFFFFFFFFFF",
                                 u"99999999999999999",
                                 u"Yes",
                                 u"1d2"})
        EXPECT_EQ(cellNumber(text), readWholeNumber(text))
            << QString::fromUtf16(text).toStdString();
}

struct EntryCase {
    SourceTable table;
    QStringList cells;
    const char *entry;
};

// One device, node 5, one entry in one table: the entry sits between the row counts.
TEST(TableStream, EncodesEachEntryKind) {
    using enum SourceTable;
    const std::vector<EntryCase> cases{
        {TxPDO, {"&H181", "1", "2", "P_DI 1", "P_AIL 1"}, "81010102 0102"},
        {TxPDO, {"&H181", "0", "3", "P_AIL 1", "P_AIH 1", "", "P_DI 9"}, "81010003 020200"},
        {TxPDO, {"385", "", "0", "P_DI 1"}, "81010000"},
        {RxPDO, {"No", "&H201", "1", "P_DO 4"}, "01020001 00"},
        {RxPDO, {"Yes", "&H201", "1", "P_DO 4"}, "01020101 00"},
        {RxPDO, {"", "&H7FF", "2", "P_AOL 1", "P_AOH 1"}, "ff070002 0303"},
        {ReadSDO, {"&H6000", "&H01", "S_AIL 1", "S_AIH 1"}, "00600102 02"},
        {ReadSDO, {"&H6000", "&H01", "S_DI 7"}, "00600101"},
        {WriteSDO, {"&HA001", "&H010", "S_AOL 2", "S_AOH 2"}, "01a01003 03"},
        {WriteSDO, {"&H6200", "&H0", "S_AIL 1", "S_AIH 1"}, "00620002"},
        {WriteSDO, {"&H6200", "&H02", ""}, "00620200"}};
    for (const EntryCase &c : cases) {
        SCOPED_TRACE(c.entry);
        GatewayConfig config = fixtures::listing({1});
        config.NodeID[0] = 5;
        addRow(config, c.table, 1, c.cells);
        QByteArray expected = hex("0500000000");
        expected[1 + int(c.table)] = 1;
        expected.insert(2 + int(c.table), hex(c.entry));
        EXPECT_EQ(buildTableStream(config, 1).toHex(' '), expected.toHex(' '));
        EXPECT_EQ(TableStreamLength(config, 1), expected.size());
    }
}

// Devices go in list order; the bytes are what the simulator serves for the same tables, and
// reading those back gives a model whose stream is the same again.
TEST(TableStream, EqualsTheTableReplyContents) {
    GatewayConfig config = fixtures::listing({2, 1});
    addRow(config, SourceTable::TxPDO, 2, {"&H182", "0", "2", "P_AIL 1", "P_AIH 1"});
    addRow(config, SourceTable::ReadSDO, 2, {"&H6001", "&H03", "S_DI 1"});
    addRow(config, SourceTable::RxPDO, 1, {"Yes", "&H201", "1", "P_DO 1"});
    addRow(config, SourceTable::WriteSDO, 1, {"&H6200", "&H01", "S_AOL 1", "S_AOH 1"});
    const QByteArray stream = hex("10 01 8201000202 02 00 01 01600301 00"
                                  "11 00 01 0102010100 00 01 0062010303");
    EXPECT_EQ(buildTableStream(config, 2).toHex(' '), stream.toHex(' '));
    EXPECT_EQ(TableStreamLength(config, 2), stream.size());
    EXPECT_EQ(buildTableStream(config, 1), stream.left(15)) << "only the listed positions";

    SimConfig served;
    served.devices = {SimDevice{0x10,
                                1000,
                                {PdoEntry{0x182, 0, 2, hex("0202")}},
                                {},
                                {SdoEntry{0x6001, 3, 1, false}},
                                {}},
                      SimDevice{0x11,
                                1000,
                                {},
                                {PdoEntry{0x201, 1, 1, hex("00")}},
                                {},
                                {SdoEntry{0x6200, 1, 3, true}}}};
    const TableReply reply = tableReplyOf(served);
    EXPECT_EQ(encodeReply(reply).mid(reply::kContents), stream);

    GatewayConfig readBack = fixtures::listing({2, 1});
    ReadBackCounters counters;
    applyTableReply(readBack, counters, reply);
    EXPECT_EQ(buildTableStream(readBack, 2), stream);
}

struct FramingCase {
    int streamLength;
    int frames;
    int lastLength;
    int lastRegisters;
};

TEST(TableFrames, CutTheStreamInto250BytePieces) {
    const std::vector<FramingCase> cases{
        {0, 1, 17, 2},   {5, 1, 23, 5},   {249, 1, 267, 127}, {250, 2, 17, 2},
        {251, 2, 19, 3}, {252, 2, 19, 3}, {499, 2, 267, 127}, {51050, 205, 67, 27}};
    for (const FramingCase &c : cases) {
        SCOPED_TRACE(c.streamLength);
        QByteArray stream(c.streamLength, '\0');
        for (int i = 0; i < c.streamLength; ++i)
            stream[i] = char(i % 251 + 1);
        const std::vector<QByteArray> frames = tableFrames(stream, 7);
        ASSERT_EQ(int(frames.size()), c.frames);
        EXPECT_EQ(tableFrameCount(c.streamLength), c.frames);
        QByteArray carried;
        for (int i = 0; i < c.frames; ++i) {
            const QByteArray &frame = frames[std::size_t(i)];
            const bool last = i == c.frames - 1;
            const int registers = last ? c.lastRegisters : 127;
            ASSERT_EQ(frame.size(), last ? c.lastLength : 267);
            EXPECT_EQ(frame.left(16), hex("01020000000607100000") + char(0) + char(registers) +
                                          char(2 * registers) + "#SD");
            EXPECT_EQ(quint8(frame[16]), 9 + i);
            carried += frame.mid(17, std::min(250, c.streamLength - 250 * i));
        }
        EXPECT_EQ(carried, stream);
        if ((c.streamLength % 250) % 2 == 1) {
            EXPECT_EQ(frames.back().back(), '\0') << "padding byte";
        }
    }
}

TEST(TableFrames, OneDeviceWithoutEntries) {
    GatewayConfig config = fixtures::listing({1});
    config.NodeID[0] = 5;
    const auto frames = tableFrames(buildTableStream(config, 1), 1);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].toHex(' '),
              hex("0102000000060110000000050a23534409 0500000000 00").toHex(' '));
}

TEST(TableFrames, LargestConfiguration) {
    const GatewayConfig config = fixtures::largestConfiguration();
    EXPECT_EQ(TableStreamLength(config, kMaxDevices), 51050);
    const auto frames = tableFrames(buildTableStream(config, kMaxDevices), 1);
    ASSERT_EQ(frames.size(), 205u);
    EXPECT_EQ(quint8(frames.back()[16]), 213);
}

} // namespace
} // namespace tolvar
