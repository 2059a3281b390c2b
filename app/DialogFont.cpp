#include "app/DialogFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr int kPixelSize = 11;   // 8.25 pt at 96 dpi

#ifdef Q_OS_WIN
// Qt does not use bitmap fonts on Windows, so the bitmap MS Sans Serif is out of reach:
// its scalable counterpart, present on every Windows, then Tahoma, then the system's.
const QStringList kWindowsFamilies = {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma")};

QString dialogFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : kWindowsFamilies) {
        if (installed.contains(family))
            return family;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
#else
const QString kFamily = QStringLiteral("MS Sans Serif");
const QString kWineCopy = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");

QString dialogFamily()
{
    if (QFontDatabase::families().contains(kFamily))
        return kFamily;
    const int id = QFontDatabase::addApplicationFont(kWineCopy);
    const QStringList loaded = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (!loaded.isEmpty())
        return loaded.first();
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
#endif

} // namespace

QFont dialogFont()
{
    static const QString family = dialogFamily();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}
