#pragma once

// Windows programs for the tests, built here with Debian's MinGW-w64 cross tools
// (windres and gcc, 32- and 64-bit): an empty main() linked with a resource script.
// The tools are found by CMake (tests/firmware/CMakeLists.txt); where one is missing,
// available() is false and the tests that need it skip.
#include <QByteArray>
#include <QList>
#include <QString>

namespace PeTestPrograms {

enum class Bits { Pe32, Pe64 };

// One resource statement of the script, such as "101 CUSTOM" or
// "LANGUAGE 0x07, 0x01\n101 CUSTOM", and the bytes it takes from its file.
struct Resource {
    QString statement;
    QByteArray data;
};

bool available(Bits bits);
// Which tools are missing, for the skip message.
QString missingTools(Bits bits);

// Builds directory/name.exe and returns its path; an empty string (and a test
// failure) when a tool fails.
QString build(const QString &directory, const QString &name, Bits bits, const QList<Resource> &resources);

} // namespace PeTestPrograms
