#include "tests/firmware/PeTestPrograms.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace PeTestPrograms {

namespace {

constexpr int kToolLimitMs = 120 * 1000;   // generous: a loaded CI machine, never a real wait

struct Tools {
    QString windres;
    QString gcc;
};

Tools toolsFor(Bits bits)
{
    if (bits == Bits::Pe64)
        return {QStringLiteral(REVERTEX_MINGW64_WINDRES), QStringLiteral(REVERTEX_MINGW64_GCC)};
    return {QStringLiteral(REVERTEX_MINGW32_WINDRES), QStringLiteral(REVERTEX_MINGW32_GCC)};
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(kToolLimitMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString() << " failed:\n"
                      << process.readAllStandardError().toStdString() << process.errorString().toStdString();
        process.kill();
        process.waitForFinished();
        return false;
    }
    return true;
}

bool write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
        return false;
    }
    return true;
}

} // namespace

bool available(Bits bits)
{
    return missingTools(bits).isEmpty();
}

QString missingTools(Bits bits)
{
    const Tools tools = toolsFor(bits);
    const QString prefix = bits == Bits::Pe64 ? QStringLiteral("x86_64") : QStringLiteral("i686");
    QStringList missing;
    if (tools.windres.isEmpty() || !QFile::exists(tools.windres))
        missing << prefix + QStringLiteral("-w64-mingw32-windres");
    if (tools.gcc.isEmpty() || !QFile::exists(tools.gcc))
        missing << prefix + QStringLiteral("-w64-mingw32-gcc");
    return missing.join(QStringLiteral(", "));
}

QString build(const QString &directory, const QString &name, Bits bits, const QList<Resource> &resources)
{
    const Tools tools = toolsFor(bits);
    const QDir dir(directory);
    QByteArray script;
    for (int i = 0; i < resources.size(); ++i) {
        const QString dataPath = dir.filePath(QStringLiteral("%1-%2.bin").arg(name).arg(i));
        if (!write(dataPath, resources.at(i).data))
            return QString();
        script += resources.at(i).statement.toUtf8() + " \"" + dataPath.toUtf8() + "\"\n";
    }
    const QString rc = dir.filePath(name + QStringLiteral(".rc"));
    const QString main = dir.filePath(name + QStringLiteral(".c"));
    const QString exe = dir.filePath(name + QStringLiteral(".exe"));
    if (!write(rc, script) || !write(main, "int main(void) { return 0; }\n"))
        return QString();
    QStringList link{QStringLiteral("-s"), QStringLiteral("-o"), exe, main};
    if (!resources.isEmpty()) {
        const QString object = dir.filePath(name + QStringLiteral(".res.o"));
        if (!run(tools.windres, {QStringLiteral("-O"), QStringLiteral("coff"), rc, object}))
            return QString();
        link << object;
    }
    if (!run(tools.gcc, link))
        return QString();
    return exe;
}

} // namespace PeTestPrograms
