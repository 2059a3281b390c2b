#include "app/DialogFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

const QString kFamily = QStringLiteral("MS Sans Serif");
const QString kWineCopy = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");
constexpr int kPixelSize = 11;   // 8.25 pt at 96 dpi

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
