#include "flash/PeResourceReader.h"

#include "flash/BoundedBytes.h"
#include "flash/ImageError.h"
#include "flash/PeImage.h"

#include <QList>
#include <QStringList>

namespace {

// The public PE/COFF resource directory layout, in bytes.
constexpr qint64 kDirectoryHeaderSize = 16;
constexpr qint64 kNamedCountField = 12;
constexpr qint64 kIdCountField = 14;
constexpr qint64 kEntrySize = 8;
constexpr qint64 kEntryTargetField = 4;
constexpr quint32 kHighBit = 0x80000000;   // a name (not an ID); a directory (not data)
constexpr qint64 kDataEntrySize = 16;
constexpr qint64 kDataSizeField = 4;
constexpr int kListedAtMost = 8;            // of the entries a refusal lists

QString hex(qint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

[[noreturn]] void refuse(const QString &fault)
{
    throw ImageError(ImageSubject::kWindowsProgram, fault);
}

// The resource directory: every offset in it counts from its start, and everything
// it holds but the resources' data must lie in the section that holds it.
class ResourceTree {
public:
    ResourceTree(QByteArrayView file, const PeImage::Place &root) : m_file(file), m_root(root) {}

    qint64 root() const { return m_root.offset; }

    // The file offsets of a directory's entries; refuses a directory that is on the
    // way to it already (a loop) or that runs past the section's data.
    QList<qint64> entries(quint32 directory, const QString &what)
    {
        const qint64 at = m_root.offset + directory;
        if (m_path.contains(at))
            refuse(QStringLiteral("directory loop: %1 at %2 is a directory already on the way to it").arg(what, hex(at)));
        m_path.append(at);
        const BoundedBytes &bytes = m_root.window;
        bytes.require(at, kDirectoryHeaderSize, what);
        const qint64 count = qint64(bytes.u16(at + kNamedCountField, what)) + bytes.u16(at + kIdCountField, what);
        bytes.require(at + kDirectoryHeaderSize, count * kEntrySize, QStringLiteral("the %1 entries of %2").arg(count).arg(what));
        QList<qint64> offsets;
        for (qint64 i = 0; i < count; ++i)
            offsets.append(at + kDirectoryHeaderSize + i * kEntrySize);
        return offsets;
    }

    quint32 key(qint64 entry) const { return m_root.window.u32(entry, QStringLiteral("a directory entry")); }
    quint32 target(qint64 entry) const
    {
        return m_root.window.u32(entry + kEntryTargetField, QStringLiteral("a directory entry"));
    }

    // An entry's name (a length, then UTF-16LE), or its ID in decimal.
    QString label(qint64 entry) const
    {
        const quint32 key = this->key(entry);
        if (!(key & kHighBit))
            return QString::number(key);
        const qint64 at = m_root.offset + (key & ~kHighBit);
        const QString what = QStringLiteral("a resource name");
        const qint64 length = m_root.window.u16(at, what);
        m_root.window.require(at + 2, 2 * length, what);
        QString name;
        for (qint64 i = 0; i < length; ++i)
            name.append(QChar(qFromLittleEndian<quint16>(m_file.data() + at + 2 + 2 * i)));
        return QLatin1Char('"') + name + QLatin1Char('"');
    }

    // The directory an entry leads to; refuses an entry that leads to data.
    quint32 subdirectory(qint64 entry, const QString &what) const
    {
        const quint32 target = this->target(entry);
        if (!(target & kHighBit))
            refuse(QStringLiteral("%1 leads to data where a directory belongs").arg(what));
        return target & ~kHighBit;
    }

    const BoundedBytes &window() const { return m_root.window; }

private:
    QByteArrayView m_file;
    PeImage::Place m_root;
    QList<qint64> m_path;
};

QString listed(const ResourceTree &tree, const QList<qint64> &entries)
{
    if (entries.isEmpty())
        return QStringLiteral("none");
    QStringList labels;
    for (qint64 entry : entries.first(qMin<qsizetype>(entries.size(), kListedAtMost)))
        labels.append(tree.label(entry));
    if (entries.size() > kListedAtMost)
        labels.append(QStringLiteral("..."));
    return labels.join(QStringLiteral(", "));
}

} // namespace

PeResourceReader::Found PeResourceReader::find(QByteArrayView file, const QString &type, quint32 id)
{
    const PeImage image(file);
    const QString name = QStringLiteral("%1/%2").arg(type).arg(id);
    if (image.resourceDirectoryRva() == 0)
        refuse(QStringLiteral("the program has no resource directory, so no resource %1").arg(name));

    Found found;
    found.is64Bit = image.is64Bit();
    ResourceTree tree(file, image.place(image.resourceDirectoryRva(), QStringLiteral("the resource directory")));
    found.rootDirectory = tree.root();

    const QList<qint64> types = tree.entries(0, QStringLiteral("the resource directory"));
    const QString quotedType = QLatin1Char('"') + type + QLatin1Char('"');
    for (qint64 entry : types) {
        if ((tree.key(entry) & kHighBit) && tree.label(entry).compare(quotedType, Qt::CaseInsensitive) == 0) {
            found.typeEntry = entry;
            break;
        }
    }
    if (found.typeEntry < 0)
        refuse(QStringLiteral("no resource of type %1 (types present: %2)").arg(quotedType, listed(tree, types)));

    const QString typeWhat = QStringLiteral("the directory of type %1").arg(quotedType);
    const QList<qint64> ids = tree.entries(tree.subdirectory(found.typeEntry, QStringLiteral("type %1").arg(quotedType)), typeWhat);
    for (qint64 entry : ids) {
        if (tree.key(entry) == id) {
            found.idEntry = entry;
            break;
        }
    }
    if (found.idEntry < 0)
        refuse(QStringLiteral("no resource %1 (type %2 holds: %3)").arg(name, quotedType, listed(tree, ids)));

    const QList<qint64> languages = tree.entries(tree.subdirectory(found.idEntry, QStringLiteral("resource %1").arg(name)),
                                                 QStringLiteral("the directory of resource %1").arg(name));
    if (languages.isEmpty())
        refuse(QStringLiteral("resource %1 has no language entry").arg(name));
    found.languageEntry = languages.first();
    found.language = tree.key(found.languageEntry);
    const quint32 target = tree.target(found.languageEntry);
    if (target & kHighBit) {
        // Three levels are all there is: a fourth is either a loop or nonsense.
        tree.entries(target & ~kHighBit, QStringLiteral("the directory under the language entry of %1").arg(name));
        refuse(QStringLiteral("the language entry of resource %1 leads to a further directory where its data belongs").arg(name));
    }

    found.dataEntry = tree.root() + target;
    const QString dataWhat = QStringLiteral("the data entry of resource %1").arg(name);
    tree.window().require(found.dataEntry, kDataEntrySize, dataWhat);
    const quint32 dataRva = tree.window().u32(found.dataEntry, dataWhat);
    found.size = tree.window().u32(found.dataEntry + kDataSizeField, dataWhat);
    if (found.size > file.size())
        refuse(QStringLiteral("resource %1 claims %2 bytes, more than the whole file (%3 bytes)")
                   .arg(name)
                   .arg(found.size)
                   .arg(file.size()));

    const QString dataName = QStringLiteral("the data of resource %1").arg(name);
    const PeImage::Place data = image.place(dataRva, dataName);
    data.window.require(data.offset, found.size, QStringLiteral("%1 (%2 bytes)").arg(dataName).arg(found.size));
    found.offset = data.offset;
    return found;
}

QByteArray PeResourceReader::firmwareContainer(const QByteArray &file)
{
    const Found found = find(file, QString::fromLatin1(kFirmwareType), kFirmwareId);
    return file.mid(found.offset, found.size);
}
