#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window's frame goes so that the whole window, title bar and borders
// included, sits in the middle of the screen's available area. For a window, Qt's
// move() places the frame's top-left corner, so this is the point to move to.
QPoint centredFramePosition(const QRect &available, const QSize &frameSize);
