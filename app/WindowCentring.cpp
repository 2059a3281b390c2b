#include "app/WindowCentring.h"

QPoint centredFramePosition(const QRect &available, const QSize &frameSize)
{
    return {available.x() + (available.width() - frameSize.width()) / 2,
            available.y() + (available.height() - frameSize.height()) / 2};
}
