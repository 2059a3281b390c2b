#include "flash/TestFirmware.h"

#include "flash/ImagePacking.h"

#include <QCryptographicHash>

namespace TestFirmware {

namespace {

// SHA-256 of the test image's 57,536-byte program image.
const QByteArray kImageDigest = QByteArray::fromHex("042531f3799159907d99ba4e9a8ead5ed9381454dcab1778c6d98dac568e6614");

} // namespace

bool isTestImage(const LineRecords &lines)
{
    return QCryptographicHash::hash(ImagePacking::imageFromLines(lines), QCryptographicHash::Sha256) == kImageDigest;
}

} // namespace TestFirmware
