#pragma once

#include "flash/LineCodec.h"

#include <QByteArray>

// 64 image bytes that differ with the seed, with every value that needs an escape on the
// wire among them (STX, EOT, DEL).
inline QByteArray imageLine(int seed)
{
    QByteArray line;
    for (int i = 0; i < LineCodec::kImageBytes; ++i)
        line.append(static_cast<char>((seed * 53 + i * 29) & 0xFF));
    line[5] = 0x02;
    line[9] = 0x04;
    line[33] = 0x7F;
    return line;
}
