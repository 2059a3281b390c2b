#include "tests/packaging/VersionInfoTree.h"

#include "tests/packaging/ResFile.h"

#include <stdexcept>

namespace {

constexpr quint16 kTextValue = 1;

qsizetype alignedToDword(qsizetype offset)
{
    return (offset + 3) & ~qsizetype(3);
}

// One node at `at` (offsets count from the resource start, as the alignment does).
VersionNode readNode(const QByteArray &bytes, qsizetype at, qsizetype &end)
{
    const quint16 length = ResFile::word(bytes, at);
    const quint16 valueLength = ResFile::word(bytes, at + 2);
    const quint16 type = ResFile::word(bytes, at + 4);
    end = at + length;
    if (length < 6 || end > bytes.size())
        throw std::runtime_error("version resource: node length out of range");

    VersionNode node;
    qsizetype p = at + 6;
    for (quint16 c; (c = ResFile::word(bytes, p)) != 0; p += 2)
        node.key += QChar(c);
    p = alignedToDword(p + 2);

    node.isText = type == kTextValue;
    if (node.isText) {
        // The length counts characters; compilers differ on counting the terminator.
        for (quint16 i = 0; i < valueLength; ++i) {
            const quint16 c = ResFile::word(bytes, p + 2 * i);
            if (c == 0)
                break;
            node.text += QChar(c);
        }
        p += 2 * qsizetype(valueLength);
    } else {
        node.value = bytes.mid(p, valueLength);
        p += valueLength;
    }
    p = alignedToDword(p);

    while (p < end) {
        qsizetype childEnd = 0;
        node.children.append(readNode(bytes, p, childEnd));
        p = alignedToDword(childEnd);
    }
    return node;
}

} // namespace

const VersionNode *VersionNode::child(const QString &childKey) const
{
    for (const VersionNode &c : children)
        if (c.key == childKey)
            return &c;
    return nullptr;
}

VersionNode VersionNode::read(const QByteArray &resource)
{
    qsizetype end = 0;
    return readNode(resource, 0, end);
}
