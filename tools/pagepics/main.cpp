// pagepics: a picture of every page and message of the wizard for the README, taken
// from the real window offscreen on a scripted camera.
//   build/pagepics docs/pages
// A process draws at one device pixel ratio, so the pictures of a scaled screen are
// taken by this program run again with --ratio=N.
#include "tools/pagepics/PageShot.h"
#include "tools/pagepics/PageTour.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTextStream>

#include <exception>

namespace {

const QString kRatioOption = QStringLiteral("--ratio=");
constexpr int kChildLimitMs = 5 * 60 * 1000;

// The ratio asked for on the command line (1 when none is), read before Qt starts.
int ratioArgument(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(kRatioOption))
            return arg.mid(kRatioOption.size()).toInt();
    }
    return 1;
}

// The same program at another ratio, for the shots of that ratio.
bool runAtRatio(int ratio, const QString &directory, QTextStream &err)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QApplication::applicationFilePath(), {kRatioOption + QString::number(ratio), directory});
    if (!child.waitForFinished(kChildLimitMs) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        err << "pagepics: the pictures at ratio " << ratio << " failed\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // No display needed, and the same pictures whatever desktop runs the tool: the
    // ratio is the one asked for, not the desktop's.
    const int ratio = ratioArgument(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);

    QStringList args = QApplication::arguments();
    args.removeIf([](const QString &arg) { return arg.startsWith(kRatioOption); });
    if (args.size() != 2 || ratio < 1) {
        err << "usage: pagepics <directory>\n"
               "Writes a PNG of every wizard page into <directory>.\n";
        return 2;
    }
    const QDir directory(args.at(1));
    if (!QDir().mkpath(directory.path())) {
        err << "pagepics: cannot create " << directory.path() << "\n";
        return 1;
    }

    QSet<int> otherRatios;
    try {
        for (const PageShot &shot : pageShots()) {
            if (shot.ratio != ratio) {
                otherRatios.insert(shot.ratio);
                continue;
            }
            PageTour tour(shot);
            tour.run();
            const QString path = directory.filePath(QString::fromLatin1(shot.file));
            if (!tour.picture().save(path, "PNG")) {
                err << "pagepics: cannot write " << path << "\n";
                return 1;
            }
            out << path << "\n";
        }
    } catch (const std::exception &e) {
        err << "pagepics: " << e.what() << "\n";
        return 1;
    }
    out.flush();
    if (ratio == 1)
        for (const int other : otherRatios)
            if (!runAtRatio(other, directory.path(), err))
                return 1;
    return 0;
}
