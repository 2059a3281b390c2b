#include "flash/FirmwareInput.h"

#include "flash/FirmwareImage.h"
#include "flash/ImageError.h"
#include "flash/ImagePacking.h"
#include "flash/IntelHexReader.h"
#include "flash/PeImage.h"
#include "flash/PeResourceReader.h"

#include <QtEndian>

namespace {

constexpr qint32 kLowestContainerCount = -65536;
constexpr qint32 kHighestContainerCount = 65535;

const QString kGuessedContainerHint =
    QStringLiteral(" (read as a container because of its first four bytes; if the file is a raw image, "
                   "fwimage --format=raw reads it as one, -DREVERTEX_FIRMWARE_FORMAT=raw for the build)");

struct FormatName {
    FirmwareInput::Format format;
    const char *name;
    const char *description;
};

constexpr FormatName kFormatNames[] = {
    {FirmwareInput::Format::Auto, "auto", "a firmware file"},
    {FirmwareInput::Format::Container, "container", "a firmware container"},
    {FirmwareInput::Format::RawImage, "raw", "a raw MCS-51 image"},
    {FirmwareInput::Format::IntelHex, "hex", "an Intel HEX file"},
    {FirmwareInput::Format::Exe, "exe", "a Windows program"},
};

// A file taken for a raw image that will not pack but starts like a Windows program
// was most likely meant as one: say what is wrong with it as a program too.
[[noreturn]] void refuseAsImageOrProgram(const ImageError &asImage, const QByteArray &data)
{
    if (!data.startsWith("MZ"))
        throw asImage;
    try {
        PeImage program(data);
    } catch (const ImageError &asProgram) {
        throw ImageError(asImage.message() + QStringLiteral("; it starts with \"MZ\" like a ") + asProgram.message());
    }
    throw asImage;
}

} // namespace

bool FirmwareInput::parseFormat(const QString &name, Format *format)
{
    for (const FormatName &entry : kFormatNames) {
        if (name == QLatin1String(entry.name)) {
            *format = entry.format;
            return true;
        }
    }
    return false;
}

QString FirmwareInput::formatName(Format format)
{
    for (const FormatName &entry : kFormatNames) {
        if (entry.format == format)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

QString FirmwareInput::describe(Format format)
{
    for (const FormatName &entry : kFormatNames) {
        if (entry.format == format)
            return QString::fromLatin1(entry.description);
    }
    return QString();
}

FirmwareInput::Format FirmwareInput::detect(const QByteArray &data)
{
    if (PeImage::hasPeSignature(data))
        return Format::Exe;
    if (IntelHexReader::looksLikeIntelHex(data))
        return Format::IntelHex;
    if (data.size() < 4)
        return Format::Container;
    const qint32 count = qFromLittleEndian<qint32>(data.constData());
    if (count >= kLowestContainerCount && count <= kHighestContainerCount)
        return Format::Container;
    return Format::RawImage;
}

QByteArray FirmwareInput::toContainer(const QByteArray &data, Format format, Format *detected)
{
    if (data.isEmpty())
        throw ImageError(QStringLiteral("the file is empty"));
    const bool chosenByContent = format == Format::Auto;
    if (chosenByContent)
        format = detect(data);
    if (detected)
        *detected = format;

    QByteArray container;
    switch (format) {
    case Format::IntelHex:
        container = ImagePacking::packImage(IntelHexReader::read(data));
        break;
    case Format::RawImage:
        try {
            container = ImagePacking::packImage(data);
        } catch (const ImageError &error) {
            if (!chosenByContent)
                throw;
            refuseAsImageOrProgram(error, data);
        }
        break;
    case Format::Exe:
        container = PeResourceReader::firmwareContainer(data);
        break;
    case Format::Container:
    case Format::Auto:
        container = data;
        break;
    }
    try {
        unpackFirmware(container);   // throws on the first bad record
    } catch (const FirmwareError &error) {
        // A raw image may start like a container (00 00 00 00 of NOPs, FF FF FF FF of
        // erased flash): the fault alone would not tell the user that the guess was wrong.
        if (chosenByContent && format == Format::Container)
            throw FirmwareError(error.record(), error.fault() + kGuessedContainerHint, error.recordCount());
        throw;
    }
    return container;
}
