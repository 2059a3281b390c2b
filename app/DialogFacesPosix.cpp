// Linux and other POSIX systems: Wine's copies of the dialog faces, loaded for this
// program only where the system has no face of that family.
#include "app/DialogFaces.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

const QString kWineFonts = QStringLiteral("/usr/share/wine/fonts/");
struct WineFace {
    const char *family;
    const char *file;
};
// Wine's tahomabd.ttf is left out: it is called bold but has the regular face's strokes,
// only set wider. Without it Qt emboldens Tahoma's outlines, which reads as bold.
const WineFace kWineFaces[] = {
    {"MS Sans Serif", "ms_sans_serif.ttf"},
    {"Tahoma", "tahoma.ttf"},
};

} // namespace

namespace DialogFaces {

void loadMissing()
{
    const QStringList present = QFontDatabase::families();
    for (const WineFace &face : kWineFaces) {
        if (present.contains(QString::fromLatin1(face.family), Qt::CaseInsensitive))
            continue;
        // A file that is not there leaves the family out; the choice then passes it by.
        QFontDatabase::addApplicationFont(kWineFonts + QString::fromLatin1(face.file));
    }
}

DialogFaceChoice::Platform platform()
{
    return DialogFaceChoice::Platform::Other;
}

} // namespace DialogFaces
