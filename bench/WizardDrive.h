#pragma once

#include "bench/FlashFigures.h"
#include "link/CommPort.h"

#include <QString>

#include <memory>

class frmRevertex;

// The real wizard driven through one flash as a person drives it: Next, COM 1, Next,
// and Next on the warning page. Nothing polls: the pages' own Show events end each wait.
// A run-time error ends the run instead of the program.
class WizardDrive {
public:
    // The window on `port` (null: the platform's own serial port), started as the program
    // starts with `--firmware firmwareFile`. When it does not start, window() is null and
    // failure() says why.
    WizardDrive(std::unique_ptr<CommPort> port, const QString &firmwareFile);
    ~WizardDrive();
    WizardDrive(const WizardDrive &) = delete;
    WizardDrive &operator=(const WizardDrive &) = delete;

    frmRevertex *window() const { return m_window.get(); }

    // Through the camera check to the warning page; false when it ends elsewhere.
    bool toWarningPage();
    // Next on the warning page, on to the done page: sets the figures' flashSeconds,
    // flashCpuSeconds and sequenceTicks. False when the flash does not get there.
    bool flash(FlashFigures &figures);
    // The window closes, and with it the port.
    void close();

    // Why the last step failed, or the run-time error that ended the run; empty when
    // nothing went wrong.
    QString failure() const;

private:
    std::unique_ptr<frmRevertex> m_window;
    QString m_failure;
    QString m_fatal;
};
