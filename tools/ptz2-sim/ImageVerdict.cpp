#include "ImageVerdict.h"

#include "LineCheck.h"

#include <algorithm>

ImageVerdict ImageVerdict::compare(const QByteArray &received, const QByteArray &expected)
{
    constexpr int kLine = LineCheck::kImageBytesPerLine;
    ImageVerdict verdict;
    verdict.receivedLines = static_cast<int>(received.size() / kLine);
    verdict.expectedLines = static_cast<int>(expected.size() / kLine);
    const int common = std::min(verdict.receivedLines, verdict.expectedLines);
    for (int line = 0; line < common; ++line) {
        if (received.mid(qsizetype(line) * kLine, kLine) != expected.mid(qsizetype(line) * kLine, kLine)) {
            verdict.kind = Kind::Mismatch;
            verdict.line = line;
            return verdict;
        }
    }
    if (verdict.receivedLines > verdict.expectedLines) {
        verdict.kind = Kind::Mismatch;   // the first line beyond the expected image
        verdict.line = verdict.expectedLines;
    } else if (verdict.receivedLines < verdict.expectedLines) {
        verdict.kind = Kind::Incomplete;
    } else {
        verdict.kind = Kind::Match;
    }
    return verdict;
}

QString ImageVerdict::text() const
{
    switch (kind) {
    case Kind::Match:
        return QStringLiteral("match");
    case Kind::Mismatch:
        return QStringLiteral("MISMATCH at line %1").arg(line);
    case Kind::Incomplete:
        return QStringLiteral("incomplete %1 of %2 lines").arg(receivedLines).arg(expectedLines);
    case Kind::NotChecked:
        break;
    }
    return QStringLiteral("not checked");
}
