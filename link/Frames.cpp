#include "link/Frames.h"

#include <array>
#include <utility>

namespace {

struct FrameRow {
    Command command;
    const char *bytes;   // command bytes without STX and EOT
};

// The frame table. "\xF2" is the single byte 0xF2 that follows "ckd0".
constexpr std::array<FrameRow, 10> kFrames{{
    {Command::QGt, "QGt"},
    {Command::ckkV, "ckkV"},
    {Command::cki0n, "cki0n"},
    {Command::ckb0, "ckb0"},
    {Command::ckl0, "ckl0"},
    {Command::ckz0m, "ckz0m"},
    {Command::cDd0k3, "cDd0k3"},
    {Command::cDr0k, "cDr0k"},
    {Command::ckk, "ckk"},
    {Command::ckd0F2, "ckd0\xF2"},
}};

} // namespace

QByteArray commandBytes(Command command)
{
    for (const FrameRow &row : kFrames) {
        if (row.command == command)
            return QByteArray(row.bytes);
    }
    return {};
}

QByteArray frameFor(Command command)
{
    QByteArray frame;
    frame.append(Frame::STX);
    frame.append(commandBytes(command));
    frame.append(Frame::EOT);
    return frame;
}

QByteArray lineFrameHead()
{
    return QByteArray("\x02" "ckw", 4);
}

QByteArray lineFrameTail()
{
    return QByteArray(1, Frame::EOT);
}
