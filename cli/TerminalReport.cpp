#include "cli/TerminalReport.h"

#include "cli/PortJob.h"

#include <algorithm>

namespace {

constexpr int kBarWidth = 30;

QString minutes(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString barLine(const PortJob &job, int labelWidth)
{
    const qint32 sent = job.linesSent();
    const qint32 all = std::max(job.lineCount(), 1);
    const int filled = int(qint64(kBarWidth) * sent / all);
    const qint64 elapsed = job.downloadMs();
    const QString left = sent ? minutes(elapsed * (all - sent) / sent) : QStringLiteral("-:--");
    return QStringLiteral("%1 [%2%3] %4 of %5 lines %6 %  %7 elapsed  %8 left")
        .arg(job.label(), -labelWidth)
        .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
        .arg(sent, 3)
        .arg(all)
        .arg(100.0 * sent / all, 6, 'f', 2)
        .arg(minutes(elapsed), left);
}

} // namespace

TerminalReport::TerminalReport(std::FILE *out) : TextReport(out)
{
    m_redraw.setInterval(kRedrawMs);
    QObject::connect(&m_redraw, &QTimer::timeout, [this] {
        if (m_dirty)
            redraw();
    });
}

void TerminalReport::progressed(const PortJob &job)
{
    if (!m_bars.contains(&job))
        m_bars.append(&job);
    m_dirty = true;
    if (!m_redraw.isActive()) {
        redraw();   // the first at once, the rest at most every kRedrawMs
        m_redraw.start();
    }
}

void TerminalReport::finished(const PortJob &job)
{
    if (m_bars.contains(&job))
        redraw();   // the bar as it ended
    m_bars.removeAll(&job);
    TextReport::finished(job);   // printed above the bars that remain
    if (m_bars.isEmpty())
        m_redraw.stop();
}

void TerminalReport::printLine(const QString &line)
{
    erase();
    TextReport::printLine(line);
    draw();
}

void TerminalReport::redraw()
{
    erase();
    draw();
    m_dirty = false;
}

void TerminalReport::erase()
{
    if (m_drawnLines)
        write(QStringLiteral("\x1b[%1A\x1b[J").arg(m_drawnLines));   // up to the first bar, and clear below
    m_drawnLines = 0;
}

void TerminalReport::draw()
{
    int width = 0;
    for (const PortJob *job : m_bars)
        width = std::max(width, int(job->label().size()));
    for (const PortJob *job : m_bars)
        TextReport::printLine(barLine(*job, width));
    m_drawnLines = int(m_bars.size());
}
