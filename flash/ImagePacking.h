#pragma once

#include "flash/LineRecords.h"

#include <QByteArray>

// Between a program image (consecutive 64-byte lines from address 0) and the
// container the program embeds.
namespace ImagePacking {

constexpr int kLineBytes = 64;
// The MCS-51 code space: no image for the camera can be larger.
constexpr qint64 kMaxImageBytes = 0x10000;
// The line transfer divides by the upper index, so an image has at least two lines.
constexpr qint64 kMinImageBytes = 2 * kLineBytes;

// Throws ImageError unless the image is a whole number of lines, at least two and
// no more than the code space holds.
void checkImageSize(qint64 size);

// The container for an image: one escaped, checksummed record per line, then
// trailingBytes zero bytes (which readers ignore).
QByteArray packImage(const QByteArray &image, int trailingBytes = 0);

// The image the records carry: each line unescaped, its checksum dropped. The
// lines must be valid (as unpackFirmware returns them).
QByteArray imageFromLines(const LineRecords &lines);

} // namespace ImagePacking
