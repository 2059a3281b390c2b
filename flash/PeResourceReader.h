#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Finds a resource in a Windows program file by walking its resource directory the
// way FindResource does: type (a name, compared without regard to case, as Windows
// compares resource names), then ID, then the first language. Every offset and
// size is checked against the file; a damaged or hostile file throws ImageError
// naming what is wrong, and a directory that points back at one of the directories
// above it is refused as a loop.
class PeResourceReader {
public:
    // Revertex carries its firmware container as resource type "CUSTOM", ID 101.
    static constexpr char kFirmwareType[] = "CUSTOM";
    static constexpr quint32 kFirmwareId = 101;

    // Where the resource lies, and the places the walk went through (file offsets).
    struct Found {
        qint64 offset = 0;
        qint64 size = 0;
        quint32 language = 0;
        bool is64Bit = false;
        qint64 rootDirectory = 0;
        qint64 typeEntry = -1;
        qint64 idEntry = -1;
        qint64 languageEntry = -1;
        qint64 dataEntry = -1;
    };

    static Found find(QByteArrayView file, const QString &type, quint32 id);

    // The bytes of CUSTOM/101, exactly as stored.
    static QByteArray firmwareContainer(const QByteArray &file);
};
