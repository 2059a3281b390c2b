#pragma once

#include "link/WizardSurface.h"

#include <QString>
#include <QtGlobal>

// What shows one port's sequences to a person: the window, or a terminal. It hears
// where they land and what they report; their timers stay with the SequenceRunner.
class SequenceFront {
public:
    virtual ~SequenceFront() = default;

    // The COM port entry the check opens, as the list shows it (" 1" … "16").
    virtual QString selectedPortEntry() const = 0;
    // The sequences talk to the camera: a busy sign may run (a no-op while it runs).
    virtual void throbOn() = 0;
    // Why the port failed, from its open on; the port-in-use landing follows.
    virtual void notePortFailure(const QString &description) = 0;
    // A sequence ended with this outcome; its timer is already off.
    virtual void land(Landing outcome) = 0;
    // Line lineIndex of 0 … upper is on its way.
    virtual void showLineProgress(qint32 lineIndex, qint32 upper) = 0;
};
