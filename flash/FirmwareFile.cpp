#include "flash/FirmwareFile.h"

#include "flash/FirmwareImage.h"
#include "flash/FirmwareVersion.h"
#include "flash/ImageError.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString compose(const QString &path, const QString &readAs, const QString &fault)
{
    if (readAs.isEmpty())
        return QStringLiteral("%1: %2").arg(path, fault);
    return QStringLiteral("%1, read as %2: %3").arg(path, readAs, fault);
}

} // namespace

FirmwareRefusal::FirmwareRefusal(const QString &path, const QString &readAs, const QString &fault)
    : std::runtime_error(compose(path, readAs, fault).toStdString()), m_path(path), m_readAs(readAs), m_fault(fault)
{
}

QString FirmwareRefusal::message() const
{
    return compose(m_path, m_readAs, m_fault);
}

namespace FirmwareFile {

QByteArray read(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw FirmwareRefusal(path, QString(), QStringLiteral("a folder, not a file"));
    if (!file.open(QIODevice::ReadOnly))
        throw FirmwareRefusal(path, QString(), QStringLiteral("cannot be read: %1").arg(file.errorString()));
    if (file.size() > kMaxBytes)
        throw FirmwareRefusal(path, QString(), QStringLiteral("%1 bytes, far more than any firmware file (at most %2 bytes)")
                                                   .arg(file.size())
                                                   .arg(kMaxBytes));
    QByteArray data = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw FirmwareRefusal(path, QString(), QStringLiteral("cannot be read: %1").arg(file.errorString()));
    if (data.size() > kMaxBytes)   // grew while being read
        throw FirmwareRefusal(path, QString(), QStringLiteral("more than %1 bytes, far more than any firmware file").arg(kMaxBytes));
    return data;
}

CheckedFirmware check(const QByteArray &data, FirmwareInput::Format format)
{
    CheckedFirmware checked;
    checked.container = FirmwareInput::toContainer(data, format, &checked.format);
    checked.lines = unpackFirmware(checked.container);
    FirmwareVersion::requireReference(checked.lines);
    return checked;
}

CheckedFirmware load(const QString &path)
{
    const QByteArray data = read(path);
    if (data.isEmpty())
        throw FirmwareRefusal(path, QString(), QStringLiteral("the file is empty"));
    // What the content makes of the file, as check() decides it, for the words.
    const QString readAs = FirmwareInput::describe(FirmwareInput::detect(data));
    try {
        return check(data);
    } catch (const FirmwareError &error) {
        // A fault of the container as a whole needs no "container:" beside "read as a firmware container".
        throw FirmwareRefusal(path, readAs, error.record() < 0 ? error.fault() : error.message());
    } catch (const ImageError &error) {
        throw FirmwareRefusal(path, readAs, error.fault());
    }
}

} // namespace FirmwareFile
