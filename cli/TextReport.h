#pragma once

#include "cli/RunReport.h"

#include <QHash>

#include <cstdio>

// The run for people: a line per event and, while the lines go out, a line per port at
// every tenth of the image; a table of the ports at the end. For output that is not a
// terminal (a file, a pipe, a log collector).
class TextReport : public RunReport {
public:
    explicit TextReport(std::FILE *out) : m_out(out) {}

    void opened(const PortJob &job) override;
    void checked(const PortJob &job) override;
    void progressed(const PortJob &job) override;
    void finished(const PortJob &job) override;
    void summary(const QList<const PortJob *> &jobs, int exitStatus) override;

protected:
    virtual void printLine(const QString &line);
    void write(const QString &text);   // as it is, flushed
    std::FILE *m_out;

private:
    QHash<const PortJob *, int> m_tenthsShown;
};
