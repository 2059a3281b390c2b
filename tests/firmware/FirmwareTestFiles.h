#pragma once

// Where the tests find the committed test image and the built programs (revertex_test
// sets REVERTEX_SOURCE_DIR and REVERTEX_BUILD_DIR), and firmware they make themselves.
#include "flash/ImagePacking.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <gtest/gtest.h>

namespace FirmwareTestFiles {

inline QString sourcePath(const QString &relative)
{
    return qEnvironmentVariable("REVERTEX_SOURCE_DIR") + QLatin1Char('/') + relative;
}

inline QString buildPath(const QString &relative)
{
    return qEnvironmentVariable("REVERTEX_BUILD_DIR") + QLatin1Char('/') + relative;
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return QByteArray();
    }
    return file.readAll();
}

inline void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(data), data.size());
}

inline QString committedTestImagePath()
{
    return sourcePath(QStringLiteral("resources/firmware/ptz2-test-image.container"));
}

inline QByteArray committedTestImage()
{
    return readFile(committedTestImagePath());
}

// A container of the test image's shape (899 lines) that is not the test image: what the
// window tests run on, so that the window looks as it does with the camera's firmware.
inline QByteArray plainFirmware()
{
    return ImagePacking::packImage(QByteArray(899 * ImagePacking::kLineBytes, '\x11'));
}

// A signed 32-bit little-endian container field.
inline QByteArray field(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(value, bytes.data());
    return bytes;
}

} // namespace FirmwareTestFiles
