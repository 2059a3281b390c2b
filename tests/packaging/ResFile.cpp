#include "tests/packaging/ResFile.h"

#include <QtEndian>

#include <stdexcept>

namespace ResFile {

namespace {

constexpr quint16 kOrdinalMark = 0xFFFF;
constexpr qsizetype kTrailerBytes = 16;   // DataVersion, MemoryFlags, LanguageId, Version, Characteristics
constexpr qsizetype kLanguageInTrailer = 6;

qsizetype alignedToDword(qsizetype offset)
{
    return (offset + 3) & ~qsizetype(3);
}

void require(const QByteArray &bytes, qsizetype at, qsizetype size)
{
    if (at < 0 || size < 0 || at + size > bytes.size())
        throw std::runtime_error("res file: read past the end");
}

// A type or name field: 0xFFFF and an ordinal, or a zero-terminated UTF-16 string.
qsizetype readTypeOrName(const QByteArray &bytes, qsizetype at, quint16 &ordinal, QString &name)
{
    if (word(bytes, at) == kOrdinalMark) {
        ordinal = word(bytes, at + 2);
        return at + 4;
    }
    ordinal = 0;
    name.clear();
    for (quint16 c; (c = word(bytes, at)) != 0; at += 2)
        name += QChar(c);
    return at + 2;
}

} // namespace

quint16 word(const QByteArray &bytes, qsizetype at)
{
    require(bytes, at, 2);
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 dword(const QByteArray &bytes, qsizetype at)
{
    require(bytes, at, 4);
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QList<Entry> read(const QByteArray &file)
{
    QList<Entry> entries;
    qsizetype at = 0;
    while (at < file.size()) {
        const quint32 dataSize = dword(file, at);
        const quint32 headerSize = dword(file, at + 4);
        Entry entry;
        QString typeName;
        qsizetype field = readTypeOrName(file, at + 8, entry.type, typeName);
        readTypeOrName(file, field, entry.id, entry.name);
        entry.language = word(file, at + qsizetype(headerSize) - kTrailerBytes + kLanguageInTrailer);
        require(file, at + headerSize, dataSize);
        entry.data = file.mid(at + headerSize, dataSize);
        // The leading empty entry only marks the file as 32-bit.
        if (!(dataSize == 0 && entry.type == 0 && entry.id == 0))
            entries.append(entry);
        at = alignedToDword(at + headerSize + dataSize);
    }
    return entries;
}

} // namespace ResFile
