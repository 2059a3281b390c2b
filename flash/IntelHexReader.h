#pragma once

#include <QByteArray>

// Reads an Intel HEX file into a program image starting at address 0. Data records
// (00), end of file (01), extended segment (02) and extended linear (04) addresses
// are understood; start addresses (03, 05) are ignored. Every record's checksum is
// checked, a byte written twice or beyond the code space is refused, the end-of-file
// record is required, and gaps are filled with 0xFF (erased flash). The image runs to
// the highest address written. Faults throw ImageError naming the line.
class IntelHexReader {
public:
    static constexpr char kGapFill = '\xFF';

    static bool looksLikeIntelHex(const QByteArray &data);
    static QByteArray read(const QByteArray &text);
};
