#include "app/DialogFont.h"

#include "app/DialogFaceChoice.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr int kPixelSize = 11;   // 8.25 pt at 96 dpi

// Wine's copies of the dialog faces, loaded for this program only where the system
// has no face of that family.
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

void loadMissingWineFaces()
{
    const QStringList present = QFontDatabase::families();
    for (const WineFace &face : kWineFaces) {
        if (present.contains(QString::fromLatin1(face.family), Qt::CaseInsensitive))
            continue;
        // A file that is not there leaves the family out; the choice then passes it by.
        QFontDatabase::addApplicationFont(kWineFonts + QString::fromLatin1(face.file));
    }
}

DialogFaceChoice::Platform thisPlatform()
{
#ifdef Q_OS_WIN
    return DialogFaceChoice::Platform::Windows;
#else
    return DialogFaceChoice::Platform::Other;
#endif
}

} // namespace

QFont dialogFont(qreal devicePixelRatio)
{
    static const bool loaded = (loadMissingWineFaces(), true);
    Q_UNUSED(loaded);
    const QString family = DialogFaceChoice::family(QFontDatabase::families(), devicePixelRatio, thisPlatform(),
                                                    QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}
