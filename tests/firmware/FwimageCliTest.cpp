// The fwimage program as the build and a user run it: exit status, what it prints,
// what it writes, on good files and bad ones.
#include "flash/FirmwareImage.h"
#include "flash/ImagePacking.h"
#include "flash/PeResourceReader.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/firmware/PeTestPrograms.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace FirmwareTestFiles;

namespace {

constexpr int kRunLimitMs = 60000;   // generous: a loaded CI machine, never a real wait

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class FwimageCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        committed = committedTestImage();
        ASSERT_FALSE(committed.isEmpty());
    }

    ProgramRun fwimage(const QStringList &arguments)
    {
        QProcess process;
        process.setProgram(buildPath(QStringLiteral("fwimage")));
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start();
        ProgramRun run;
        if (!process.waitForFinished(kRunLimitMs) || process.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "fwimage did not finish normally: " << process.errorString().toStdString();
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitCode();
        // Windows programs end their text lines with CR LF.
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        run.err = QString::fromLocal8Bit(process.readAllStandardError()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return run;
    }

    QString file(const QString &name, const QByteArray &data)
    {
        const QString path = dir.filePath(name);
        writeFile(path, data);
        return path;
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QByteArray committed;
};

TEST_F(FwimageCli, VerifyPrintsTheFiguresOfTheCommittedImage)
{
    const ProgramRun run = fwimage({QStringLiteral("verify"), committedTestImagePath()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    for (const char *figure : {"records: 899\n", "upper index U: 898\n", "container size: 63148 bytes\n",
                               "trailing bytes: 1\n", "body length L: 65 to 80\n", "bodies without escape: 465\n",
                               "escaped bytes: 1112 (0x02: 682, 0x04: 237, 0x7F: 193)\n",
                               "escaped checksums: 7 (0x02: 3, 0x04: 2, 0x7F: 2)\n",
                               "version text: \"CBOX 3.46\" at image offset 0x7B\n"})
        EXPECT_TRUE(run.out.contains(QLatin1String(figure))) << figure << " missing from\n" << run.out.toStdString();
}

TEST_F(FwimageCli, UnpackAndPackGiveTheCommittedContainerBack)
{
    const ProgramRun unpacked = fwimage({QStringLiteral("unpack"), committedTestImagePath(), path("image.bin")});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err.toStdString();
    EXPECT_EQ(QFileInfo(path("image.bin")).size(), 57536);

    const ProgramRun packed = fwimage({QStringLiteral("pack"), path("image.bin"), path("packed.container")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err.toStdString();
    // Packing writes no trailing byte; the records are the same.
    EXPECT_EQ(readFile(path("packed.container")), committed.left(committed.size() - 1));
}

TEST_F(FwimageCli, GeneratesTheCommittedTestImage)
{
    const ProgramRun run = fwimage({QStringLiteral("generate-test-image"), path("test.container")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(readFile(path("test.container")) == committed);
}

TEST_F(FwimageCli, EmbedAcceptsEachFormatAndWritesTheContainer)
{
    const QByteArray image = ImagePacking::imageFromLines(unpackFirmware(committed));
    const ProgramRun fromContainer = fwimage({QStringLiteral("embed"), committedTestImagePath(), path("a.container")});
    EXPECT_EQ(fromContainer.exitCode, 0) << fromContainer.err.toStdString();
    EXPECT_TRUE(readFile(path("a.container")) == committed);
    EXPECT_TRUE(fromContainer.out.contains(QLatin1String("899 lines, version CBOX 3.46"))) << fromContainer.out.toStdString();

    const ProgramRun fromRaw = fwimage({QStringLiteral("embed"), file("image.bin", image), path("b.container")});
    EXPECT_EQ(fromRaw.exitCode, 0) << fromRaw.err.toStdString();
    EXPECT_TRUE(readFile(path("b.container")) == ImagePacking::packImage(image));
}

TEST_F(FwimageCli, RefusesBadInputWithAClearMessageAndWritesNothing)
{
    QByteArray badChecksum = committed;
    badChecksum[4 + 4 + 64] = static_cast<char>(badChecksum.at(4 + 4 + 64) ^ 0x01);   // record 0's checksum
    QByteArray older = ImagePacking::imageFromLines(unpackFirmware(committed));
    older.replace(older.indexOf("CBOX 3.46"), 9, "CBOX 3.40");
    const struct {
        QStringList arguments;
        int exitCode;
        const char *message;
    } cases[] = {
        {{"embed", file("bad.container", badChecksum), path("out")}, 1,
         "bad.container: record 0 of 899: checksum 0x"},
        {{"embed", file("short.container", committed.left(1000)), path("out")}, 1,
         "short.container: container: a count of 899 records runs past the end: only 996 bytes follow it"},
        {{"embed", file("cut.container", committed.left(20000)), path("out")}, 1,
         "cut.container: record 284 of 899: length 65 runs past the end: only 30 bytes are left"},
        {{"verify", file("odd.bin", QByteArray(100, '\x11') + QByteArray(1, '\x80')), path("unused")}, 2,
         "verify takes 1 file name, not 2"},
        {{"pack", file("odd.bin", QByteArray(1, '\x80') + QByteArray(99, '\x11')), path("out")}, 1,
         "odd.bin: the image is 100 bytes, not a whole number of 64-byte lines"},
        {{"pack", committedTestImagePath(), path("out")}, 1, "this looks like a container already"},
        {{"embed", file("nops.bin", QByteArray(4, '\x00') + QByteArray(124, '\x11')), path("out")}, 1,
         "nops.bin: container: only one record (upper index 0); a firmware image has at least two (read as a "
         "container because of its first four bytes; if the file is a raw image, fwimage --format=raw reads it as one"},
        {{"verify", file("erased.bin", QByteArray(4, '\xFF') + QByteArray(124, '\x11'))}, 1,
         "erased.bin: container: negative record count: upper index -1 (read as a container because of its "
         "first four bytes; if the file is a raw image, fwimage --format=raw reads it as one"},
        {{"pack", file("bad.hex", ":0100000011EF\r\n"), path("out")}, 1,
         "bad.hex: Intel HEX: line 1: checksum 0xEF where the record needs 0xEE"},
        {{"verify", path("missing")}, 1, "missing: cannot be read: "},
        {{"embed", file("older.bin", older), path("out")}, 1, "older.bin: version text \"CBOX 3.40\", this wizard flashes 3.46"},
        {{"unpack", file("empty", QByteArray()), path("out")}, 1, "empty: the file is empty"},
        {{"embed", "--format=elf", committedTestImagePath(), path("out")}, 2,
         "unknown format 'elf' (auto, container, raw, hex or exe)"},
        {{"flash", committedTestImagePath()}, 2, "unknown command 'flash'"},
        {{}, 2, "no command given"},
    };
    for (const auto &c : cases) {
        const ProgramRun run = fwimage(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message)))
            << c.arguments.join(' ').toStdString() << "\nwanted: " << c.message << "\ngot: " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("out"))) << "output written for " << c.arguments.join(' ').toStdString();
    }
}

TEST_F(FwimageCli, ReadsTheFirmwareAWindowsProgramCarries)
{
    if (!PeTestPrograms::available(PeTestPrograms::Bits::Pe32))
        GTEST_SKIP() << "MinGW-w64 tools missing: " << PeTestPrograms::missingTools(PeTestPrograms::Bits::Pe32).toStdString();
    const QString exe = PeTestPrograms::build(dir.path(), QStringLiteral("revertex"), PeTestPrograms::Bits::Pe32,
                                              {{QStringLiteral("101 CUSTOM"), committed}});
    ASSERT_FALSE(exe.isEmpty());

    const ProgramRun verified = fwimage({QStringLiteral("verify"), exe});
    EXPECT_EQ(verified.exitCode, 0) << verified.err.toStdString();
    for (const char *line : {"format: exe\n", "resource CUSTOM/101: 63148 bytes at file offset 0x",
                             ", language 0x0409 (PE32, 32-bit)\n", "records: 899\n",
                             "version text: \"CBOX 3.46\" at image offset 0x7B\n"})
        EXPECT_TRUE(verified.out.contains(QLatin1String(line))) << line << " missing from\n" << verified.out.toStdString();

    const ProgramRun embedded = fwimage({QStringLiteral("embed"), exe, path("firmware.container")});
    EXPECT_EQ(embedded.exitCode, 0) << embedded.err.toStdString();
    EXPECT_TRUE(readFile(path("firmware.container")) == committed);
    EXPECT_TRUE(embedded.out.contains(QLatin1String("(exe): 899 lines, version CBOX 3.46"))) << embedded.out.toStdString();

    const ProgramRun unpacked = fwimage({QStringLiteral("unpack"), QStringLiteral("--format=exe"), exe, path("image.bin")});
    EXPECT_EQ(unpacked.exitCode, 0) << unpacked.err.toStdString();
    EXPECT_TRUE(readFile(path("image.bin")) == ImagePacking::imageFromLines(unpackFirmware(committed)));

    // Cut inside its container: refused, and nothing written.
    const QByteArray program = readFile(exe);
    const qint64 containerEnd = PeResourceReader::find(program, QStringLiteral("CUSTOM"), 101).offset + committed.size();
    const ProgramRun cut = fwimage({QStringLiteral("embed"), file("cut.exe", program.left(containerEnd - 100)), path("out")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.err.contains(QLatin1String("cut.exe: Windows program: the data of resource CUSTOM/101 (63148 bytes) at 0x")))
        << cut.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("out")));

    const ProgramRun notAProgram = fwimage({QStringLiteral("verify"), QStringLiteral("--format=exe"), committedTestImagePath()});
    EXPECT_EQ(notAProgram.exitCode, 1);
    EXPECT_TRUE(notAProgram.err.contains(QLatin1String("Windows program: the file does not start with \"MZ\"")))
        << notAProgram.err.toStdString();
}

TEST_F(FwimageCli, HelpDescribesTheCommandsAndTheFormatRule)
{
    const ProgramRun run = fwimage({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    for (const char *text : {"pack IN OUT", "verify FILE", "unpack IN OUT", "embed IN OUT", "generate-test-image OUT",
                             "first\nnon-blank character is ':' is Intel HEX", "container, raw, hex or exe",
                             "resource CUSTOM/101 is the container"})
        EXPECT_TRUE(run.out.contains(QLatin1String(text))) << text;
}

} // namespace
