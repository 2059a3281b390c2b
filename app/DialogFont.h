#pragma once

#include <QFont>

// The dialog font of the window: MS Sans Serif 8.25 pt, that is 11 px at 96 dpi. Where
// the system lacks it, the copy from Wine's fonts is loaded; failing that, the
// default sans serif. Always sized in pixels so the layout, which is in pixels, holds.
QFont dialogFont();
