#pragma once

#include <QList>
#include <QString>

// What came of one port, and the program's exit status for it. With several ports the
// worst outcome decides, and the exit statuses are numbered in that order: the higher,
// the worse (a camera left without working firmware is the worst of all).
enum class Outcome {
    Flashed,          // flashed: the closing script ran to its end
    UpToDate,         // already runs the carried version: left alone
    NeedsFlashing,    // check only: the camera runs another version
    Usage,            // wrong command line, refused firmware, or no consent to flash
    NotPtz2,          // no usable version report (flash only with --force)
    NoResponse,       // the camera did not answer
    PortNotOpened,    // the port could not be opened (the cause is named)
    Interrupted,      // Ctrl-C, or the question answered no
    PowerCycle,       // the camera must be power-cycled
    PortFailed,       // the port failed during the download: power-cycle and flash again
};

struct OutcomeRow {
    Outcome outcome;
    int exitStatus;
    const char *word;      // for the summary table and the JSON events: "flashed", "no-response"
    const char *meaning;   // for --help and the manual page
};

const QList<OutcomeRow> &outcomeTable();
const OutcomeRow &outcomeRow(Outcome outcome);

// The worse of two outcomes.
Outcome worse(Outcome a, Outcome b);
