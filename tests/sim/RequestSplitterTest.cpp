#include "RequestSplitter.h"

#include "DownloadFrames.h"

#include <gtest/gtest.h>

using namespace tolvar;
using tolvar::test::readFrame;

namespace {

QList<QByteArray> piecesOf(const QByteArray &bytes, int size) {
    QList<QByteArray> pieces;
    for (int i = 0; i < bytes.size(); i += size) {
        pieces.append(bytes.mid(i, size));
    }
    return pieces;
}

TEST(RequestSplitterTest, CutsTheStreamIntoBlocks) {
    const QByteArray pd = readFrame('P');
    const QByteArray gd = readFrame('G');
    const QByteArray hd = readFrame('H');
    // #ID frames are 31 bytes although their byte count (30) says 43.
    const QByteArray id = CommandFrame{1, 'I', 15, 30, 31}.encode();
    // #RD frames are 23*N + 30 bytes with N at offset 16; here N = 10.
    QByteArray rd = CommandFrame{1, 'R', 124, 248, 260}.encode();
    rd[16] = 10;
    const QByteArray garbage("GET / HTTP/1.0\r\n\r\n");
    const struct {
        const char *name;
        QList<QByteArray> pieces; // fed in this order
        QList<ReceivedFrame> blocks;
        QByteArray pending;
    } cases[] = {
        {"pieces across borders",
         piecesOf(pd + hd + gd, 5),
         {{"#PD", pd}, {"#HD", hd}, {"#GD", gd}},
         {}},
        {"incomplete frame waits", {pd + gd.left(16)}, {{"#PD", pd}}, gd.left(16)},
        {"#ID is 31 bytes", {id + pd}, {{"#ID", id}, {"#PD", pd}}, {}},
        {"#RD length from N", piecesOf(rd + pd, 7), {{"#RD", rd}, {"#PD", pd}}, {}},
        {"garbage takes all buffered bytes", {garbage + pd}, {{"unknown", garbage + pd}}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RequestSplitter splitter;
        QList<ReceivedFrame> blocks;
        for (const QByteArray &piece : c.pieces) {
            blocks += splitter.feed(piece);
        }
        EXPECT_EQ(blocks, c.blocks);
        EXPECT_EQ(splitter.pending(), c.pending);
    }
}

} // namespace
