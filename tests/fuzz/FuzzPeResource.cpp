// Feeds the Windows program reader arbitrary bytes, in a buffer of their exact size
// (so AddressSanitizer catches any read past the end). It must either refuse them
// with a "Windows program: " ImageError or find CUSTOM/101 wholly inside the file,
// in a file that detection takes for a program.
#include "flash/ImageError.h"
#include "flash/PeImage.h"
#include "flash/PeResourceReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const PeResourceReader::Found found = PeResourceReader::find(
            file, QString::fromLatin1(PeResourceReader::kFirmwareType), PeResourceReader::kFirmwareId);
        if (found.offset < 0 || found.size < 0 || found.offset + found.size > file.size()) {
            fprintf(stderr, "resource of %lld bytes at %lld outside a file of %zu bytes\n",
                    static_cast<long long>(found.size), static_cast<long long>(found.offset), size);
            abort();
        }
        if (!PeImage::hasPeSignature(file)) {
            fprintf(stderr, "read a program that detection would not take for one\n");
            abort();
        }
    } catch (const ImageError &error) {
        if (!error.message().startsWith(QStringLiteral("Windows program: ")))
            abort();
    }
    return 0;
}
