#pragma once

#include <QByteArray>
#include <QString>

// How the image the camera received compares with the expected one, line by line
// (64 image bytes per line, lines counted from 0 as the records are).
struct ImageVerdict {
    enum class Kind { NotChecked, Match, Mismatch, Incomplete };

    Kind kind = Kind::NotChecked;
    int line = 0;            // the first line that differs, for Mismatch
    int receivedLines = 0;
    int expectedLines = 0;

    static ImageVerdict compare(const QByteArray &received, const QByteArray &expected);

    // "match", "MISMATCH at line N", "incomplete N of M lines" or "not checked".
    QString text() const;
};
