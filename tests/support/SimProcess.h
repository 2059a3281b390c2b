#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// ptz2-sim as a child process: starts it, learns its device path from the first
// line it prints, and collects its summary and exit status when it ends.
class SimProcess {
public:
    explicit SimProcess(const QStringList &arguments);
    ~SimProcess();

    // The pseudo-terminal the simulated camera listens on; empty if it did not start.
    QString devicePath() const { return m_device; }

    // Asks the simulator to end (SIGTERM) and waits for it. Returns its exit code.
    int stop();

    // Waits for the simulator to end by itself (for --exit-after-finish), up to `ms`.
    bool waitForExit(int ms);

    int exitCode() const { return m_process.exitCode(); }
    QString output();   // everything it printed on stdout and stderr

    static QString binary();

private:
    QProcess m_process;
    QString m_device;
    QString m_output;
};
