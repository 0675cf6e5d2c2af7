#include "link/CommandFrame.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

const auto hex = &QByteArray::fromHex;

// Whole frames: write commands give their own length and counts and are zero after the header.
TEST(CommandFrame, FramesAreByteExact) {
    const std::vector<std::pair<QByteArray, QByteArray>> cases{
        {readCommandFrame(ReadCommand::ReadParams, 1), hex("0102000000060110000000020423504400")},
        {readCommandFrame(ReadCommand::ReadGeneral, 1), hex("0102000000060110000000020423474400")},
        {readCommandFrame(ReadCommand::ReadTables, 7), hex("0102000000060710000000020423484400")},
        {CommandFrame{1, 'I', 15, 30, 31}.encode(),
         hex("01020000000601100000000f1e234944") + QByteArray(15, '\0')},
        {CommandFrame::withRegisters(3, 'S', 127).encode(),
         hex("01020000000603100000007ffe235344") + QByteArray(251, '\0')}};
    for (const auto &[frame, expected] : cases)
        EXPECT_EQ(frame.toHex(), expected.toHex());
}

} // namespace
} // namespace tolvar
