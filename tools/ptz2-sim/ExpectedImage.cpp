#include "ExpectedImage.h"

#include "flash/FirmwareImage.h"
#include "flash/LineCodec.h"

#include <QFile>

ExpectedImage ExpectedImage::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ExpectedImage failed;
        failed.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return failed;
    }
    ExpectedImage loaded = fromBytes(file.readAll());
    if (!loaded.error.isEmpty())
        loaded.error = QStringLiteral("%1: %2").arg(path, loaded.error);
    return loaded;
}

ExpectedImage ExpectedImage::fromBytes(const QByteArray &bytes)
{
    ExpectedImage expected;
    try {
        const LineRecords records = unpackFirmware(bytes);
        for (const QByteArray &record : records)
            expected.image.append(LineCodec::decodeLine(record).logical.left(LineCodec::kImageBytes));
        expected.description = QStringLiteral("firmware container, %1 lines").arg(records.size());
        return expected;
    } catch (const FirmwareError &notContainer) {
        // A raw image is the only other form; its lines are plain 64-byte slices.
        if (!bytes.isEmpty() && bytes.size() % LineCodec::kImageBytes == 0) {
            expected.image = bytes;
            expected.description =
                QStringLiteral("raw image, %1 lines").arg(bytes.size() / LineCodec::kImageBytes);
            return expected;
        }
        expected.error = QStringLiteral("neither a firmware container (%1) nor a raw image (%2 bytes, not a "
                                        "non-zero multiple of %3)")
                             .arg(notContainer.message())
                             .arg(bytes.size())
                             .arg(LineCodec::kImageBytes);
        return expected;
    }
}
