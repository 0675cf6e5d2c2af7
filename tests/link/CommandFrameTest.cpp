#include "link/CommandFrame.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

TEST(CommandFrame, ReadFramesAreByteExact) {
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadParams, 1),
              hex("0102000000060110000000020423504400"));
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadGeneral, 1),
              hex("0102000000060110000000020423474400"));
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadTables, 1),
              hex("0102000000060110000000020423484400"));
    EXPECT_EQ(readCommandFrame(ReadCommand::ReadTables, 7),
              hex("0102000000060710000000020423484400"));
}

TEST(CommandFrame, WriteFramesGiveTheirOwnLengthAndCounts) {
    const QByteArray ethernet = CommandFrame{1, 'I', 15, 30, 31}.encode();
    EXPECT_EQ(ethernet.size(), 31);
    EXPECT_EQ(ethernet.left(16), hex("01020000000601100000000f1e234944"));
    const QByteArray table = CommandFrame::withRegisters(3, 'S', 127).encode();
    EXPECT_EQ(table.size(), 267);
    EXPECT_EQ(table.left(16), hex("01020000000603100000007ffe235344"));
}

} // namespace
} // namespace tolvar
