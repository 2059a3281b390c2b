// The Debian package as CPack makes it from the build: its control data (name,
// version, what it depends on) and its contents.
#include "tests/packaging/PackagingTestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace {

// CPack builds what is out of date before it packs: on a built tree that takes seconds.
constexpr int kCpackLimitMs = 20 * 60 * 1000;
constexpr int kDpkgDebLimitMs = 60 * 1000;
constexpr int kLintianLimitMs = 5 * 60 * 1000;

// Package names in a Depends field, without versions or alternatives.
QSet<QString> dependedOn(const QString &depends)
{
    QSet<QString> names;
    for (const QString &clause : depends.split(QLatin1Char(','), Qt::SkipEmptyParts))
        for (const QString &alternative : clause.split(QLatin1Char('|')))
            names.insert(alternative.trimmed().section(QLatin1Char(' '), 0, 0));
    return names;
}

// One field of `dpkg-deb -I` output (the control file, indented by one blank).
QString controlField(const QByteArray &info, const char *field)
{
    const QRegularExpression line(QStringLiteral("^ %1: (.*)$").arg(QLatin1String(field)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(info)).captured(1).trimmed();
}

class DebPackageTest : public ::testing::Test {
protected:
    static std::unique_ptr<QTemporaryDir> output;
    static QString dpkgDeb;
    static QString package;
    static ProcessResult cpack;

    static void SetUpTestSuite()
    {
        dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        if (dpkgDeb.isEmpty() || !QFile::exists(QStringLiteral(REVERTEX_CPACK_COMMAND)))
            return;
        output = std::make_unique<QTemporaryDir>();
        cpack = runProgram(QStringLiteral(REVERTEX_CPACK_COMMAND),
                           {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), output->path()},
                           kCpackLimitMs, buildDir());
        const QStringList debs = QDir(output->path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (debs.size() == 1)
            package = output->filePath(debs.first());
    }

    static void TearDownTestSuite() { output.reset(); }

    void SetUp() override
    {
        if (dpkgDeb.isEmpty())
            GTEST_SKIP() << "dpkg-deb is not installed";
        if (!QFile::exists(QStringLiteral(REVERTEX_CPACK_COMMAND)))
            GTEST_SKIP() << "cpack is not installed";
        ASSERT_TRUE(cpack.finished && cpack.exitCode == 0) << cpack.output.toStdString();
        ASSERT_FALSE(package.isEmpty()) << "cpack made no single .deb:\n" << cpack.output.toStdString();
    }

    static QByteArray dpkg(const QString &option, const QStringList &more = {})
    {
        const ProcessResult result = runProgram(dpkgDeb, QStringList{option, package} + more, kDpkgDebLimitMs);
        EXPECT_TRUE(result.finished && result.exitCode == 0) << result.output.toStdString();
        return result.output;
    }
};

std::unique_ptr<QTemporaryDir> DebPackageTest::output;
QString DebPackageTest::dpkgDeb;
QString DebPackageTest::package;
ProcessResult DebPackageTest::cpack;

TEST_F(DebPackageTest, ControlNamesTheProgramAndItsVersion)
{
    const QByteArray info = dpkg(QStringLiteral("-I"));
    EXPECT_EQ(controlField(info, "Package"), QStringLiteral("revertex"));
    EXPECT_TRUE(controlField(info, "Version").startsWith(QStringLiteral(REVERTEX_VERSION)));
    EXPECT_FALSE(controlField(info, "Maintainer").isEmpty());
    EXPECT_FALSE(controlField(info, "Description").isEmpty());
}

// The release's version either way. A package built without firmware says it brings
// none, and its program holds none: no resource CUSTOM/101 and no copy of our test
// image. One built with -DREVERTEX_FIRMWARE still carries its firmware.
TEST_F(DebPackageTest, CarriesFirmwareOnlyWhenTheBuildWasGivenIt)
{
    const QByteArray info = dpkg(QStringLiteral("-I"));
    EXPECT_EQ(controlField(info, "Version"), QStringLiteral(REVERTEX_VERSION));
    EXPECT_EQ(info.contains("The camera's firmware is not included"), !REVERTEX_EMBEDS_FIRMWARE) << info.toStdString();

    QTemporaryDir unpacked;
    dpkg(QStringLiteral("-x"), {unpacked.path()});
    const QByteArray program = fileBytes(unpacked.path() + QStringLiteral("/usr/bin/revertex"));
    ASSERT_TRUE(program.startsWith("\x7f" "ELF"));
    // Qt's resource tree stores a name as its length, a hash and UTF-16 big-endian characters.
    const QRegularExpression customResource(QStringLiteral("\\x00\\x06.{4}\\x00C\\x00U\\x00S\\x00T\\x00O\\x00M"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const bool hasResource = customResource.match(QString::fromLatin1(program)).hasMatch();
    EXPECT_EQ(hasResource, bool(REVERTEX_EMBEDS_FIRMWARE));
    if (!REVERTEX_EMBEDS_FIRMWARE) {
        const QByteArray testImage = fileBytes(sourceDir() + QStringLiteral("/resources/firmware/ptz2-test-image.container"));
        ASSERT_EQ(testImage.size(), 63148);
        EXPECT_FALSE(program.contains(testImage.mid(4, 256))) << "the program holds the test image";
    }
}

TEST_F(DebPackageTest, DependsOnTheQtRuntimeAndTheDialogFont)
{
    const QSet<QString> depends = dependedOn(controlField(dpkg(QStringLiteral("-I")), "Depends"));
    for (const char *needed : {"libqt6widgets6", "libqt6serialport6", "libqt6gui6", "libqt6core6", "fonts-wine"})
        EXPECT_TRUE(depends.contains(QLatin1String(needed))) << needed << " missing from " << depends.values().join(QLatin1String(", ")).toStdString();
}

TEST_F(DebPackageTest, CarriesWhatAnInstallInstallsAndNothingElse)
{
    // `dpkg-deb -c` lists like `tar tv`: mode, owner, size, date, time, path.
    QStringList files;
    QString programMode;
    for (const QByteArray &line : dpkg(QStringLiteral("-c")).split('\n')) {
        const QStringList columns = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() < 6 || !columns.first().startsWith(QLatin1Char('-')))
            continue;
        const QString path = columns.at(5).mid(QStringLiteral("./usr/").size());
        files << path;
        if (path == QLatin1String("bin/revertex"))
            programMode = columns.first();
        EXPECT_EQ(columns.at(1), QStringLiteral("root/root")) << path.toStdString();
    }
    files.sort();
    EXPECT_EQ(files, installedFiles());
    EXPECT_EQ(programMode, QStringLiteral("-rwxr-xr-x"));
}

TEST_F(DebPackageTest, PackedFilesAreTheProjectsOwnAndTheProgramIsStripped)
{
    QTemporaryDir unpacked;
    dpkg(QStringLiteral("-x"), {unpacked.path()});
    const QString usr = unpacked.path() + QStringLiteral("/usr/");
    EXPECT_EQ(fileBytes(usr + QStringLiteral("share/applications/io.github.revertex.Revertex.desktop")),
              fileBytes(sourceDir() + QStringLiteral("/packaging/io.github.revertex.Revertex.desktop")));
    EXPECT_EQ(fileBytes(usr + QStringLiteral("share/icons/hicolor/48x48/apps/revertex.png")),
              fileBytes(sourceDir() + QStringLiteral("/resources/images/revertex.png")));
    for (const QString &document : userDocuments())
        EXPECT_EQ(fileBytes(usr + QStringLiteral("share/doc/revertex/") + document),
                  fileBytes(sourceDir() + QLatin1Char('/') + document)) << document.toStdString();
    const QByteArray program = fileBytes(usr + QStringLiteral("bin/revertex"));
    ASSERT_TRUE(program.startsWith("\x7f" "ELF"));
    EXPECT_FALSE(program.contains(".debug_info")) << "debugging sections left in the packed program";
}

TEST_F(DebPackageTest, LintianFindsNoErrorAndNoWarning)
{
    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (lintian.isEmpty())
        GTEST_SKIP() << "lintian is not installed";
    // Exit 0 alone is not enough: lintian's own failure (a tag it does not know, say)
    // also shows as E: or W: lines, which must not be there either.
    const ProcessResult result = runProgram(lintian,
        {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), QStringLiteral("--tag-display-limit"), QStringLiteral("0"), package},
        kLintianLimitMs);
    ASSERT_TRUE(result.finished) << "lintian did not finish";
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    const QRegularExpression errorOrWarning(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption);
    EXPECT_FALSE(errorOrWarning.match(QString::fromUtf8(result.output)).hasMatch()) << result.output.toStdString();
}

TEST_F(DebPackageTest, CopyrightIsMachineReadableWithTheLicenceOfTheRepository)
{
    QTemporaryDir unpacked;
    dpkg(QStringLiteral("-x"), {unpacked.path()});
    const QString copyright = QString::fromUtf8(fileBytes(unpacked.path() + QStringLiteral("/usr/share/doc/revertex/copyright")));
    ASSERT_FALSE(copyright.isEmpty());
    EXPECT_TRUE(copyright.startsWith(QStringLiteral("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")));
    EXPECT_TRUE(copyright.contains(QStringLiteral("\nFiles: *\nCopyright: 2026 the Revertex authors\nLicense: MIT\n")));

    // The stand-alone License paragraph is LICENSE's terms, line for line.
    const int paragraph = copyright.indexOf(QStringLiteral("\n\nLicense: MIT\n"));
    ASSERT_GE(paragraph, 0) << copyright.toStdString();
    QString terms;
    for (const QString &line : copyright.mid(paragraph + 15).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        ASSERT_TRUE(line.startsWith(QLatin1Char(' '))) << "unindented line in the licence: " << line.toStdString();
        terms += (line == QLatin1String(" .") ? QString() : line.mid(1)) + QLatin1Char('\n');
    }
    const QString license = QString::fromUtf8(fileBytes(sourceDir() + QStringLiteral("/LICENSE")));
    EXPECT_TRUE(license.endsWith(terms)) << terms.toStdString();
    EXPECT_TRUE(terms.startsWith(QStringLiteral("Permission is hereby granted")));

    // What the program carries is covered too: no firmware, or a firmware that is not ours.
    EXPECT_TRUE(copyright.contains(REVERTEX_EMBEDS_FIRMWARE ? QStringLiteral("\nDisclaimer: usr/bin/revertex embeds the camera firmware")
                                                            : QStringLiteral("\nComment: usr/bin/revertex carries no camera firmware")))
        << copyright.toStdString();
}

TEST_F(DebPackageTest, ChangelogIsTheDebianFormOfTheRepositorysChangelog)
{
    QTemporaryDir unpacked;
    dpkg(QStringLiteral("-x"), {unpacked.path()});
    const QString changelog = unpacked.path() + QStringLiteral("/usr/share/doc/revertex/changelog.gz");
    const QByteArray text = gunzipped(changelog);
    ASSERT_FALSE(text.isEmpty()) << "no gzip changelog";
    EXPECT_TRUE(text.startsWith("revertex (" REVERTEX_VERSION ") unstable; urgency=medium\n\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n -- " + QByteArray(REVERTEX_PACKAGE_CONTACT) + "  ")) << text.toStdString();
    // gzip -n: no file name and no time stamp in the header, so the package is reproducible.
    const QByteArray header = fileBytes(changelog).left(10);
    ASSERT_EQ(header.size(), 10);
    EXPECT_EQ(header.at(3) & 0x08, 0) << "file name stored";
    EXPECT_EQ(header.mid(4, 4), QByteArray(4, '\0')) << "time stamp stored";

    const QString parser = QStandardPaths::findExecutable(QStringLiteral("dpkg-parsechangelog"));
    if (parser.isEmpty())
        return;
    QTemporaryDir scratch;
    QFile plain(scratch.filePath(QStringLiteral("changelog")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly) && plain.write(text) == text.size());
    plain.close();
    const ProcessResult parsed = runProgram(parser, {QStringLiteral("-l"), plain.fileName(), QStringLiteral("-S"), QStringLiteral("Version")},
                                            kDpkgDebLimitMs);
    EXPECT_TRUE(parsed.finished && parsed.exitCode == 0) << parsed.output.toStdString();
    EXPECT_EQ(parsed.output.trimmed(), QByteArray(REVERTEX_VERSION));
}

} // namespace
