#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// The entries of a 32-bit Windows .res file, as rc.exe and windres write them.
namespace ResFile {

enum ResourceType : quint16 { Icon = 3, GroupIcon = 14, Version = 16 };

struct Entry {
    quint16 type = 0;        // ordinal types only; a named type reads as 0
    quint16 id = 0;          // ordinal names only; a named resource reads as 0
    QString name;            // the name of a named resource
    quint16 language = 0;
    QByteArray data;
};

// Throws std::runtime_error on a malformed file.
QList<Entry> read(const QByteArray &file);

// Little-endian integers at an offset; throws when the offset runs past the end.
quint16 word(const QByteArray &bytes, qsizetype at);
quint32 dword(const QByteArray &bytes, qsizetype at);

} // namespace ResFile
