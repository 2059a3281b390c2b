// pagepics: a picture of every page and message of the wizard for the README, taken
// from the real window offscreen on a scripted camera.
//   build/pagepics docs/pages
#include "tools/pagepics/PageShot.h"
#include "tools/pagepics/PageTour.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <exception>

int main(int argc, char **argv)
{
    // No display needed, and the same pictures whatever desktop runs the tool.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);

    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        err << "usage: pagepics <directory>\n"
               "Writes a PNG of every wizard page into <directory>.\n";
        return 2;
    }
    const QDir directory(args.at(1));
    if (!QDir().mkpath(directory.path())) {
        err << "pagepics: cannot create " << directory.path() << "\n";
        return 1;
    }

    try {
        for (const PageShot &shot : pageShots()) {
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
    return 0;
}
