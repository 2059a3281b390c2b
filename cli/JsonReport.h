#pragma once

#include "cli/RunReport.h"

#include <QJsonObject>

#include <cstdio>

// The run for other programs: one JSON object per line and event, written as it happens:
// {"event":"opened"|"version"|"progress"|"outcome"|"summary","port":...,...}.
class JsonReport : public RunReport {
public:
    explicit JsonReport(std::FILE *out) : m_out(out) {}

    void opened(const PortJob &job) override;
    void checked(const PortJob &job) override;
    void progressed(const PortJob &job) override;
    void finished(const PortJob &job) override;
    void summary(const QList<const PortJob *> &jobs, int exitStatus) override;

private:
    void emitEvent(const char *event, const PortJob *job, QJsonObject fields);
    std::FILE *m_out;
};
