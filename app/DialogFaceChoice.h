#pragma once

#include <QString>
#include <QStringList>

// Which face the window's texts use. The dialog face, MS Sans Serif, is a bitmap face
// with one strike, at 11 px: drawn on a scaled screen its glyphs stay 11 device pixels
// high while the layout doubles, so the letters stand apart. It is used only where
// one logical pixel is one device pixel; everywhere else a scalable face of close
// metrics takes its place. Qt 6 on Windows cannot use bitmap faces at all.
namespace DialogFaceChoice {

enum class Platform { Windows, Other };

// The family to use, from the families the system offers, for a screen of the given
// device pixel ratio; the system's own font family when none of the dialog faces is there.
QString family(const QStringList &available, double devicePixelRatio, Platform platform,
               const QString &systemFamily);

// True where a bitmap face draws at its own size: one logical pixel, one device pixel.
bool bitmapFaceFits(double devicePixelRatio);

} // namespace DialogFaceChoice
