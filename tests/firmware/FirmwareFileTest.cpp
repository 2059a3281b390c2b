// A firmware file as a person names it to the wizard: every way it can be refused, in
// the words the person is shown (the file, what it was read as, what is wrong), and
// the version rule that keeps the camera check and the image it flashes in step.
#include "flash/FirmwareFile.h"
#include "flash/FirmwareImage.h"
#include "flash/FirmwareVersion.h"
#include "flash/ImageError.h"
#include "flash/ImagePacking.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/firmware/PeTestPrograms.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace FirmwareTestFiles;
using PeTestPrograms::Bits;

namespace {

QByteArray testImageWithVersion(const QByteArray &text)
{
    QByteArray image = ImagePacking::imageFromLines(unpackFirmware(committedTestImage()));
    const FirmwareVersion::Text version = FirmwareVersion::find(image);
    image.replace(version.offset, version.text.size(), text);
    return image;
}

QByteArray withBrokenChecksum(int record)
{
    LineRecords lines = unpackFirmware(committedTestImage());
    QByteArray container = field(qint32(lines.size() - 1));
    for (int k = 0; k < lines.size(); ++k) {
        QByteArray body = lines.at(k);
        if (k == record)
            body[0] = static_cast<char>(body.at(0) == '\x11' ? '\x12' : '\x11');   // no escaped byte
        container += field(qint32(body.size())) + body;
    }
    return container;
}

QByteArray hexWithBadChecksum()
{
    return ":020000040000FA\r\n:10000000000102030405060708090A0B0C0D0E0F79\r\n:00000001FF\r\n";
}

struct Row {
    const char *name;                          // the file's name in the table and on disk
    std::function<QString(const QString &)> make;   // writes the file into the folder, returns its path
    const char *readAs;                        // "" when it is refused before it is read as anything
    const char *fault;                         // the fault exactly, or its start when it ends in "..."
};

QString written(const QString &dir, const char *name, const QByteArray &data)
{
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    writeFile(path, data);
    return path;
}

QString program(const QString &dir, const char *name, const QString &statement, const QByteArray &data)
{
    if (!PeTestPrograms::available(Bits::Pe32))
        return QString();
    return PeTestPrograms::build(dir, QString::fromLatin1(name), Bits::Pe32, {{statement, data}});
}

TEST(FirmwareFile, EveryRefusalNamesTheFileWhatItWasReadAsAndTheFault)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QByteArray test = committedTestImage();
    const Row rows[] = {
        {"absent.bin", [](const QString &d) { return QDir(d).filePath(QStringLiteral("absent.bin")); }, "",
         "cannot be read: ..."},
        {"folder", [](const QString &d) { QDir(d).mkdir(QStringLiteral("folder")); return QDir(d).filePath(QStringLiteral("folder")); },
         "", "a folder, not a file"},
        {"empty.bin", [](const QString &d) { return written(d, "empty.bin", QByteArray()); }, "", "the file is empty"},
        {"huge.bin",
         [](const QString &d) {
             QFile file(QDir(d).filePath(QStringLiteral("huge.bin")));
             EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(FirmwareFile::kMaxBytes + 1));   // sparse
             return file.fileName();
         },
         "", "67108865 bytes, far more than any firmware file (at most 67108864 bytes)"},
        {"notes.txt", [](const QString &d) { return written(d, "notes.txt", "this is not firmware"); }, "a raw MCS-51 image",
         "the image is 20 bytes, not a whole number of 64-byte lines (0 lines and 20 bytes over)"},
        {"bad-sum.container", [](const QString &d) { return written(d, "bad-sum.container", withBrokenChecksum(17)); },
         "a firmware container", "record 17 of 899: checksum ..."},
        {"cut.container", [&test](const QString &d) { return written(d, "cut.container", test.left(20000)); }, "a firmware container",
         "record 284 of 899: length 65 runs past the end: only 30 bytes are left (read as a container because of its "
         "first four bytes; ..."},
        {"short.container", [&test](const QString &d) { return written(d, "short.container", test.left(1000)); },
         "a firmware container", "a count of 899 records runs past the end: only 996 bytes follow it (read as ..."},
        {"bad.hex", [](const QString &d) { return written(d, "bad.hex", hexWithBadChecksum()); }, "an Intel HEX file",
         "line 2: checksum 0x79 where the record needs 0x78"},
        {"older.bin", [](const QString &d) { return written(d, "older.bin", testImageWithVersion("CBOX 3.40")); },
         "a raw MCS-51 image", "version text \"CBOX 3.40\", this wizard flashes 3.46"},
        {"unversioned.bin", [](const QString &d) { return written(d, "unversioned.bin", testImageWithVersion("XXXX 3.46")); },
         "a raw MCS-51 image", "the image carries no version text (\"CBOX\" and a version), this wizard flashes 3.46"},
        {"other.exe", [&test](const QString &d) { return program(d, "other", QStringLiteral("102 CUSTOM"), test); },
         "a Windows program", "no resource CUSTOM/101 (type \"CUSTOM\" holds: 102)"},
        {"damaged.exe",
         [](const QString &d) { return program(d, "damaged", QStringLiteral("101 CUSTOM"), withBrokenChecksum(17)); },
         "a Windows program", "record 17 of 899: checksum ..."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = row.make(work.path());
        if (path.isEmpty()) {
            std::printf("%s: skipped, %s\n", row.name, qPrintable(PeTestPrograms::missingTools(Bits::Pe32)));
            continue;
        }
        try {
            FirmwareFile::load(path);
            ADD_FAILURE() << "accepted";
        } catch (const FirmwareRefusal &refusal) {
            EXPECT_EQ(refusal.path(), path);
            EXPECT_EQ(refusal.readAs(), QString::fromLatin1(row.readAs));
            const QString fault = QString::fromLatin1(row.fault);
            if (fault.endsWith(QStringLiteral("...")))
                EXPECT_TRUE(refusal.fault().startsWith(fault.chopped(3))) << refusal.fault().toStdString();
            else
                EXPECT_EQ(refusal.fault(), fault);
            const QString readAs = *row.readAs ? QStringLiteral(", read as %1").arg(QString::fromLatin1(row.readAs)) : QString();
            EXPECT_EQ(refusal.message(), path + readAs + QStringLiteral(": ") + refusal.fault());
        }
    }
}

// The version the image must carry is the one the camera check compares with, and
// exactly it: a longer version is another version.
TEST(FirmwareFile, TakesOnlyTheVersionTheCameraCheckComparesWith)
{
    for (const char *text : {"CBOX 3.460", "CBOX 3.4", "cbox 3.46"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(FirmwareFile::check(testImageWithVersion(text)), ImageError);
    }
    const CheckedFirmware checked = FirmwareFile::check(committedTestImage());
    EXPECT_EQ(checked.format, FirmwareInput::Format::Container);
    EXPECT_EQ(checked.container, committedTestImage());
    EXPECT_EQ(checked.lines.size(), 899);
}

} // namespace
