#pragma once

#include "flash/ImageError.h"

#include <QByteArrayView>
#include <QString>
#include <QtEndian>

// A window [begin, end) on a file's bytes. Every read is checked against the
// window first, so a damaged or hostile file is refused with what runs past the
// end, and nothing outside the file is ever read. Offsets are file offsets, held
// in 64 bits so that no sum of two 32-bit fields can wrap.
class BoundedBytes {
public:
    // where: the window's name in messages, e.g. "the file (4096 bytes)"
    BoundedBytes(QByteArrayView file, qint64 begin, qint64 end, const QString &where)
        : m_file(file), m_begin(begin), m_end(qMin<qint64>(end, file.size())), m_where(where) {}

    qint64 begin() const { return m_begin; }
    qint64 end() const { return m_end; }

    bool contains(qint64 at, qint64 length) const
    {
        return at >= m_begin && length >= 0 && at <= m_end && length <= m_end - at;
    }

    // Throws "Windows program: WHAT at 0xAT runs past the end of WHERE".
    void require(qint64 at, qint64 length, const QString &what) const
    {
        if (!contains(at, length))
            throw ImageError(ImageSubject::kWindowsProgram, QStringLiteral("%1 at 0x%2 runs past the end of %3")
                                                                .arg(what, QString::number(at, 16).toUpper(), m_where));
    }

    quint16 u16(qint64 at, const QString &what) const
    {
        require(at, 2, what);
        return qFromLittleEndian<quint16>(m_file.data() + at);
    }

    quint32 u32(qint64 at, const QString &what) const
    {
        require(at, 4, what);
        return qFromLittleEndian<quint32>(m_file.data() + at);
    }

private:
    QByteArrayView m_file;
    qint64 m_begin;
    qint64 m_end;
    QString m_where;
};
