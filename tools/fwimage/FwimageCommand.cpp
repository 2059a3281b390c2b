#include "tools/fwimage/FwimageCommand.h"

#include "flash/FirmwareFile.h"
#include "flash/FirmwareImage.h"
#include "flash/FirmwareInput.h"
#include "flash/ImageError.h"
#include "flash/ImagePacking.h"
#include "flash/PeResourceReader.h"
#include "tools/fwimage/FirmwareFigures.h"
#include "tools/fwimage/TestImageGenerator.h"

#include <QSaveFile>

#include <exception>

namespace {

const char kUsageText[] =
    "Usage: fwimage COMMAND [--format=FORMAT] FILE...\n"
    "Packs, checks and unpacks the firmware container that Revertex flashes (an upper\n"
    "index, the number of records minus one, then one escaped, checksummed line per\n"
    "record), which a build with -DREVERTEX_FIRMWARE embeds as resource CUSTOM/101.\n"
    "\n"
    "Commands:\n"
    "  pack IN OUT             pack a raw program image or Intel HEX file into a container\n"
    "  verify FILE             check every record and print the figures of the container\n"
    "  unpack IN OUT           write the program image a container carries\n"
    "  embed IN OUT            check a firmware file as Revertex checks it when it starts\n"
    "                          (every record, and the version it flashes) and write its\n"
    "                          container, for the build to embed\n"
    "  generate-test-image OUT write the test image for the simulated camera\n"
    "  --help                  show this text\n"
    "\n"
    "FORMAT is auto (the default), container, raw, hex or exe. With auto, a file that\n"
    "starts with \"MZ\" and has a PE header is a Windows program (32- or 64-bit) whose\n"
    "resource CUSTOM/101 is the container; a file whose first\n"
    "non-blank character is ':' is Intel HEX; a file whose first four bytes, as a\n"
    "little-endian signed upper index, lie between -65536 and 65535 is a container;\n"
    "anything else is a raw image (a raw image that starts like a container, with\n"
    "00 00 00 00 or FF FF FF FF, needs --format=raw). A raw or HEX image is a whole\n"
    "number of 64-byte lines from address 0 (at least two, at most 64 KiB); HEX gaps\n"
    "are filled with 0xFF.\n"
    "\n"
    "Exit status: 0 done, 1 bad input or output failure, 2 wrong usage.\n";

using Handler = int (FwimageCommand::*)(const QStringList &, FirmwareInput::Format);

struct Subcommand {
    const char *name;
    int files;
    Handler handler;
};

} // namespace

int FwimageCommand::run(const QStringList &arguments)
{
    const Subcommand subcommands[] = {
        {"pack", 2, &FwimageCommand::pack},
        {"verify", 1, &FwimageCommand::verify},
        {"unpack", 2, &FwimageCommand::unpack},
        {"embed", 2, &FwimageCommand::embed},
        {"generate-test-image", 1, &FwimageCommand::generateTestImage},
    };

    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        m_out << kUsageText;
        return kDone;
    }
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no command given"));

    QString format = QStringLiteral("auto");
    QStringList files;
    for (const QString &argument : arguments.mid(1)) {
        if (argument.startsWith(QStringLiteral("--format=")))
            format = argument.mid(int(qstrlen("--format=")));
        else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            return usageError(QStringLiteral("unknown option %1").arg(argument));
        else
            files.append(argument);
    }
    FirmwareInput::Format parsed;
    if (!FirmwareInput::parseFormat(format, &parsed))
        return usageError(QStringLiteral("unknown format '%1' (auto, container, raw, hex or exe)").arg(format));

    for (const Subcommand &subcommand : subcommands) {
        if (arguments.first() != QLatin1String(subcommand.name))
            continue;
        if (files.size() != subcommand.files)
            return usageError(QStringLiteral("%1 takes %2 file name%3, not %4")
                                  .arg(QLatin1String(subcommand.name))
                                  .arg(subcommand.files)
                                  .arg(subcommand.files == 1 ? "" : "s")
                                  .arg(files.size()));
        try {
            return (this->*subcommand.handler)(files, parsed);
        } catch (const FirmwareError &error) {
            m_err << "fwimage: " << files.first() << ": " << error.message() << "\n";
        } catch (const ImageError &error) {
            m_err << "fwimage: " << files.first() << ": " << error.message() << "\n";
        } catch (const std::exception &error) {
            m_err << "fwimage: " << error.what() << "\n";
        }
        return kFailed;
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(arguments.first()));
}

int FwimageCommand::usageError(const QString &problem)
{
    m_err << "fwimage: " << problem << "\n" << kUsageText;
    return kUsage;
}

bool FwimageCommand::readInput(const QString &path, QByteArray *data)
{
    try {
        *data = FirmwareFile::read(path);
    } catch (const FirmwareRefusal &refusal) {
        m_err << "fwimage: " << refusal.message() << "\n";
        return false;
    }
    return true;
}

bool FwimageCommand::writeOutput(const QString &path, const QByteArray &data)
{
    // All or nothing: a build step that fails must not leave a half-written output.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        m_err << "fwimage: cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

int FwimageCommand::pack(const QStringList &files, FirmwareInput::Format chosen)
{
    QByteArray data;
    if (!readInput(files.at(0), &data))
        return kFailed;
    if (chosen == FirmwareInput::Format::Auto)
        chosen = FirmwareInput::detect(data);
    if (chosen == FirmwareInput::Format::Container)
        throw ImageError(QStringLiteral("this looks like a container already (fwimage verify checks it; "
                                        "--format=raw packs it as an image regardless)"));
    const QByteArray container = FirmwareInput::toContainer(data, chosen);
    if (!writeOutput(files.at(1), container))
        return kFailed;
    const FirmwareFigures figures = FirmwareFigures::of(container);
    m_out << files.at(1) << ": " << figures.recordCount << " records, " << figures.containerBytes << " bytes\n";
    return kDone;
}

int FwimageCommand::verify(const QStringList &files, FirmwareInput::Format chosen)
{
    QByteArray data;
    if (!readInput(files.at(0), &data))
        return kFailed;
    FirmwareInput::Format detected;
    const QByteArray container = FirmwareInput::toContainer(data, chosen, &detected);
    m_out << files.at(0) << ": every record is a valid line\n";
    m_out << "format: " << FirmwareInput::formatName(detected) << "\n";
    if (detected == FirmwareInput::Format::Exe) {
        const PeResourceReader::Found found = PeResourceReader::find(
            data, QString::fromLatin1(PeResourceReader::kFirmwareType), PeResourceReader::kFirmwareId);
        m_out << "resource CUSTOM/101: " << found.size << " bytes at file offset 0x"
              << QString::number(found.offset, 16).toUpper() << ", language 0x"
              << QStringLiteral("%1").arg(found.language, 4, 16, QLatin1Char('0')).toUpper() << " ("
              << (found.is64Bit ? "PE32+, 64-bit" : "PE32, 32-bit") << ")\n";
    }
    for (const QString &line : FirmwareFigures::of(container).describe())
        m_out << line << "\n";
    return kDone;
}

int FwimageCommand::unpack(const QStringList &files, FirmwareInput::Format chosen)
{
    QByteArray data;
    if (!readInput(files.at(0), &data))
        return kFailed;
    const QByteArray image = ImagePacking::imageFromLines(unpackFirmware(FirmwareInput::toContainer(data, chosen)));
    if (!writeOutput(files.at(1), image))
        return kFailed;
    m_out << files.at(1) << ": " << image.size() << " bytes of program image\n";
    return kDone;
}

int FwimageCommand::embed(const QStringList &files, FirmwareInput::Format chosen)
{
    QByteArray data;
    if (!readInput(files.at(0), &data))
        return kFailed;
    const CheckedFirmware checked = FirmwareFile::check(data, chosen);
    if (!writeOutput(files.at(1), checked.container))
        return kFailed;
    const FirmwareFigures figures = FirmwareFigures::of(checked.container);
    m_out << "firmware " << files.at(0) << " (" << FirmwareInput::formatName(checked.format) << "): "
          << figures.recordCount << " lines, version "
          << (figures.versionText.isEmpty() ? QStringLiteral("unknown") : figures.versionText) << "\n";
    return kDone;
}

int FwimageCommand::generateTestImage(const QStringList &files, FirmwareInput::Format)
{
    if (!writeOutput(files.at(0), TestImageGenerator::generate()))
        return kFailed;
    m_out << files.at(0) << ": test image for the simulated camera only\n";
    return kDone;
}
