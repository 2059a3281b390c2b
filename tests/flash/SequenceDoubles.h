#pragma once

#include "tests/support/FakeCommPort.h"
#include "tests/support/FakeSurface.h"
#include "tests/support/WireFrames.h"

#include <QByteArray>
#include <QStringList>

namespace flashtest {

// A camera that acknowledges every complete frame: each write ending in EOT queues
// STX "lvr" EOT for the next read.
class PromptCamera : public FakeCommPort {
public:
    PromptCamera() { isOpen = true; }
    void output(const QByteArray &bytes) override
    {
        FakeCommPort::output(bytes);
        if (bytes.endsWith(EOT))
            pendingReads.append(kAck);
    }
};

// A surface that also keeps the order of the calls.
class OrderedSurface : public FakeSurface {
public:
    QStringList calls;

    void setTimerEnabled(SequenceTimer timer, bool enabled) override
    {
        FakeSurface::setTimerEnabled(timer, enabled);
        calls << QStringLiteral("timer %1 %2").arg(int(timer)).arg(enabled ? "on" : "off");
    }
    void throbOn() override
    {
        FakeSurface::throbOn();
        calls << QStringLiteral("throb");
    }
    void land(Landing outcome) override
    {
        FakeSurface::land(outcome);
        calls << QStringLiteral("land %1").arg(int(outcome));
    }
    void showLineProgress(qint32 lineIndex, qint32 upper) override
    {
        FakeSurface::showLineProgress(lineIndex, upper);
        calls << QStringLiteral("progress %1/%2").arg(lineIndex).arg(upper);
    }
};

inline QString timerCall(SequenceTimer timer, bool on)
{
    return QStringLiteral("timer %1 %2").arg(int(timer)).arg(on ? "on" : "off");
}

} // namespace flashtest
