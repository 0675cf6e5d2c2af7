#include "RequestSplitter.h"

#include "link/CommandFrame.h"

#include <gtest/gtest.h>

#include <QList>

using namespace tolvar;

namespace {

QByteArray readFrame(char letter) {
    return readCommandFrame(static_cast<ReadCommand>(letter), 1);
}

// The Ethernet settings frame: 31 bytes although its byte count (30) says 43.
QByteArray ethernetSettingsFrame() {
    QByteArray bytes = CommandFrame{1, 'I', 15, 30, 31}.encode();
    bytes[30] = 0x5A;
    return bytes;
}

// The general settings frame for N devices: 23*N + 30 bytes, N at offset 16.
QByteArray generalSettingsFrame(quint8 devices) {
    const int length = 23 * devices + 30;
    const auto registers = static_cast<quint16>((23 * devices + 16) / 2 + 1);
    QByteArray bytes =
        CommandFrame{1, 'R', registers, static_cast<quint8>(2 * registers), length}.encode();
    bytes[16] = static_cast<char>(devices);
    return bytes;
}

// A full table frame: 267 bytes, byte count 254.
QByteArray tableFrame() {
    QByteArray bytes = CommandFrame{1, 'S', 127, 254, 267}.encode();
    for (int i = 17; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i);
    }
    return bytes;
}

const QByteArray kGarbage("GET / HTTP/1.0\r\n\r\n");

QList<QByteArray> piecesOf(const QByteArray &bytes, int size) {
    QList<QByteArray> pieces;
    for (int i = 0; i < bytes.size(); i += size) {
        pieces.append(bytes.mid(i, size));
    }
    return pieces;
}

struct SplitCase {
    const char *name;
    QList<QByteArray> pieces; // fed in this order
    QList<ReceivedFrame> blocks;
    QByteArray pending;
};

void PrintTo(const SplitCase &c, std::ostream *os) {
    *os << c.name;
}

std::vector<SplitCase> splitCases() {
    const QByteArray pd = readFrame('P');
    const QByteArray gd = readFrame('G');
    const QByteArray hd = readFrame('H');
    const QByteArray id = ethernetSettingsFrame();
    const QByteArray rd2 = generalSettingsFrame(2);
    const QByteArray rd10 = generalSettingsFrame(10);
    const QByteArray sd = tableFrame();
    QByteArray unknownCommand = CommandFrame::withRegisters(1, 'X', 3).encode();
    QByteArray shortCount = readFrame('P');
    shortCount[12] = 0;
    return {
        {"one read frame", {pd}, {{"#PD", pd}}, {}},
        {"three frames glued", {pd + gd + hd}, {{"#PD", pd}, {"#GD", gd}, {"#HD", hd}}, {}},
        {"frame byte by byte", piecesOf(pd, 1), {{"#PD", pd}}, {}},
        {"frames cut across their borders",
         piecesOf(pd + hd + gd, 5),
         {{"#PD", pd}, {"#HD", hd}, {"#GD", gd}},
         {}},
        {"incomplete frame waits", {pd + gd.left(16)}, {{"#PD", pd}}, gd.left(16)},
        {"header not yet complete", {pd.left(15)}, {}, pd.left(15)},
        {"#ID is 31 bytes", {id + pd}, {{"#ID", id}, {"#PD", pd}}, {}},
        {"#RD length from N=2", {rd2 + pd}, {{"#RD", rd2}, {"#PD", pd}}, {}},
        {"#RD length from N=10", piecesOf(rd10 + pd, 7), {{"#RD", rd10}, {"#PD", pd}}, {}},
        {"#RD waits for N", {rd2.left(16)}, {}, rd2.left(16)},
        {"#SD by byte count", {sd + pd}, {{"#SD", sd}, {"#PD", pd}}, {}},
        {"other command by byte count",
         {unknownCommand + pd},
         {{"unknown", unknownCommand}, {"#PD", pd}},
         {}},
        // The 16-byte header is taken; the byte left over breaks the next frame's header.
        {"byte count below the header",
         {shortCount + pd},
         {{"#PD", shortCount.left(16)}, {"unknown", shortCount.mid(16) + pd}},
         {}},
        {"garbage takes all buffered bytes", {kGarbage + pd}, {{"unknown", kGarbage + pd}}, {}},
        {"wrong function code",
         {pd.left(7) + "\x03" + pd.mid(8)},
         {{"unknown", pd.left(7) + "\x03" + pd.mid(8)}},
         {}},
        {"no command mark",
         {pd.left(13) + QByteArray("$PD\0", 4)},
         {{"unknown", pd.left(13) + QByteArray("$PD\0", 4)}},
         {}},
        {"garbage after a frame", {pd + kGarbage}, {{"#PD", pd}, {"unknown", kGarbage}}, {}},
        {"frame after garbage was dropped",
         {kGarbage, pd},
         {{"unknown", kGarbage}, {"#PD", pd}},
         {}},
    };
}

class RequestSplitterTest : public testing::TestWithParam<SplitCase> {};

TEST_P(RequestSplitterTest, CutsTheStreamIntoBlocks) {
    RequestSplitter splitter;
    QList<ReceivedFrame> blocks;
    for (const QByteArray &piece : GetParam().pieces) {
        blocks += splitter.feed(piece);
    }
    EXPECT_EQ(blocks, GetParam().blocks);
    EXPECT_EQ(splitter.pending(), GetParam().pending);
}

INSTANTIATE_TEST_SUITE_P(Streams, RequestSplitterTest, testing::ValuesIn(splitCases()));

TEST(RequestSplitterPendingTest, TakingThePendingBytesStartsAfresh) {
    RequestSplitter splitter;
    const QByteArray pd = readFrame('P');
    EXPECT_TRUE(splitter.feed(pd.left(10)).isEmpty());
    EXPECT_EQ(splitter.takePending(), pd.left(10));
    EXPECT_EQ(splitter.feed(pd), (QList<ReceivedFrame>{{"#PD", pd}}));
}

} // namespace
