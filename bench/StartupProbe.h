#pragma once

#include <QString>
#include <vector>

// Start-up as a person meets it: from the moment the program is launched to the window
// shown (first painted) with the firmware file read, checked and unpacked. The bench starts itself as
// a child process in its start-up mode, which does exactly what the wizard's main()
// does and reports when each stage was done; the launch time is taken here, right
// before the child is spawned, so exec, dynamic loading and static set-up all count.
struct StartupFigures {
    bool ok = false;
    QString failure;
    double toMain = 0;        // launch to main() entered: fork, exec, loading the libraries
    double application = 0;   // QApplication constructed (platform plugin, fonts)
    double window = 0;        // the window built and loaded, the image unpacked
    double shown = 0;         // shown and painted once
    double total = 0;         // launch to shown
    double byProcStat = -1;   // the same end point against the kernel's process start time
                              // (/proc/self/stat, 10 ms steps); -1 when unavailable
};

class StartupProbe {
public:
    // The option that puts this program into its start-up mode.
    static const char *const kChildOption;

    // Launches this program in its start-up mode and collects what it reports.
    static StartupFigures measureOnce(const QString &program);

    // The start-up mode: does what main() of the wizard does, prints the stage times
    // on stdout and returns the exit status.
    static int runChild(int argc, char **argv);
};
