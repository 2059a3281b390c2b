#pragma once

#include "link/WizardSurface.h"

#include <QList>
#include <QStringList>
#include <map>

// Records what a sequence does to the window.
class FakeSurface : public WizardSurface {
public:
    QString portEntry = QStringLiteral(" 1");
    std::map<SequenceTimer, bool> timers;
    int throbOns = 0;
    QList<Landing> landings;
    QStringList portFailures;
    qint32 progressLine = -2;
    qint32 progressUpper = -2;
    int progressCalls = 0;

    QString selectedPortEntry() const override { return portEntry; }
    void setTimerEnabled(SequenceTimer timer, bool enabled) override { timers[timer] = enabled; }
    void throbOn() override { ++throbOns; }
    void notePortFailure(const QString &description) override { portFailures.append(description); }
    void land(Landing outcome) override { landings.append(outcome); }
    void showLineProgress(qint32 lineIndex, qint32 upper) override
    {
        progressLine = lineIndex;
        progressUpper = upper;
        ++progressCalls;
    }
    bool timerOn(SequenceTimer timer) const
    {
        auto it = timers.find(timer);
        return it != timers.end() && it->second;
    }
};
