#pragma once

#include <QByteArray>
#include <QString>

// The program image the camera is expected to receive, read from a firmware container
// or from a raw image (64 bytes per line, so its size is a multiple of 64).
struct ExpectedImage {
    QByteArray image;
    QString description;   // what the file was taken for, for the summary
    QString error;         // why the file cannot be used; empty when it can

    static ExpectedImage load(const QString &path);
    static ExpectedImage fromBytes(const QByteArray &bytes);
};
