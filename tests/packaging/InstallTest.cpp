// `cmake --install` of the build into a scratch root: what lands where, and whether the
// desktop menu can start the installed program with the installed icon.
#include "tests/packaging/PackagingTestSupport.h"

#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

#include <memory>

namespace {

constexpr int kInstallLimitMs = 120 * 1000;
constexpr int kValidateLimitMs = 30 * 1000;
const QString kPrefix = QStringLiteral("/usr");
const QString kAppId = QStringLiteral("io.github.revertex.Revertex");

// The AppStream metadata's fields a software centre reads, by element name (the
// first of each), and the screenshot's image with its attributes.
struct Metainfo {
    QMap<QString, QString> text;
    QString releaseVersion;
    QString screenshotUrl;
    QSize screenshotSize;
    QString contentRating;
    QString helpUrl;
};

Metainfo readMetainfo(const QString &path)
{
    Metainfo info;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return info;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("release") && info.releaseVersion.isEmpty())
            info.releaseVersion = xml.attributes().value(QLatin1String("version")).toString();
        if (name == QLatin1String("content_rating"))
            info.contentRating = xml.attributes().value(QLatin1String("type")).toString();
        if (name == QLatin1String("url") && xml.attributes().value(QLatin1String("type")) == QLatin1String("help")) {
            info.helpUrl = xml.readElementText();
            continue;
        }
        if (name == QLatin1String("image") && info.screenshotUrl.isEmpty()) {
            info.screenshotSize = QSize(xml.attributes().value(QLatin1String("width")).toInt(),
                                        xml.attributes().value(QLatin1String("height")).toInt());
            info.screenshotUrl = xml.readElementText();
            continue;
        }
        if (name == QLatin1String("id") || name == QLatin1String("summary") || name == QLatin1String("launchable")
            || name == QLatin1String("binary") || name == QLatin1String("project_license")) {
            if (!info.text.contains(name))
                info.text.insert(name, xml.readElementText());
        }
    }
    return xml.hasError() ? Metainfo() : info;
}

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

TEST_F(InstallTest, InstallsTheProgramItsDesktopFilesAndDocumentsAndNothingElse)
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

// The terminal's program runs where no desktop is: nothing of the window is linked in.
TEST_F(InstallTest, TerminalProgramLinksNothingOfTheWindow)
{
    const QFileInfo program(installed(QStringLiteral("bin/revertex-cli")));
    ASSERT_TRUE(program.isExecutable());
    const QByteArray bytes = fileBytes(program.filePath());
    EXPECT_TRUE(bytes.contains("libQt6Core.so")) << "not a Qt program";
    EXPECT_FALSE(bytes.contains("libQt6Widgets.so"));
    EXPECT_FALSE(bytes.contains("libQt6Gui.so"));
}

TEST_F(InstallTest, IconIsTheProgramIconAt48Pixels)
{
    const QString icon = installed(QStringLiteral("share/icons/hicolor/48x48/apps/revertex.png"));
    EXPECT_EQ(QImage(icon).size(), QSize(48, 48));
    EXPECT_EQ(fileBytes(icon), fileBytes(sourceDir() + QStringLiteral("/resources/images/revertex.png")));
}

TEST_F(InstallTest, MenuEntryStartsTheInstalledProgramWithTheInstalledIcon)
{
    const QMap<QString, QString> entry = desktopEntry(installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop")));
    EXPECT_EQ(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")), QStringLiteral("Revertex"));
    EXPECT_FALSE(entry.value(QStringLiteral("Comment")).isEmpty());
    EXPECT_EQ(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    EXPECT_TRUE(entry.value(QStringLiteral("Categories")).endsWith(QLatin1Char(';')));

    // Exec names the program found on PATH in the prefix's bin, with the file "Open with"
    // hands it (the firmware); Icon names the themed icon.
    EXPECT_EQ(entry.value(QStringLiteral("Exec")), QStringLiteral("revertex %f"));
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
        runProgram(validator, {installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"))}, kValidateLimitMs);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_EQ(result.output.trimmed(), QByteArray()) << "no errors, warnings or hints";
}

} // namespace

namespace {

TEST_F(InstallTest, ProgramIsStrippedLikeThePackagesWithoutBeingAskedTo)
{
    // The build keeps its debugging information (RelWithDebInfo); the install does not.
    const QByteArray program = fileBytes(installed(QStringLiteral("bin/revertex")));
    ASSERT_TRUE(program.startsWith("\x7f" "ELF"));
    EXPECT_FALSE(program.contains(".debug_info")) << "cmake --install left the debugging sections in";
}

TEST_F(InstallTest, MetainfoDesktopEntryAndProgramShareOneId)
{
    const Metainfo info = readMetainfo(installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml")));
    EXPECT_EQ(info.text.value(QStringLiteral("id")), kAppId);
    EXPECT_EQ(info.text.value(QStringLiteral("launchable")), kAppId + QStringLiteral(".desktop"));
    EXPECT_TRUE(QFileInfo::exists(installed(QStringLiteral("share/applications/") + info.text.value(QStringLiteral("launchable")))));
    EXPECT_TRUE(QFileInfo::exists(installed(QStringLiteral("bin/") + info.text.value(QStringLiteral("binary")))));
    EXPECT_FALSE(info.text.value(QStringLiteral("summary")).isEmpty());
    EXPECT_EQ(info.text.value(QStringLiteral("project_license")), QStringLiteral("MIT"));
    EXPECT_EQ(info.releaseVersion, QStringLiteral(REVERTEX_VERSION));
    EXPECT_EQ(info.contentRating, QStringLiteral("oars-1.1"));

    // The window tells the desktop the same name, so that its windows group under the entry.
    const QString id = kAppId;
    const QByteArray utf16(reinterpret_cast<const char *>(id.utf16()), id.size() * 2);
    EXPECT_TRUE(fileBytes(installed(QStringLiteral("bin/revertex"))).contains(utf16)) << "desktop file name not set to the id";
}

TEST_F(InstallTest, MetainfoScreenshotIsAPagePictureOfTheStatedSize)
{
    const Metainfo info = readMetainfo(installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml")));
    ASSERT_TRUE(info.screenshotUrl.startsWith(QStringLiteral("https://"))) << info.screenshotUrl.toStdString();
    const QString picture = info.screenshotUrl.mid(info.screenshotUrl.indexOf(QStringLiteral("/docs/pages/")) + 1);
    ASSERT_TRUE(pagePictures().contains(picture)) << info.screenshotUrl.toStdString();
    EXPECT_EQ(QImage(sourceDir() + QLatin1Char('/') + picture).size(), info.screenshotSize);
}

TEST_F(InstallTest, MetainfoHelpIsAUserDocument)
{
    const Metainfo info = readMetainfo(installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml")));
    const QString prefix = QStringLiteral("https://github.com/revertex/revertex/blob/main/");
    ASSERT_TRUE(info.helpUrl.startsWith(prefix)) << info.helpUrl.toStdString();
    EXPECT_TRUE(userDocuments().contains(info.helpUrl.mid(prefix.size()))) << info.helpUrl.toStdString();
}

TEST_F(InstallTest, MetainfoPassesAppstreamcliValidate)
{
    const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstreamcli.isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed (Debian: appstream)";
    // --no-net: the screenshot's address is checked for its form, not fetched.
    const ProcessResult result = runProgram(appstreamcli,
        {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--no-color"),
         installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"))},
        kValidateLimitMs);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_FALSE(QRegularExpression(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption)
                     .match(QString::fromUtf8(result.output)).hasMatch())
        << result.output.toStdString();
}

// Every relative link of an installed user document finds its file in the install, or
// names a developers' document, which stays in the source; together they show every page.
TEST_F(InstallTest, InstalledDocumentsFindWhatTheyLinkTo)
{
    const QDir docs(installed(QStringLiteral("share/doc/revertex")));
    const QRegularExpression link(QStringLiteral("\\]\\(([^)#]+)[^)]*\\)"));
    QStringList picturesShown;
    for (const QString &document : userDocuments()) {
        const QString text = QString::fromUtf8(fileBytes(docs.filePath(document)));
        ASSERT_FALSE(text.isEmpty()) << document.toStdString();
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (target.contains(QLatin1String("://")))
                continue;
            const QString linked = docs.relativeFilePath(QDir::cleanPath(QFileInfo(docs.filePath(document)).dir().filePath(target)));
            EXPECT_TRUE(QFileInfo::exists(docs.filePath(linked)) || developerDocuments().contains(linked))
                << document.toStdString() << " links to " << target.toStdString() << ", which the install lacks";
            if (linked.endsWith(QLatin1String(".png")))
                picturesShown << linked;
        }
    }
    picturesShown.removeDuplicates();
    picturesShown.sort();
    EXPECT_EQ(picturesShown, pagePictures()) << "the user documents show every page";
}

#if REVERTEX_MANUAL_PAGE_BUILT
TEST_F(InstallTest, ManualPageTellsOptionsPortsEnvironmentFilesAndExitStatus)
{
    const QString page = QString::fromUtf8(gunzipped(installed(QStringLiteral("share/man/man1/revertex.1.gz"))));
    ASSERT_FALSE(page.isEmpty()) << "no gzip manual page";
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\.TH \"?revertex\"? \"?1\"?"), QRegularExpression::MultilineOption)
                    .match(page).hasMatch());
    EXPECT_TRUE(page.contains(QStringLiteral(REVERTEX_VERSION))) << "the page names its version";
    for (const char *section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "COM PORTS", "ENVIRONMENT", "FILES",
                                "EXIT STATUS", "TROUBLESHOOTING", "SEE ALSO"})
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\.SH \"?%1\"?$").arg(QLatin1String(section)),
                                       QRegularExpression::MultilineOption).match(page).hasMatch())
            << "no section " << section;
    // troff writes a hyphen in an option as \-.
    QString plain = page;
    plain.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    for (const char *text : {"--help", "--list-ports", "REVERTEX_COM", "dialout", "/dev/serial/by-id/",
                             "The COM port seems to be in use by some other program"})
        EXPECT_TRUE(plain.contains(QLatin1String(text))) << text;
}
#endif

} // namespace
