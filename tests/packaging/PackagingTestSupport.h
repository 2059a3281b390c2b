#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

struct ProcessResult {
    bool finished = false;   // started and ended on its own within the limit
    int exitCode = -1;
    QByteArray output;       // stdout and stderr together
};

// Runs a program to its end with no stdin; `extraEnvironment` is added to ours.
inline ProcessResult runProgram(const QString &program, const QStringList &arguments, int limitMs,
                                const QString &workingDirectory = QString(),
                                const QProcessEnvironment &extraEnvironment = QProcessEnvironment())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(extraEnvironment);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        result.output = process.readAll();
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = process.readAll();
    return result;
}

// Every regular file below `root`, as paths relative to it, sorted.
inline QStringList filesBelow(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString sourceDir()
{
    return qEnvironmentVariable("REVERTEX_SOURCE_DIR");
}

inline QString buildDir()
{
    return qEnvironmentVariable("REVERTEX_BUILD_DIR");
}

// The page pictures the user documents show, as docs/pages/NAME.png.
inline QStringList pagePictures()
{
    QStringList pictures;
    for (const QString &name : QDir(sourceDir() + QStringLiteral("/docs/pages")).entryList({QStringLiteral("*.png")}, QDir::Files))
        pictures << QStringLiteral("docs/pages/") + name;
    return pictures;
}

// The documents for the people who use the wizard, which every package carries with the
// page pictures, at their places in the source.
inline QStringList userDocuments()
{
    return {QStringLiteral("README.md"),
            QStringLiteral("docs/cli.md"),
            QStringLiteral("docs/firmware.md"),
            QStringLiteral("docs/serial-ports-linux.md"),
            QStringLiteral("docs/troubleshooting.md"),
            QStringLiteral("docs/using-the-wizard.md"),
            QStringLiteral("docs/windows.md")};
}

// The developers' documents, which no package carries (the licence and the changelog go
// into a package in forms of their own). A user document may link to them.
inline QStringList developerDocuments()
{
    return {QStringLiteral("CHANGELOG.md"),
            QStringLiteral("CONTRIBUTING.md"),
            QStringLiteral("LICENSE"),
            QStringLiteral("docs/building.md"),
            QStringLiteral("docs/performance.md"),
            QStringLiteral("docs/simulated-camera.md"),
            QStringLiteral("docs/testing.md")};
}

// What an install puts below its prefix on Linux: the program, its menu entry, icon and
// AppStream metadata, its manual page, the user documents (with their pictures), the
// changelog and the copyright; no simulator, no tools, no tests, no developers' documents.
inline QStringList installedFiles()
{
    QStringList files = {QStringLiteral("bin/revertex"),
                         QStringLiteral("bin/revertex-cli"),
                         QStringLiteral("share/applications/io.github.revertex.Revertex.desktop"),
                         QStringLiteral("share/doc/revertex/changelog.gz"),
                         QStringLiteral("share/doc/revertex/copyright"),
                         QStringLiteral("share/icons/hicolor/48x48/apps/revertex.png"),
                         QStringLiteral("share/metainfo/io.github.revertex.Revertex.metainfo.xml")};
#if REVERTEX_MANUAL_PAGE_BUILT
    files << QStringLiteral("share/man/man1/revertex.1.gz") << QStringLiteral("share/man/man1/revertex-cli.1.gz");
#endif
    for (const QString &document : userDocuments() + pagePictures())
        files << QStringLiteral("share/doc/revertex/") + document;
    files.sort();
    return files;
}

// The text of a gzip file (changelog, manual page), through gzip itself; empty when
// gzip is missing or the file is no gzip file.
inline QByteArray gunzipped(const QString &path)
{
    const QString gzip = QStandardPaths::findExecutable(QStringLiteral("gzip"));
    if (gzip.isEmpty())
        return QByteArray();
    QProcess process;
    process.setStandardInputFile(path);
    process.start(gzip, {QStringLiteral("-dc")});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}
