#include "app/ScreenScaleWatch.h"

#include <QEvent>
#include <QWidget>

ScreenScaleWatch::ScreenScaleWatch(QWidget *window, qreal madeFor, Changed changed)
    : QObject(window), m_window(window), m_ratio(madeFor), m_changed(std::move(changed))
{
    window->installEventFilter(this);
}

bool ScreenScaleWatch::eventFilter(QObject *watched, QEvent *event)
{
    // Qt tells a widget tree of a move to another screen only by this event.
    if (watched == m_window && (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)) {
        const qreal ratio = m_window->devicePixelRatioF();
        if (ratio != m_ratio) {
            m_ratio = ratio;
            m_changed(ratio);
        }
    }
    return QObject::eventFilter(watched, event);
}
