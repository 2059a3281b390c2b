#include "flash/PeImage.h"

#include "flash/ImageError.h"

namespace {

// The public PE/COFF layout: field offsets and sizes in bytes.
constexpr qint64 kDosHeaderSize = 64;
constexpr qint64 kPeHeaderPointerField = 0x3C;   // e_lfanew
constexpr char kPeSignature[] = {'P', 'E', '\0', '\0'};
constexpr qint64 kPeSignatureSize = 4;
constexpr qint64 kCoffHeaderSize = 20;
constexpr qint64 kSectionCountField = 2;
constexpr qint64 kOptionalHeaderSizeField = 16;
constexpr quint16 kPe32Magic = 0x10B;
constexpr quint16 kPe32PlusMagic = 0x20B;
constexpr qint64 kDirectoryCountField32 = 92;     // NumberOfRvaAndSizes, PE32
constexpr qint64 kDirectoryCountField64 = 108;    // NumberOfRvaAndSizes, PE32+
constexpr qint64 kDataDirectorySize = 8;          // RVA, size
constexpr quint32 kResourceDirectoryIndex = 2;
constexpr qint64 kSectionHeaderSize = 40;
constexpr qint64 kSectionNameSize = 8;
constexpr qint64 kSectionVirtualSizeField = 8;
constexpr qint64 kSectionVirtualAddressField = 12;
constexpr qint64 kSectionRawSizeField = 16;
constexpr qint64 kSectionRawOffsetField = 20;

QString hex(qint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

[[noreturn]] void refuse(const QString &fault)
{
    throw ImageError(ImageSubject::kWindowsProgram, fault);
}

} // namespace

bool PeImage::hasPeSignature(QByteArrayView file)
{
    if (file.size() < kDosHeaderSize || !file.startsWith("MZ"))
        return false;
    const qint64 pe = qFromLittleEndian<quint32>(file.data() + kPeHeaderPointerField);
    return pe <= file.size() - kPeSignatureSize && file.sliced(pe, kPeSignatureSize) == QByteArrayView(kPeSignature, 4);
}

PeImage::PeImage(QByteArrayView file) : m_file(file)
{
    const BoundedBytes whole(file, 0, file.size(), QStringLiteral("the file (%1 bytes)").arg(file.size()));
    if (!file.startsWith("MZ"))
        refuse(QStringLiteral("the file does not start with \"MZ\""));
    whole.require(0, kDosHeaderSize, QStringLiteral("the DOS header"));

    m_peHeaderOffset = whole.u32(kPeHeaderPointerField, QStringLiteral("the DOS header"));
    whole.require(m_peHeaderOffset, kPeSignatureSize,
                  QStringLiteral("the PE signature the DOS header points to"));
    if (file.sliced(m_peHeaderOffset, kPeSignatureSize) != QByteArrayView(kPeSignature, 4))
        refuse(QStringLiteral("no \"PE\\0\\0\" signature at %1, where the DOS header points").arg(hex(m_peHeaderOffset)));

    const qint64 coff = m_peHeaderOffset + kPeSignatureSize;
    whole.require(coff, kCoffHeaderSize, QStringLiteral("the COFF file header"));
    const quint16 sectionCount = whole.u16(coff + kSectionCountField, QStringLiteral("the COFF file header"));
    const quint16 optionalSize = whole.u16(coff + kOptionalHeaderSizeField, QStringLiteral("the COFF file header"));

    const qint64 optional = coff + kCoffHeaderSize;
    const QString optionalName = QStringLiteral("the optional header (%1 bytes)").arg(optionalSize);
    whole.require(optional, optionalSize, optionalName);
    const BoundedBytes header(file, optional, optional + optionalSize, optionalName);
    const quint16 magic = header.u16(optional, QStringLiteral("the optional header's magic number"));
    if (magic != kPe32Magic && magic != kPe32PlusMagic)
        refuse(QStringLiteral("optional header magic %1 is neither PE32 (0x10B) nor PE32+ (0x20B)").arg(hex(magic)));
    m_is64Bit = magic == kPe32PlusMagic;

    const qint64 countField = optional + (m_is64Bit ? kDirectoryCountField64 : kDirectoryCountField32);
    const quint32 directoryCount = header.u32(countField, QStringLiteral("the count of data directories"));
    if (directoryCount > kResourceDirectoryIndex) {
        const qint64 entry = countField + 4 + kResourceDirectoryIndex * kDataDirectorySize;
        m_resourceRva = header.u32(entry, QStringLiteral("the resource directory's entry"));
    }

    m_sectionTableOffset = optional + optionalSize;
    whole.require(m_sectionTableOffset, sectionCount * kSectionHeaderSize,
                  QStringLiteral("the section table (%1 sections)").arg(sectionCount));
    for (qint64 at = m_sectionTableOffset; at < m_sectionTableOffset + sectionCount * kSectionHeaderSize;
         at += kSectionHeaderSize) {
        Section section;
        const QByteArrayView name = file.sliced(at, kSectionNameSize);   // padded with NULs
        const qsizetype nameEnd = name.indexOf('\0');
        section.name = (nameEnd < 0 ? name : name.first(nameEnd)).toByteArray();
        section.virtualSize = whole.u32(at + kSectionVirtualSizeField, QStringLiteral("a section header"));
        section.virtualAddress = whole.u32(at + kSectionVirtualAddressField, QStringLiteral("a section header"));
        section.rawSize = whole.u32(at + kSectionRawSizeField, QStringLiteral("a section header"));
        section.rawOffset = whole.u32(at + kSectionRawOffsetField, QStringLiteral("a section header"));
        m_sections.append(section);
    }
}

PeImage::Place PeImage::place(quint32 rva, const QString &what) const
{
    for (const Section &section : m_sections) {
        // As the loader maps it: the section spans its virtual size (its data size
        // when that is not given); what lies past its data is zeros, not in the file.
        const qint64 span = section.virtualSize != 0 ? section.virtualSize : section.rawSize;
        const qint64 into = qint64(rva) - section.virtualAddress;
        if (into < 0 || into >= span)
            continue;
        const QString name = QString::fromLatin1(section.name);
        if (into >= section.rawSize)
            refuse(QStringLiteral("%1 (RVA %2) lies in section %3 past the %4 bytes it keeps in the file")
                       .arg(what, hex(rva), name)
                       .arg(section.rawSize));
        const qint64 end = qint64(section.rawOffset) + section.rawSize;
        const QString where = end <= m_file.size()
            ? QStringLiteral("section %1's data (%2 to %3)").arg(name, hex(section.rawOffset), hex(end))
            : QStringLiteral("the file (%1 bytes)").arg(m_file.size());
        return Place{section.rawOffset + into, BoundedBytes(m_file, section.rawOffset, end, where)};
    }
    refuse(QStringLiteral("%1 (RVA %2) lies in none of the %3 sections").arg(what, hex(rva)).arg(m_sections.size()));
}
