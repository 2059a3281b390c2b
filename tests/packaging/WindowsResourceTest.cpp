// app/revertex.rc, compiled as a MinGW build of revertex.exe compiles it (windres; a
// cross windres here): the icon and the version information that Explorer shows.
#include "tests/packaging/PackagingTestSupport.h"
#include "tests/packaging/ResFile.h"
#include "tests/packaging/VersionInfoTree.h"

#include <QTemporaryDir>
#include <QVersionNumber>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

namespace {

constexpr int kWindresLimitMs = 60 * 1000;
constexpr quint16 kEnglishUs = 0x0409;
constexpr quint16 kUnicodeCodePage = 1200;
constexpr quint32 kFixedInfoSignature = 0xFEEF04BD;
constexpr quint32 kOsNtWindows32 = 0x40004;
constexpr quint32 kFileTypeApplication = 1;
constexpr quint16 kAmd64Machine = 0x8664;

using ResFile::dword;
using ResFile::word;

// One image of an .ico: its size and colour depth, and its bytes as stored.
struct IconImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    QByteArray bytes;
};

QList<IconImage> iconImages(const QByteArray &ico)
{
    QList<IconImage> images;
    const int count = word(ico, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const QByteArray bytes = ico.mid(dword(ico, entry + 12), dword(ico, entry + 8));
        // Each image is a BITMAPINFOHEADER and its pixels; its height counts the mask too.
        images.append({int(dword(bytes, 4)), int(dword(bytes, 8)) / 2, int(word(bytes, 14)), bytes});
    }
    return images;
}

class WindowsResourceTest : public ::testing::Test {
protected:
    static std::unique_ptr<QTemporaryDir> work;
    static QString windres;
    static ProcessResult toRes;
    static ProcessResult toCoff;
    static QList<ResFile::Entry> entries;

    static void SetUpTestSuite()
    {
        windres = QStringLiteral(REVERTEX_WINDRES);
        if (windres.isEmpty() || !QFile::exists(windres))
            return;
        // windres preprocesses with the MinGW compiler; where only MinGW's binutils are
        // installed, the host's C preprocessor does the same job for this script.
        QStringList common;
        if (QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-gcc")).isEmpty()) {
            const QString cpp = QStandardPaths::findExecutable(QStringLiteral("cpp"));
            if (cpp.isEmpty()) {
                windres.clear();   // nothing to preprocess with: skipped like a missing windres
                return;
            }
            common << QStringLiteral("--preprocessor=") + cpp;
        }
        work = std::make_unique<QTemporaryDir>();
        common << QStringLiteral("-I") << sourceDir() << sourceDir() + QStringLiteral("/app/revertex.rc");
        toRes = runProgram(windres, QStringList{QStringLiteral("-O"), QStringLiteral("res")} + common
                                        + QStringList{work->filePath(QStringLiteral("revertex.res"))},
                           kWindresLimitMs);
        toCoff = runProgram(windres, QStringList{QStringLiteral("-O"), QStringLiteral("coff")} + common
                                         + QStringList{work->filePath(QStringLiteral("revertex.rc.obj"))},
                            kWindresLimitMs);
        if (toRes.finished && toRes.exitCode == 0)
            entries = ResFile::read(fileBytes(work->filePath(QStringLiteral("revertex.res"))));
    }

    static void TearDownTestSuite() { work.reset(); }

    void SetUp() override
    {
        if (windres.isEmpty() || !QFile::exists(windres))
            GTEST_SKIP() << "windres, or a C preprocessor for it, is not installed (Debian: binutils-mingw-w64-x86-64, cpp)";
        ASSERT_TRUE(toRes.finished && toRes.exitCode == 0) << toRes.output.toStdString();
    }

    static QList<ResFile::Entry> ofType(quint16 type)
    {
        QList<ResFile::Entry> found;
        for (const ResFile::Entry &e : entries)
            if (e.type == type)
                found.append(e);
        return found;
    }
};

std::unique_ptr<QTemporaryDir> WindowsResourceTest::work;
QString WindowsResourceTest::windres;
ProcessResult WindowsResourceTest::toRes;
ProcessResult WindowsResourceTest::toCoff;
QList<ResFile::Entry> WindowsResourceTest::entries;

TEST_F(WindowsResourceTest, ProgramIconHasItsThreeImages)
{
    std::set<std::tuple<int, int, int>> kinds;
    for (const IconImage &image : iconImages(fileBytes(sourceDir() + QStringLiteral("/resources/images/revertex.ico"))))
        kinds.insert({image.width, image.height, image.bitsPerPixel});
    const std::set<std::tuple<int, int, int>> expected{{32, 32, 4}, {16, 16, 4}, {32, 32, 1}};
    EXPECT_EQ(kinds, expected) << "32 x 32 and 16 x 16 in 16 colours, 32 x 32 monochrome";
}

TEST_F(WindowsResourceTest, IconGroupCarriesEveryImageOfTheIconFile)
{
    const QList<ResFile::Entry> groups = ofType(ResFile::GroupIcon);
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups.first().id, 1) << "the lowest icon ID is the program's icon";
    EXPECT_EQ(groups.first().language, kEnglishUs);

    const QList<IconImage> images = iconImages(fileBytes(sourceDir() + QStringLiteral("/resources/images/revertex.ico")));
    const QByteArray &group = groups.first().data;
    ASSERT_EQ(int(word(group, 4)), images.size());
    const QList<ResFile::Entry> icons = ofType(ResFile::Icon);
    ASSERT_EQ(icons.size(), images.size());
    for (int i = 0; i < images.size(); ++i) {
        // GRPICONDIRENTRY: 14 bytes after the 6-byte header; the resource ID is last.
        const qsizetype entry = 6 + 14 * i;
        const quint16 id = word(group, entry + 12);
        EXPECT_EQ(qsizetype(dword(group, entry + 8)), images[i].bytes.size());
        const auto icon = std::find_if(icons.begin(), icons.end(), [id](const ResFile::Entry &e) { return e.id == id; });
        ASSERT_NE(icon, icons.end()) << "no icon image " << id;
        EXPECT_EQ(icon->data, images[i].bytes) << "image " << i;
    }
}

TEST_F(WindowsResourceTest, VersionInformationIs1_00OfRevertexInUsEnglishUnicode)
{
    const QList<ResFile::Entry> versions = ofType(ResFile::Version);
    ASSERT_EQ(versions.size(), 1);
    EXPECT_EQ(versions.first().id, 1);
    EXPECT_EQ(versions.first().language, kEnglishUs);

    const VersionNode root = VersionNode::read(versions.first().data);
    EXPECT_EQ(root.key, QStringLiteral("VS_VERSION_INFO"));
    ASSERT_EQ(root.value.size(), 52) << "VS_FIXEDFILEINFO";
    EXPECT_EQ(dword(root.value, 0), kFixedInfoSignature);
    EXPECT_EQ(dword(root.value, 8), 0x00010000u) << "file version 1.0";
    EXPECT_EQ(dword(root.value, 12), 0x00000000u) << "file version .0.0";
    EXPECT_EQ(dword(root.value, 16), 0x00010000u) << "product version 1.0";
    EXPECT_EQ(dword(root.value, 20), 0x00000000u) << "product version .0.0";
    EXPECT_EQ(dword(root.value, 32), kOsNtWindows32);
    EXPECT_EQ(dword(root.value, 36), kFileTypeApplication);

    const VersionNode *strings = root.child(QStringLiteral("StringFileInfo"));
    ASSERT_NE(strings, nullptr);
    const VersionNode *table = strings->child(QStringLiteral("040904B0"));
    ASSERT_NE(table, nullptr) << "the U.S. English, Unicode string table";
    const std::pair<const char *, const char *> values[] = {
        {"FileVersion", "1.00"}, {"ProductVersion", "1.00"}, {"ProductName", "Revertex"},
        {"OriginalFilename", "revertex.exe"}};
    for (const auto &[key, text] : values) {
        const VersionNode *value = table->child(QLatin1String(key));
        ASSERT_NE(value, nullptr) << key;
        EXPECT_TRUE(value->isText) << key;
        EXPECT_EQ(value->text, QLatin1String(text)) << key;
    }

    const VersionNode *vars = root.child(QStringLiteral("VarFileInfo"));
    ASSERT_NE(vars, nullptr);
    const VersionNode *translation = vars->child(QStringLiteral("Translation"));
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(translation->value.size(), 4);
    EXPECT_EQ(word(translation->value, 0), kEnglishUs);
    EXPECT_EQ(word(translation->value, 2), kUnicodeCodePage);
}

TEST_F(WindowsResourceTest, FixedVersionIsTheProjectVersion)
{
    // Bumping the project's version without the resource script's fails here.
    const QList<ResFile::Entry> versions = ofType(ResFile::Version);
    ASSERT_EQ(versions.size(), 1);
    const QByteArray fixed = VersionNode::read(versions.first().data).value;
    const QVersionNumber project = QVersionNumber::fromString(QStringLiteral(REVERTEX_VERSION));
    const QVersionNumber file(int(word(fixed, 10)), int(word(fixed, 8)), int(word(fixed, 14)));
    EXPECT_EQ(file.toString(), project.toString());
}

TEST_F(WindowsResourceTest, CompilesToTheObjectA64BitMinGwLinkTakes)
{
    ASSERT_TRUE(toCoff.finished && toCoff.exitCode == 0) << toCoff.output.toStdString();
    const QByteArray object = fileBytes(work->filePath(QStringLiteral("revertex.rc.obj")));
    EXPECT_EQ(word(object, 0), kAmd64Machine);
    EXPECT_EQ(word(object, 16), 0) << "an object file has no optional header";
    EXPECT_TRUE(object.mid(20, 8).startsWith(".rsrc")) << "the resources section comes first";
}

} // namespace
