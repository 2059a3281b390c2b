#pragma once

#include "flash/BoundedBytes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The headers of a Windows program file (PE/COFF, PE32 or PE32+) that finding a
// resource needs: where the resource directory lies, and how the program's relative
// virtual addresses (RVAs) map to offsets in the file. The file is only viewed, not
// copied: it must outlive the PeImage. A damaged header throws ImageError naming
// what is wrong; nothing outside the file is read.
class PeImage {
public:
    struct Section {
        QByteArray name;
        quint32 virtualAddress = 0;
        quint32 virtualSize = 0;
        quint32 rawSize = 0;
        quint32 rawOffset = 0;
    };

    // Where an RVA lies in the file: its bytes run from offset to the end of the
    // window (the end of its section's data, or of the file if that comes first).
    struct Place {
        qint64 offset;
        BoundedBytes window;
    };

    // "MZ", and "PE\0\0" where the DOS header's e_lfanew field points. Only a look:
    // the rest of the headers may still be damaged.
    static bool hasPeSignature(QByteArrayView file);

    explicit PeImage(QByteArrayView file);

    bool is64Bit() const { return m_is64Bit; }
    qint64 peHeaderOffset() const { return m_peHeaderOffset; }
    qint64 sectionTableOffset() const { return m_sectionTableOffset; }
    const QList<Section> &sections() const { return m_sections; }
    // 0 when the program has no resource directory.
    quint32 resourceDirectoryRva() const { return m_resourceRva; }

    // what: the thing at the RVA, for messages. Throws when no section holds the RVA
    // or its section keeps it only in memory (past the section's data in the file).
    Place place(quint32 rva, const QString &what) const;

private:
    QByteArrayView m_file;
    bool m_is64Bit = false;
    qint64 m_peHeaderOffset = 0;
    qint64 m_sectionTableOffset = 0;
    QList<Section> m_sections;
    quint32 m_resourceRva = 0;
};
