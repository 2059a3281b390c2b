#include "bench/EventWatch.h"

#include <QTimer>
#include <QWidget>

EventWatch::EventWatch(const QList<QWidget *> &widgets, QEvent::Type type) : m_widgets(widgets), m_type(type)
{
    for (QWidget *widget : std::as_const(m_widgets))
        widget->installEventFilter(this);
}

bool EventWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == m_type && m_seen.isEmpty()) {
        m_seenAt = CpuReading::now();
        m_seen = watched->objectName();
        m_loop.quit();
    }
    return false;
}

QString EventWatch::wait(int timeoutMs)
{
    if (m_seen.isEmpty()) {
        QTimer::singleShot(timeoutMs, &m_loop, &QEventLoop::quit);
        m_loop.exec();
    }
    for (QWidget *widget : std::as_const(m_widgets))
        widget->removeEventFilter(this);
    return m_seen;
}
