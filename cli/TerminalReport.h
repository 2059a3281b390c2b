#pragma once

#include "cli/TextReport.h"

#include <QList>
#include <QTimer>

// The run on a terminal: the lines of TextReport above, and below them one line per
// downloading port with a bar, the lines sent of all, the percentage and the elapsed and
// remaining time, redrawn in place at most ten times a second.
class TerminalReport : public TextReport {
public:
    explicit TerminalReport(std::FILE *out);

    void progressed(const PortJob &job) override;
    void finished(const PortJob &job) override;

    static constexpr int kRedrawMs = 100;

protected:
    void printLine(const QString &line) override;

private:
    void redraw();
    void erase();
    void draw();

    QList<const PortJob *> m_bars;   // in the order they began
    int m_drawnLines = 0;
    bool m_dirty = false;
    QTimer m_redraw;
};
