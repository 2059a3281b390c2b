#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

// ptz2-sim as the camera of one flash: started with pacing (or none), the image it
// must receive and a timing file; it ends by itself once the closing script is done.
//
// The bench process is the wizard whose CPU time is measured, so the simulator is
// spawned without anything that the event loop would watch: no pipes, no process
// notifier. It names its device in a file and prints its summary into another.
class SimulatedCamera {
public:
    // baud 0: no pacing.
    explicit SimulatedCamera(int baud);
    ~SimulatedCamera();

    SimulatedCamera(const SimulatedCamera &) = delete;
    SimulatedCamera &operator=(const SimulatedCamera &) = delete;

    // The pseudo-terminal to open as COM 1; empty when the simulator did not start
    // (then failure() says why).
    QString devicePath() const { return m_device; }

    // Waits for the simulator's own exit after the closing script. False on time-out
    // or a run the camera does not pass (a protocol fault, a bad or incomplete image);
    // failure() then says why, with the camera's summary.
    bool finish();

    QString timingFilePath() const { return file("timing.txt"); }
    QString failure() const { return m_failure; }

private:
    QString file(const char *name) const;
    QString output() const;
    bool waitForExit(int limitMs, int *status);

    QTemporaryDir m_files;
    pid_t m_pid = -1;
    QString m_device;
    QString m_failure;
};
