#include "flash/FirmwareVersion.h"

#include "flash/ImageError.h"
#include "flash/ImagePacking.h"

#include <cctype>

namespace FirmwareVersion {

using CameraVersion::kMarker;
using CameraVersion::kReference;

Text find(const QByteArray &image)
{
    Text found;
    const qsizetype marker = image.indexOf(kMarker);
    if (marker < 0)
        return found;
    qsizetype end = marker + qsizetype(sizeof kMarker - 1);
    while (end < image.size() && (std::isdigit(static_cast<unsigned char>(image.at(end))) || image.at(end) == '.'))
        ++end;
    found.text = image.mid(marker, end - marker);
    found.offset = marker;
    return found;
}

void requireReference(const LineRecords &lines)
{
    const QByteArray wanted = CameraVersion::referenceText();
    const Text found = find(ImagePacking::imageFromLines(lines));
    if (found.offset < 0)
        throw ImageError(QStringLiteral("the image carries no version text (\"%1\" and a version), this wizard flashes %2")
                             .arg(QLatin1String(kMarker).trimmed(), QLatin1String(kReference)));
    if (found.text != wanted)
        throw ImageError(QStringLiteral("version text \"%1\", this wizard flashes %2")
                             .arg(QString::fromLatin1(found.text), QLatin1String(kReference)));
}

} // namespace FirmwareVersion
