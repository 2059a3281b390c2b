#pragma once

#include <QPalette>

// The window's colours: the classic light dialog (button-face grey, black text, white
// fields, the system's blue selection) whatever palette the desktop offers. The
// design's fixed colours (the white banner, the progress bar) sit on this face, so
// a dark desktop palette would leave them as light islands with unreadable text.
QPalette dialogPalette();
