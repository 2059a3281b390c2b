#pragma once

#include <QFont>

// The dialog font of the window: MS Sans Serif 8.25 pt, that is 11 px at 96 dpi, where
// the screen draws one logical pixel as one device pixel, and a scalable face of close
// metrics elsewhere (see DialogFaceChoice). Off Windows, faces the system lacks are
// loaded from Wine's fonts where those are installed (DialogFaces). Always sized in
// logical pixels, so the layout, which is in pixels, holds at every scale.
QFont dialogFont(qreal devicePixelRatio);
