#pragma once

#include <QPixmap>
#include <QString>

// The window's pictures come drawn twice: at their own size, and at twice the pixels
// (the same name with "@2x") for screens that scale. A scaled screen gets the larger
// one, marked as such, so it takes the same logical size and stays sharp.
namespace ScaledPicture {

// 1 or 2: the scale of the picture to use on a screen of this device pixel ratio.
int scaleFor(qreal devicePixelRatio);

// The name of the picture of that scale: "emblem.png" becomes "emblem@2x.png".
QString nameFor(const QString &name, int scale);

// The picture for this ratio, loaded from `name` (a resource path); a null pixmap when
// it cannot be read.
QPixmap load(const QString &name, qreal devicePixelRatio);

} // namespace ScaledPicture
