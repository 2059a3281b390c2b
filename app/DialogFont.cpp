#include "app/DialogFont.h"

#include "app/DialogFaceChoice.h"
#include "app/DialogFaces.h"

#include <QFontDatabase>

namespace {

constexpr int kPixelSize = 11;   // 8.25 pt at 96 dpi

} // namespace

QFont dialogFont(qreal devicePixelRatio)
{
    static const bool loaded = (DialogFaces::loadMissing(), true);
    Q_UNUSED(loaded);
    const QString family = DialogFaceChoice::family(QFontDatabase::families(), devicePixelRatio, DialogFaces::platform(),
                                                    QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}
