#pragma once

#include "bench/CpuReading.h"

#include <QEvent>
#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QString>

class QWidget;

// Runs the event loop until one of the watched widgets receives an event of one kind
// (a page shown, the window painted) and notes the clocks at that moment. Nothing
// polls: the widgets' own events end the wait, so the wizard runs as it would alone.
class EventWatch : public QObject {
public:
    EventWatch(const QList<QWidget *> &widgets, QEvent::Type type);

    // The object name of the widget that received the event first, or empty when
    // none did within timeoutMs.
    QString wait(int timeoutMs);
    const CpuReading &seenAt() const { return m_seenAt; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QWidget *> m_widgets;
    QEvent::Type m_type;
    QEventLoop m_loop;
    QString m_seen;
    CpuReading m_seenAt;
};
