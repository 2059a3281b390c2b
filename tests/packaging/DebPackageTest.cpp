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

TEST_F(DebPackageTest, PackageOfATestImageBuildSaysSoAndGivesWayToTheRelease)
{
    const QByteArray info = dpkg(QStringLiteral("-I"));
    const QString version = controlField(info, "Version");
    const bool warns = info.contains("Never flash a real camera with it");
    if (REVERTEX_EMBEDS_TEST_IMAGE) {
        EXPECT_EQ(version, QStringLiteral(REVERTEX_VERSION "~testimage"));
        EXPECT_TRUE(warns) << info.toStdString();
        // dpkg must rank it below the release, so the real package replaces it.
        const ProcessResult lower = runProgram(QStringLiteral("dpkg"),
            {QStringLiteral("--compare-versions"), version, QStringLiteral("lt"), QStringLiteral(REVERTEX_VERSION)},
            kDpkgDebLimitMs);
        EXPECT_TRUE(lower.finished && lower.exitCode == 0) << version.toStdString();
    } else {
        EXPECT_EQ(version, QStringLiteral(REVERTEX_VERSION));
        EXPECT_FALSE(warns);
    }
}

TEST_F(DebPackageTest, DependsOnTheQtRuntimeAndTheDialogFont)
{
    const QSet<QString> depends = dependedOn(controlField(dpkg(QStringLiteral("-I")), "Depends"));
    for (const char *needed : {"libqt6widgets6", "libqt6serialport6", "libqt6gui6", "libqt6core6", "fonts-wine"})
        EXPECT_TRUE(depends.contains(QLatin1String(needed))) << needed << " missing from " << depends.values().join(QLatin1String(", ")).toStdString();
}

TEST_F(DebPackageTest, CarriesTheProgramMenuEntryIconAndReadmeOnly)
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
    EXPECT_EQ(fileBytes(usr + QStringLiteral("share/applications/revertex.desktop")),
              fileBytes(sourceDir() + QStringLiteral("/packaging/revertex.desktop")));
    EXPECT_EQ(fileBytes(usr + QStringLiteral("share/icons/hicolor/48x48/apps/revertex.png")),
              fileBytes(sourceDir() + QStringLiteral("/resources/images/revertex.png")));
    const QByteArray program = fileBytes(usr + QStringLiteral("bin/revertex"));
    ASSERT_TRUE(program.startsWith("\x7f" "ELF"));
    EXPECT_FALSE(program.contains(".debug_info")) << "debugging sections left in the packed program";
}

} // namespace
