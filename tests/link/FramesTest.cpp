#include "link/Frames.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

TEST(Frames, EveryFixedFrameIsByteForByteTheTable)
{
    EXPECT_EQ(frameFor(Command::QGt), hex("0251477404"));
    EXPECT_EQ(frameFor(Command::ckkV), hex("02636b6b5604"));
    EXPECT_EQ(frameFor(Command::cki0n), hex("02636b69306e04"));
    EXPECT_EQ(frameFor(Command::ckb0), hex("02636b623004"));
    EXPECT_EQ(frameFor(Command::ckl0), hex("02636b6c3004"));
    EXPECT_EQ(frameFor(Command::ckz0m), hex("02636b7a306d04"));
    EXPECT_EQ(frameFor(Command::cDd0k3), hex("02634464306b3304"));
    EXPECT_EQ(frameFor(Command::cDr0k), hex("02634472306b04"));
    EXPECT_EQ(frameFor(Command::ckk), hex("02636b6b04"));
    EXPECT_EQ(frameFor(Command::ckd0F2), hex("02636b6430f204"));
    EXPECT_EQ(lineFrameHead(), hex("02636b77"));
    EXPECT_EQ(lineFrameTail(), hex("04"));
}

} // namespace
