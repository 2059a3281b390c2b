#include "app/DialogFont.h"

#include "app/DialogFaceChoice.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr int kPixelSize = 11;   // 8.25 pt at 96 dpi

// Wine's copies of the dialog faces, loaded for this program only where the system
// has no face of that family: each family with the files that make it up.
const QString kWineFonts = QStringLiteral("/usr/share/wine/fonts/");
struct WineFace {
    const char *family;
    const char *files[2];
};
const WineFace kWineFaces[] = {
    {"MS Sans Serif", {"ms_sans_serif.ttf", nullptr}},
    {"Tahoma", {"tahoma.ttf", "tahomabd.ttf"}},   // the true bold face for bold labels
};

void loadMissingWineFaces()
{
    const QStringList present = QFontDatabase::families();
    for (const WineFace &face : kWineFaces) {
        if (present.contains(QString::fromLatin1(face.family), Qt::CaseInsensitive))
            continue;
        // A file that is not there leaves the family out; the choice then passes it by.
        for (const char *file : face.files)
            if (file)
                QFontDatabase::addApplicationFont(kWineFonts + QString::fromLatin1(file));
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
