// `cmake --install` of the build into a scratch root: what lands where, and whether the
// desktop menu can start the installed program with the installed icon.
#include "tests/packaging/PackagingTestSupport.h"

#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

constexpr int kInstallLimitMs = 120 * 1000;
constexpr int kValidateLimitMs = 30 * 1000;
const QString kPrefix = QStringLiteral("/usr");

// The keys of the [Desktop Entry] group.
QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0 && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

class InstallTest : public ::testing::Test {
protected:
    static std::unique_ptr<QTemporaryDir> destdir;
    static ProcessResult install;

    static void SetUpTestSuite()
    {
        destdir = std::make_unique<QTemporaryDir>();
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DESTDIR"), destdir->path());
        install = runProgram(QStringLiteral(REVERTEX_CMAKE_COMMAND),
                             {QStringLiteral("--install"), buildDir(), QStringLiteral("--prefix"), kPrefix},
                             kInstallLimitMs, QString(), environment);
    }

    static void TearDownTestSuite() { destdir.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(destdir->isValid());
        ASSERT_TRUE(install.finished && install.exitCode == 0) << install.output.toStdString();
    }

    static QString root() { return destdir->path() + kPrefix; }
    static QString installed(const QString &relative) { return root() + QLatin1Char('/') + relative; }
};

std::unique_ptr<QTemporaryDir> InstallTest::destdir;
ProcessResult InstallTest::install;

TEST_F(InstallTest, InstallsTheProgramItsMenuEntryIconAndReadmeAndNothingElse)
{
    // Below DESTDIR there is only the prefix: every path honoured both.
    QStringList expected;
    for (const QString &file : installedFiles())
        expected << kPrefix.mid(1) + QLatin1Char('/') + file;
    EXPECT_EQ(filesBelow(destdir->path()), expected);
}

TEST_F(InstallTest, ProgramIsAnExecutableBuildOfTheWizard)
{
    const QFileInfo program(installed(QStringLiteral("bin/revertex")));
    ASSERT_TRUE(program.exists());
    EXPECT_TRUE(program.isExecutable());
    EXPECT_TRUE(program.permission(QFileDevice::ExeOther)) << "every user may run it";
    // The window's caption is compiled into it: this is the wizard, not another tool.
    EXPECT_TRUE(fileBytes(program.filePath()).contains("Optivant PictureTel Flash Program"));
}

TEST_F(InstallTest, IconIsTheProgramIconAt48Pixels)
{
    const QString icon = installed(QStringLiteral("share/icons/hicolor/48x48/apps/revertex.png"));
    EXPECT_EQ(QImage(icon).size(), QSize(48, 48));
    EXPECT_EQ(fileBytes(icon), fileBytes(sourceDir() + QStringLiteral("/resources/images/revertex.png")));
}

TEST_F(InstallTest, MenuEntryStartsTheInstalledProgramWithTheInstalledIcon)
{
    const QMap<QString, QString> entry = desktopEntry(installed(QStringLiteral("share/applications/revertex.desktop")));
    EXPECT_EQ(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")), QStringLiteral("Revertex"));
    EXPECT_FALSE(entry.value(QStringLiteral("Comment")).isEmpty());
    EXPECT_EQ(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    EXPECT_TRUE(entry.value(QStringLiteral("Categories")).endsWith(QLatin1Char(';')));

    // Exec names the program found on PATH in the prefix's bin; Icon names the themed icon.
    const QString exec = entry.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
    EXPECT_EQ(exec, QStringLiteral("revertex"));
    EXPECT_TRUE(QFileInfo::exists(installed(QStringLiteral("bin/") + exec)));
    const QString icon = entry.value(QStringLiteral("Icon"));
    EXPECT_TRUE(QFileInfo::exists(installed(QStringLiteral("share/icons/hicolor/48x48/apps/") + icon + QStringLiteral(".png"))))
        << icon.toStdString();
}

TEST_F(InstallTest, MenuEntryPassesDesktopFileValidate)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian: desktop-file-utils)";
    const ProcessResult result =
        runProgram(validator, {installed(QStringLiteral("share/applications/revertex.desktop"))}, kValidateLimitMs);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_EQ(result.output.trimmed(), QByteArray()) << "no errors, warnings or hints";
}

} // namespace
