// Windows program files as firmware input: the container comes out of resource
// CUSTOM/101 byte for byte, 32- and 64-bit, past decoys of the same type or ID;
// damaged and hostile copies are refused with what is wrong, and never read past
// their end.
#include "flash/FirmwareImage.h"
#include "flash/FirmwareInput.h"
#include "flash/ImageError.h"
#include "flash/PeImage.h"
#include "flash/PeResourceReader.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/firmware/PeTestPrograms.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace FirmwareTestFiles;
using PeTestPrograms::Bits;
using PeTestPrograms::Resource;
using Format = FirmwareInput::Format;
using Found = PeResourceReader::Found;

namespace {

constexpr quint32 kDirectoryBit = 0x80000000;
constexpr qint64 kSectionHeaderSize = 40;
constexpr qint64 kSectionVirtualSizeField = 8;
constexpr qint64 kSectionRawOffsetField = 20;
constexpr quint16 kEnglishUs = 0x0409;
constexpr quint16 kGerman = 0x0407;
constexpr quint32 kRcDataType = 10;

quint32 u32(const QByteArray &file, qint64 at)
{
    return qFromLittleEndian<quint32>(file.constData() + at);
}

QByteArray with32(QByteArray file, qint64 at, quint32 value)
{
    qToLittleEndian<quint32>(value, file.data() + at);
    return file;
}

QByteArray with16(QByteArray file, qint64 at, quint16 value)
{
    qToLittleEndian<quint16>(value, file.data() + at);
    return file;
}

// What fwimage says of a file read as a Windows program: "accepted" or the refusal.
std::string refusal(const QByteArray &file, Format format = Format::Exe)
{
    try {
        FirmwareInput::toContainer(file, format);
    } catch (const ImageError &error) {
        return error.message().toStdString();
    } catch (const FirmwareError &error) {
        return error.message().toStdString();
    }
    return "accepted";
}

Found findFirmware(QByteArrayView file)
{
    return PeResourceReader::find(file, QStringLiteral("CUSTOM"), 101);
}

class PeResource : public ::testing::Test {
protected:
    static std::unique_ptr<QTemporaryDir> work;
    static QByteArray good64;
    static QByteArray good32;
    static QByteArray twoLanguages;
    static QByteArray noResources;
    static QByteArray rcDataOnly;
    static QByteArray id102Only;

    static void SetUpTestSuite()
    {
        if (!PeTestPrograms::available(Bits::Pe64) || !PeTestPrograms::available(Bits::Pe32))
            return;
        work = std::make_unique<QTemporaryDir>();
        const QByteArray container = committedTestImage();
        // The firmware among resources that a careless walk could take for it.
        const QList<Resource> withDecoys{
            {QStringLiteral("100 CUSTOM"), "custom 100"},
            {QStringLiteral("101 CUSTOM"), container},
            {QStringLiteral("102 CUSTOM"), "custom 102"},
            {QStringLiteral("101 RCDATA"), "rcdata 101"},
            {QStringLiteral("101 FIRMWARE"), "firmware 101"},
        };
        good64 = programFile(QStringLiteral("good64"), Bits::Pe64, withDecoys);
        good32 = programFile(QStringLiteral("good32"), Bits::Pe32, withDecoys);
        twoLanguages = programFile(QStringLiteral("languages"), Bits::Pe64,
                                   {{QStringLiteral("LANGUAGE 0x09, 0x01\n101 CUSTOM"), "english"},
                                    {QStringLiteral("LANGUAGE 0x07, 0x01\n101 CUSTOM"), "german"}});
        noResources = programFile(QStringLiteral("plain"), Bits::Pe64, {});
        rcDataOnly = programFile(QStringLiteral("rcdata"), Bits::Pe64, {{QStringLiteral("101 RCDATA"), container}});
        id102Only = programFile(QStringLiteral("id102"), Bits::Pe64, {{QStringLiteral("102 CUSTOM"), container}});
    }

    static void TearDownTestSuite() { work.reset(); }

    static QByteArray programFile(const QString &name, Bits bits, const QList<Resource> &resources)
    {
        const QString path = PeTestPrograms::build(work->path(), name, bits, resources);
        return path.isEmpty() ? QByteArray() : readFile(path);
    }

    void SetUp() override
    {
        if (!work)
            GTEST_SKIP() << "MinGW-w64 tools missing: " << PeTestPrograms::missingTools(Bits::Pe64).toStdString()
                         << " " << PeTestPrograms::missingTools(Bits::Pe32).toStdString();
        ASSERT_FALSE(good64.isEmpty());
        ASSERT_FALSE(good32.isEmpty());
        found = findFirmware(good64);
        const PeImage image(good64);
        for (qsizetype i = 0; i < image.sections().size(); ++i) {
            if (image.sections().at(i).name == ".rsrc") {
                rsrc = image.sections().at(i);
                rsrcHeader = image.sectionTableOffset() + i * kSectionHeaderSize;
            }
        }
        ASSERT_GE(rsrcHeader, 0) << "no .rsrc section";
        rsrcEnd = qint64(rsrc.rawOffset) + rsrc.rawSize;
    }

    // The file offset a directory entry of good64 leads to.
    qint64 targetOf(qint64 entry) const { return found.rootDirectory + (u32(good64, entry + 4) & ~kDirectoryBit); }

    QString rsrcData() const
    {
        return QStringLiteral("section .rsrc's data (0x%1 to 0x%2)")
            .arg(QString::number(rsrc.rawOffset, 16).toUpper(), QString::number(rsrcEnd, 16).toUpper());
    }

    static std::string at(const std::string &before, qint64 offset, const QString &after)
    {
        return before + QStringLiteral("0x%1").arg(QString::number(offset, 16).toUpper()).toStdString()
            + after.toStdString();
    }

    Found found;
    PeImage::Section rsrc;
    qint64 rsrcHeader = -1;
    qint64 rsrcEnd = 0;
};

std::unique_ptr<QTemporaryDir> PeResource::work;
QByteArray PeResource::good64;
QByteArray PeResource::good32;
QByteArray PeResource::twoLanguages;
QByteArray PeResource::noResources;
QByteArray PeResource::rcDataOnly;
QByteArray PeResource::id102Only;

TEST_F(PeResource, TakesTheContainerOutOf64And32BitProgramsExactlyAsStored)
{
    const QByteArray container = committedTestImage();
    for (const QByteArray *program : {&good64, &good32}) {
        Format detected = Format::Auto;
        EXPECT_TRUE(FirmwareInput::toContainer(*program, Format::Auto, &detected) == container);
        EXPECT_EQ(detected, Format::Exe);
        EXPECT_TRUE(FirmwareInput::toContainer(*program, Format::Exe) == container);
        const Found here = findFirmware(*program);
        EXPECT_EQ(here.is64Bit, program == &good64);
        EXPECT_EQ(here.language, kEnglishUs);
        EXPECT_EQ(here.size, container.size());
    }
}

TEST_F(PeResource, TakesTheFirstLanguage)
{
    ASSERT_FALSE(twoLanguages.isEmpty());
    const Found first = findFirmware(twoLanguages);
    EXPECT_EQ(first.language, kGerman);
    EXPECT_EQ(PeResourceReader::firmwareContainer(twoLanguages), QByteArray("german"));
    // It is no container, and is refused as one.
    EXPECT_EQ(refusal(twoLanguages).rfind("container: ", 0), 0u) << refusal(twoLanguages);
}

TEST_F(PeResource, DetectsAProgramByMzAndItsPeSignature)
{
    EXPECT_EQ(FirmwareInput::detect(good32), Format::Exe);
    EXPECT_EQ(FirmwareInput::detect(committedTestImage()), Format::Container);
    QByteArray noSignature = good64;
    noSignature[u32(good64, 0x3C) + 1] = 'X';   // "PX\0\0"
    EXPECT_NE(FirmwareInput::detect(noSignature), Format::Exe);
    EXPECT_EQ(refusal(noSignature), at("Windows program: no \"PE\\0\\0\" signature at ", u32(good64, 0x3C),
                                       QStringLiteral(", where the DOS header points")));
    EXPECT_NE(FirmwareInput::detect(with32(good64, 0x3C, 0x7FFFFFF0)), Format::Exe);
    EXPECT_NE(FirmwareInput::detect("MZ" + QByteArray(126, '\0')), Format::Exe);
    EXPECT_EQ(refusal(committedTestImage()), "Windows program: the file does not start with \"MZ\"");
}

TEST_F(PeResource, RefusesAProgramWithoutCustom101)
{
    ASSERT_FALSE(noResources.isEmpty());
    EXPECT_EQ(refusal(noResources, Format::Auto),
              "Windows program: the program has no resource directory, so no resource CUSTOM/101");
    EXPECT_EQ(refusal(rcDataOnly, Format::Auto), "Windows program: no resource of type \"CUSTOM\" (types present: 10)");
    EXPECT_EQ(refusal(id102Only, Format::Auto), "Windows program: no resource CUSTOM/101 (type \"CUSTOM\" holds: 102)");
}

TEST_F(PeResource, RefusesTruncatedHeaders)
{
    const qint64 pe = u32(good64, 0x3C);
    const qint64 optionalSize = qFromLittleEndian<quint16>(good64.constData() + pe + 20);
    const qint64 sectionTable = PeImage(good64).sectionTableOffset();
    const qsizetype sections = PeImage(good64).sections().size();
    const QString end = QStringLiteral(" runs past the end of the file (%1 bytes)");
    const struct {
        qint64 length;
        std::string refusal;
    } cuts[] = {
        {30, "Windows program: the DOS header at 0x0 runs past the end of the file (30 bytes)"},
        {pe + 2, at("Windows program: the PE signature the DOS header points to at ", pe, end.arg(pe + 2))},
        {pe + 10, at("Windows program: the COFF file header at ", pe + 4, end.arg(pe + 10))},
        {pe + 40, at(("Windows program: the optional header (" + std::to_string(optionalSize) + " bytes) at "),
                     pe + 24, end.arg(pe + 40))},
        {sectionTable + 60, at(("Windows program: the section table (" + std::to_string(sections) + " sections) at "),
                               sectionTable, end.arg(sectionTable + 60))},
    };
    for (const auto &cut : cuts)
        EXPECT_EQ(refusal(good64.left(cut.length)), cut.refusal);
    // Cut after the signature, it is still told apart as a program, and refused as one.
    EXPECT_EQ(refusal(good64.left(pe + 40), Format::Auto), cuts[3].refusal);
    // Cut before it, it is taken for a raw image, and the refusal says what it lacks as a program.
    EXPECT_EQ(refusal(good64.left(pe + 2), Format::Auto),
              "the image is " + std::to_string(pe + 2) + " bytes, not a whole number of 64-byte lines ("
                  + std::to_string((pe + 2) / 64) + " lines and " + std::to_string((pe + 2) % 64)
                  + " bytes over); it starts with \"MZ\" like a " + cuts[1].refusal);
}

TEST_F(PeResource, RefusesOffsetsAndSizesPastTheEnd)
{
    const QString file = QStringLiteral(" runs past the end of the file (%1 bytes)").arg(good64.size());
    const QString section = QStringLiteral(" runs past the end of ") + rsrcData();
    const qint64 pe = u32(good64, 0x3C);
    const qint64 sectionTable = PeImage(good64).sectionTableOffset();
    const qint64 typeDirectory = targetOf(found.typeEntry);
    const qint64 rsrcBeyond = good64.size() + 0x1000;
    // An RVA in .rsrc whose bytes the file does not keep.
    const QByteArray longRsrc = with32(good64, rsrcHeader + kSectionVirtualSizeField, rsrc.rawSize + 0x10000);

    EXPECT_EQ(refusal(with32(good64, 0x3C, 0x7FFFFFF0)),
              at("Windows program: the PE signature the DOS header points to at ", 0x7FFFFFF0, file));
    EXPECT_EQ(refusal(with16(good64, pe + 6, 0xFFFF)),
              at("Windows program: the section table (65535 sections) at ", sectionTable, file));
    EXPECT_EQ(refusal(with32(good64, rsrcHeader + kSectionRawOffsetField, quint32(rsrcBeyond))),
              at("Windows program: the resource directory at ", rsrcBeyond, file));
    EXPECT_EQ(refusal(with32(good64, found.typeEntry + 4, kDirectoryBit | 0x7FFFFFF0)),
              at("Windows program: the directory of type \"CUSTOM\" at ", found.rootDirectory + 0x7FFFFFF0, section));
    EXPECT_EQ(refusal(with32(good64, found.typeEntry, kDirectoryBit | 0x7FFFFFF0)),
              at("Windows program: a resource name at ", found.rootDirectory + 0x7FFFFFF0, section));
    EXPECT_EQ(refusal(with16(good64, typeDirectory + 14, 0xFFFF)),
              at("Windows program: the 65535 entries of the directory of type \"CUSTOM\" at ", typeDirectory + 16, section));
    EXPECT_EQ(refusal(with32(good64, found.languageEntry + 4, 0x7FFFFFF0)),
              at("Windows program: the data entry of resource CUSTOM/101 at ", found.rootDirectory + 0x7FFFFFF0, section));
    EXPECT_EQ(refusal(with32(good64, found.dataEntry, 0x7FFFFFF0)),
              "Windows program: the data of resource CUSTOM/101 (RVA 0x7FFFFFF0) lies in none of the "
                  + std::to_string(PeImage(good64).sections().size()) + " sections");
    const quint32 pastKept = rsrc.virtualAddress + rsrc.rawSize + 0x100;
    EXPECT_EQ(refusal(with32(longRsrc, found.dataEntry, pastKept)),
              at("Windows program: the data of resource CUSTOM/101 (RVA ", pastKept,
                 QStringLiteral(") lies in section .rsrc past the %1 bytes it keeps in the file").arg(rsrc.rawSize)));
    // A file cut short inside the container.
    const qint64 cut = found.offset + found.size - 10;
    EXPECT_EQ(refusal(good64.left(cut)),
              at("Windows program: the data of resource CUSTOM/101 (63148 bytes) at ", found.offset,
                 QStringLiteral(" runs past the end of the file (%1 bytes)").arg(cut)));
}

TEST_F(PeResource, RefusesAResourceLargerThanTheFile)
{
    for (const quint32 size : {quint32(good64.size() + 1), 0xFFFFFFFFu})
        EXPECT_EQ(refusal(with32(good64, found.dataEntry + 4, size)),
                  "Windows program: resource CUSTOM/101 claims " + std::to_string(size)
                      + " bytes, more than the whole file (" + std::to_string(good64.size()) + " bytes)");
    // Smaller than the file, larger than what is left of its section.
    const quint32 pastSection = quint32(rsrcEnd - found.offset + 1);
    ASSERT_LT(pastSection, good64.size());
    EXPECT_EQ(refusal(with32(good64, found.dataEntry + 4, pastSection)),
              at("Windows program: the data of resource CUSTOM/101 (" + std::to_string(pastSection) + " bytes) at ",
                 found.offset, QStringLiteral(" runs past the end of ") + rsrcData()));
}

TEST_F(PeResource, RefusesADirectoryLoop)
{
    const qint64 typeDirectory = targetOf(found.typeEntry);
    const qint64 idDirectory = targetOf(found.idEntry);
    const quint32 toRoot = kDirectoryBit;
    const quint32 toTypeDirectory = kDirectoryBit | quint32(typeDirectory - found.rootDirectory);
    const QString loop = QStringLiteral(" is a directory already on the way to it");

    EXPECT_EQ(refusal(with32(good64, found.typeEntry + 4, toRoot)),
              at("Windows program: directory loop: the directory of type \"CUSTOM\" at ", found.rootDirectory, loop));
    EXPECT_EQ(refusal(with32(good64, found.idEntry + 4, toTypeDirectory)),
              at("Windows program: directory loop: the directory of resource CUSTOM/101 at ", typeDirectory, loop));
    EXPECT_EQ(refusal(with32(good64, found.languageEntry + 4, kDirectoryBit | quint32(idDirectory - found.rootDirectory))),
              at("Windows program: directory loop: the directory under the language entry of CUSTOM/101 at ",
                 idDirectory, loop));
    EXPECT_EQ(refusal(with32(good64, found.languageEntry + 4, toRoot)),
              at("Windows program: directory loop: the directory under the language entry of CUSTOM/101 at ",
                 found.rootDirectory, loop));

    // A fourth level that is no loop (the directory of type RCDATA) is refused all the same.
    qint64 rcDataEntry = -1;
    const qint64 typeCount = qint64(qFromLittleEndian<quint16>(good64.constData() + found.rootDirectory + 12))
                             + qFromLittleEndian<quint16>(good64.constData() + found.rootDirectory + 14);
    for (qint64 i = 0; i < typeCount; ++i) {
        if (u32(good64, found.rootDirectory + 16 + 8 * i) == kRcDataType)
            rcDataEntry = found.rootDirectory + 16 + 8 * i;
    }
    ASSERT_GE(rcDataEntry, 0);
    EXPECT_EQ(refusal(with32(good64, found.languageEntry + 4, u32(good64, rcDataEntry + 4))),
              "Windows program: the language entry of resource CUSTOM/101 leads to a further directory where its data belongs");
    EXPECT_EQ(refusal(with32(good64, found.typeEntry + 4, 0x100)),
              "Windows program: type \"CUSTOM\" leads to data where a directory belongs");
}

// Every header and directory byte of the program, damaged in turn, and the program
// cut at every length up to its container's end: each is refused or read wholly
// inside the file. The copies lie in buffers of their exact size, so that a read
// past the end is caught by AddressSanitizer in the sanitizer build.
TEST_F(PeResource, DamageNeverLeadsOutsideTheFile)
{
    const auto check = [](const char *bytes, qint64 size) {
        try {
            const Found here = findFirmware(QByteArrayView(bytes, size));
            ASSERT_TRUE(here.offset >= 0 && here.size >= 0 && here.offset + here.size <= size);
        } catch (const ImageError &error) {
            ASSERT_TRUE(error.message().startsWith(QStringLiteral("Windows program: "))) << error.message().toStdString();
        }
    };
    const qint64 dataEnd = found.offset + found.size;
    for (qint64 length = 0; length < dataEnd; length += length < found.offset ? 1 : 509) {
        const auto copy = std::make_unique<char[]>(size_t(length));
        std::copy(good64.constData(), good64.constData() + length, copy.get());
        EXPECT_THROW(findFirmware(QByteArrayView(copy.get(), length)), ImageError) << "cut at " << length;
    }

    const qint64 headersEnd = PeImage(good64).sectionTableOffset() + PeImage(good64).sections().size() * kSectionHeaderSize;
    const auto copy = std::make_unique<char[]>(size_t(good64.size()));
    for (qint64 place = 0; place < found.offset; ++place) {
        if (place >= headersEnd && place < found.rootDirectory)
            place = found.rootDirectory;   // code and data the walk never reads
        for (const char value : {'\xFF', '\x80', '\x00'}) {
            std::copy(good64.constData(), good64.constData() + good64.size(), copy.get());
            copy[size_t(place)] = value;
            check(copy.get(), good64.size());
        }
    }
}

// The project's own Windows build made with -DREVERTEX_FIRMWARE: the program carries
// the firmware as CUSTOM/101. REVERTEX_WINDOWS_EXE names the revertex.exe (CMake option
// of the same name, or the environment); REVERTEX_WINDOWS_EXE_FIRMWARE names the
// container it was built with (the committed test image when not given).
TEST(ProjectWindowsProgram, CarriesTheFirmwareAsCustom101)
{
    const QString exe = qEnvironmentVariable("REVERTEX_WINDOWS_EXE");
    if (exe.isEmpty())
        GTEST_SKIP() << "REVERTEX_WINDOWS_EXE not given";
    const QString firmware = qEnvironmentVariable("REVERTEX_WINDOWS_EXE_FIRMWARE", committedTestImagePath());
    const QByteArray program = readFile(exe);
    ASSERT_FALSE(program.isEmpty());
    Format detected = Format::Auto;
    const QByteArray container = FirmwareInput::toContainer(program, Format::Auto, &detected);
    EXPECT_EQ(detected, Format::Exe);
    EXPECT_TRUE(container == readFile(firmware)) << exe.toStdString() << " does not carry " << firmware.toStdString();
}

} // namespace
