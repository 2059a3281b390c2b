// The Debian changelog the package carries, made by cmake/scripts/DebianChangelog.cmake
// from a CHANGELOG.md: run on samples that hold what a hand-kept file will hold.
#include "tests/packaging/PackagingTestSupport.h"

#include <QTemporaryDir>

namespace {

constexpr int kScriptLimitMs = 60 * 1000;
const QString kMaintainer = QStringLiteral("Revertex maintainers <revertex@example.org>");

struct Conversion {
    bool ok = false;
    QByteArray changelog;
    QByteArray messages;
};

Conversion convert(const QByteArray &markdown)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("CHANGELOG.md"));
    const QString output = dir.filePath(QStringLiteral("changelog"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(markdown) != markdown.size())
        return {};
    file.close();
    const ProcessResult run = runProgram(QStringLiteral(REVERTEX_CMAKE_COMMAND),
        {QStringLiteral("-DSOURCE=") + source, QStringLiteral("-DOUTPUT=") + output, QStringLiteral("-DPACKAGE=revertex"),
         QStringLiteral("-DMAINTAINER=") + kMaintainer,
         QStringLiteral("-P"), sourceDir() + QStringLiteral("/cmake/scripts/DebianChangelog.cmake")},
        kScriptLimitMs);
    Conversion result;
    result.ok = run.finished && run.exitCode == 0;
    result.messages = run.output;
    result.changelog = fileBytes(output);
    return result;
}

TEST(DebianChangelog, EveryReleaseBecomesAnEntryNewestFirstWithItsItemsWrapped)
{
    const Conversion result = convert(
        "# Changelog\n"
        "\n"
        "Prose before the first release is for the reader only.\n"
        "\n"
        "## 1.1.0 (2028-02-29)\n"
        "\n"
        "- Ports: COM 17; brackets [like these] and a semicolon survive.\n"
        "- A long item that goes on and on, far past the seventy-eight columns of a changelog line,\n"
        "  over an indented second line of the file, until it has to wrap twice in the output at least.\n"
        "\n"
        "## 1.0.0 (2026-12-08)\n"
        "\n"
        "- First release.\n");
    ASSERT_TRUE(result.ok) << result.messages.toStdString();
    EXPECT_EQ(result.changelog.toStdString(),
              "revertex (1.1.0) unstable; urgency=medium\n"
              "\n"
              "  * Ports: COM 17; brackets [like these] and a semicolon survive.\n"
              "  * A long item that goes on and on, far past the seventy-eight columns of a\n"
              "    changelog line, over an indented second line of the file, until it has to\n"
              "    wrap twice in the output at least.\n"
              "\n"
              " -- Revertex maintainers <revertex@example.org>  Tue, 29 Feb 2028 00:00:00 +0000\n"
              "\n"
              "revertex (1.0.0) unstable; urgency=medium\n"
              "\n"
              "  * First release.\n"
              "\n"
              " -- Revertex maintainers <revertex@example.org>  Tue, 08 Dec 2026 00:00:00 +0000\n");
}

TEST(DebianChangelog, DayOfTheWeekIsRightInEveryMonthAndAcrossCenturies)
{
    // Known days, January and February (counted with the year before) among them.
    const struct {
        const char *date;
        const char *rfc2822;
    } days[] = {
        {"2000-01-01", "Sat, 01 Jan 2000"}, {"2000-02-29", "Tue, 29 Feb 2000"}, {"1900-03-01", "Thu, 01 Mar 1900"},
        {"2026-01-31", "Sat, 31 Jan 2026"}, {"2026-07-04", "Sat, 04 Jul 2026"}, {"2099-12-31", "Thu, 31 Dec 2099"},
    };
    for (const auto &day : days) {
        const Conversion result = convert(QByteArray("## 1.0.0 (") + day.date + ")\n\n- Item.\n");
        ASSERT_TRUE(result.ok) << day.date << ": " << result.messages.toStdString();
        EXPECT_TRUE(result.changelog.contains(QByteArray(day.rfc2822) + " 00:00:00 +0000\n"))
            << day.date << " gave\n" << result.changelog.toStdString();
    }
}

TEST(DebianChangelog, AFileTheConversionCannotReadFailsTheBuildWithItsReason)
{
    const struct {
        const char *markdown;
        const char *reason;
    } cases[] = {
        {"# Changelog\n\nNothing released yet.\n", "no release heading"},
        {"## 1.0.0 (8 December 2026)\n\n- Item.\n", "is not YYYY-MM-DD"},
        {"## 1.0.0 (2026-13-01)\n\n- Item.\n", "is no date"},
        {"## 1.0.0 (2026-12-08)\n\nA paragraph inside a release.\n", "only '- ' items may stand"},
    };
    for (const auto &c : cases) {
        const Conversion result = convert(c.markdown);
        EXPECT_FALSE(result.ok) << c.markdown;
        // CMake wraps its messages: compare with the blanks folded.
        EXPECT_TRUE(result.messages.simplified().contains(c.reason)) << c.markdown << "\n" << result.messages.toStdString();
        EXPECT_TRUE(result.changelog.isEmpty()) << "a changelog was written for\n" << c.markdown;
    }
}

TEST(DebianChangelog, TheRepositorysChangelogConverts)
{
    const Conversion result = convert(fileBytes(sourceDir() + QStringLiteral("/CHANGELOG.md")));
    ASSERT_TRUE(result.ok) << result.messages.toStdString();
    for (const QByteArray &line : result.changelog.split('\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
}

} // namespace
