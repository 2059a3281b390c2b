#pragma once

#include <QByteArray>
#include <QString>

// What a firmware file given to the wizard, the build or fwimage holds, and the
// container made from it.
//
// Telling the formats apart (format "auto"), in this order:
//  1. a file that starts with "MZ" and has "PE\0\0" where its DOS header points is a
//     Windows program, and the container is its resource CUSTOM/101;
//  2. a file whose first non-blank character is ':' is Intel HEX;
//  3. a file whose first four bytes, read as a signed 32-bit little-endian number,
//     lie between -65536 and 65535 is a container, and is checked as one (a raw
//     MCS-51 image starts with a jump, 02 hi lo, and the opcode that follows makes
//     that number far larger);
//  4. anything else is a raw image.
// A broken container is therefore refused with its own fault instead of being
// packed as if it were an image; when the rule chose the container, the refusal adds
// how to read the file as a raw image instead. An explicit format overrides the rule.
class FirmwareInput {
public:
    enum class Format { Auto, Container, RawImage, IntelHex, Exe };

    // "auto", "container", "raw", "hex", "exe"; false for anything else.
    static bool parseFormat(const QString &name, Format *format);
    static QString formatName(Format format);
    // In words, for a refusal: "a Windows program", "an Intel HEX file", ...
    static QString describe(Format format);

    static Format detect(const QByteArray &data);

    // The container for the file's bytes, validated record by record: a container is
    // returned unchanged, an image is packed, a Windows program's CUSTOM/101 is taken
    // out as stored. Throws FirmwareError or ImageError.
    static QByteArray toContainer(const QByteArray &data, Format format, Format *detected = nullptr);
};
