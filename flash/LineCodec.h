#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Wire form of one firmware line: 64 image bytes and their 8-bit sum, with every
// 0x02, 0x04 and 0x7F (checksum included) stored as 0x7F and the byte itself, so
// that a line never holds a bare STX or EOT.
namespace LineCodec {

constexpr int kImageBytes = 64;
constexpr int kLogicalBytes = kImageBytes + 1;
constexpr char kEscape = 0x7F;

// Plain sum of the bytes modulo 256.
quint8 checksum(const QByteArray &imageBytes);

bool needsEscape(char byte);

// The 64 image bytes and their checksum, escaped.
QByteArray encodeLine(const QByteArray &imageBytes);

struct Decoded {
    bool ok = false;
    QByteArray logical;   // the 65 logical bytes when ok
    QString fault;        // what is wrong when not ok
};

// Undoes the escapes and checks the line: no bare STX or EOT, no dangling or
// needless escape, exactly 65 logical bytes, the last the sum of the first 64.
Decoded decodeLine(const QByteArray &body);

} // namespace LineCodec
