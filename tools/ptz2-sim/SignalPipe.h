#pragma once

#include <QString>

// Turns SIGTERM, SIGINT and SIGHUP into a readable descriptor (the self-pipe trick),
// so that the poll loop ends the run cleanly and still prints its summary.
class SignalPipe {
public:
    SignalPipe() = default;
    ~SignalPipe();
    SignalPipe(const SignalPipe &) = delete;
    SignalPipe &operator=(const SignalPipe &) = delete;

    bool install(QString *error);
    int readFd() const;

    // The signal that arrived, or 0.
    int take();
};
