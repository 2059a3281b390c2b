#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The tree of a VS_VERSIONINFO resource: every node has a key, a value (binary, or a
// text for string values) and children, each node aligned to 32 bits.
struct VersionNode {
    QString key;
    bool isText = false;
    QByteArray value;   // binary value bytes (isText false)
    QString text;       // string value without its terminator (isText true)
    QList<VersionNode> children;

    // The child with this key, or nullptr.
    const VersionNode *child(const QString &childKey) const;

    // Throws std::runtime_error on a malformed resource.
    static VersionNode read(const QByteArray &resource);
};
