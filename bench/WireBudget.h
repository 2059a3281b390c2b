#pragma once

#include "flash/LineRecords.h"

// What the line transfer must put on an 8N1 line, and the least time that takes: each
// line frame is STX "ckw", the stored line and EOT; each acknowledgement STX "lvr" EOT.
struct WireBudget {
    static constexpr int kFrameHeadBytes = 4;
    static constexpr int kFrameTailBytes = 1;
    static constexpr int kAcknowledgementBytes = 5;
    static constexpr int kBitsPerByte = 10;

    qint64 lines = 0;
    qint64 bytesOut = 0;
    qint64 bytesBack = 0;

    static WireBudget forLines(const LineRecords &lines);

    double secondsAt(int baud) const { return double(bytesOut + bytesBack) * kBitsPerByte / baud; }
};
