#pragma once

#include <QString>
#include <QtGlobal>

// Where a sequence leaves the window when it ends. Each outcome is one row of the
// window's landing table (app/LandingTable.cpp), which also names the sequence
// timer that the row switches off; every row restores the still emblem.
enum class Landing {
    NoResponse,     // camera check: a strict wait ran out
    PortInUse,      // camera check: the port could not be opened (or failed later)
    NoFlashNeeded,  // camera check: the camera already runs the carried version
    NotPtz2,        // camera check: no usable version report
    NeedsFlashing,  // camera check: any other version
    CheckFailed,    // camera check: any other failure; the testing page stays up
    PowerCycle,     // download start: the camera never acknowledged "ckl0"
    Flashed,        // closing script done: the done page with "&Finish"
};

// The timers that drive the sequences, one tick one step.
enum class SequenceTimer { CamTest, StartDownload, LineTransfer, Finish };

// What the sequences need of the window. The real window implements it; tests
// record the calls.
class WizardSurface {
public:
    virtual ~WizardSurface() = default;

    // The entry of the COM port list at its selected index, as shown (" 1" … "16").
    virtual QString selectedPortEntry() const = 0;

    virtual void setTimerEnabled(SequenceTimer timer, bool enabled) = 0;

    // Switches the busy animation on (a no-op while it runs).
    virtual void throbOn() = 0;

    // Why the port failed, from its open on; the port-in-use landing follows. The page
    // keeps its fixed text, so this is where the user learns the device and the cause.
    virtual void notePortFailure(const QString &description) = 0;

    // Puts the window into one row of the landing table.
    virtual void land(Landing outcome) = 0;

    // Draws the progress bar to lineIndex / upper of its width and shows the percentage.
    virtual void showLineProgress(qint32 lineIndex, qint32 upper) = 0;
};
