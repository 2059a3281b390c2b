#include "bench/WireBudget.h"

WireBudget WireBudget::forLines(const LineRecords &lines)
{
    WireBudget budget;
    budget.lines = lines.size();
    for (const QByteArray &line : lines)
        budget.bytesOut += kFrameHeadBytes + line.size() + kFrameTailBytes;
    budget.bytesBack = budget.lines * kAcknowledgementBytes;
    return budget;
}
