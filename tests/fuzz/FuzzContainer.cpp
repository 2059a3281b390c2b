// Feeds the firmware container reader arbitrary bytes. It must either refuse them
// with FirmwareError or return lines that are valid wire-form lines and that,
// written back, give the input up to its ignored tail.
#include "flash/FirmwareImage.h"
#include "flash/LineCodec.h"

#include <QtEndian>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray container(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    LineRecords lines;
    try {
        lines = unpackFirmware(container);
    } catch (const FirmwareError &error) {
        if (error.message().isEmpty())
            abort();
        return 0;
    }
    if (lines.size() < 2) {
        fprintf(stderr, "accepted a container of %lld lines\n", static_cast<long long>(lines.size()));
        abort();
    }
    QByteArray rebuilt(4, '\0');
    qToLittleEndian<qint32>(static_cast<qint32>(lines.size() - 1), rebuilt.data());
    for (const QByteArray &line : lines) {
        if (!LineCodec::decodeLine(line).ok)
            abort();
        char length[4];
        qToLittleEndian<qint32>(static_cast<qint32>(line.size()), length);
        rebuilt.append(length, 4);
        rebuilt.append(line);
    }
    if (!container.startsWith(rebuilt)) {
        fprintf(stderr, "lines differ from the bytes they came from\n");
        abort();
    }
    return 0;
}
