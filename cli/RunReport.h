#pragma once

#include <QList>
#include <QString>

class PortJob;

// What a run tells as it goes: where each port stands, the lines sent, the outcomes.
// One for people (TextReport, TerminalReport), one for programs (JsonReport).
class RunReport {
public:
    virtual ~RunReport() = default;
    virtual void opened(const PortJob &job) = 0;
    virtual void checked(const PortJob &job) = 0;
    virtual void progressed(const PortJob &job) = 0;
    virtual void finished(const PortJob &job) = 0;
    // After the last port: every port's outcome, and the exit status they give.
    virtual void summary(const QList<const PortJob *> &jobs, int exitStatus) = 0;
};

// How a check's verdict reads: "version 3.45: needs flashing".
QString checkVerdictText(const PortJob &job);
