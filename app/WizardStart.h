#pragma once

#include "app/FatalErrorGuard.h"
#include "app/frmRevertex.h"

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

class FirmwarePrompt;

// The program's start once the toolkit runs: the firmware, then the window. The
// firmware comes from the first of: the file the command line names; the firmware the
// build embedded; the file the user picks in the prompt (asked again after a refusal).
// Whatever the source, the window is made only once the firmware is checked, so no
// port is ever opened for firmware that is refused, and nothing is written anywhere.
struct WizardStart {
    static constexpr int kDone = 0;          // closed, or the prompt cancelled
    static constexpr int kRunTimeError = 1;  // the window's load failed (the report was shown)
    static constexpr int kRefused = 2;       // a wrong command line, or a firmware file named on it refused

    // What the start works with; tests put in their own.
    struct Parts {
        FirmwarePrompt *prompt = nullptr;          // asked when no file is named and none embedded
        std::optional<QByteArray> embedded;        // the build's firmware, if it carries one
        std::function<frmRevertex::Parts()> window;   // empty: the window's own defaults
        RunTimeErrorReport loadFailure;            // empty: the run-time error box
    };

    // The window, loaded but not shown; null when the program ends here, with exitStatus.
    struct Outcome {
        std::unique_ptr<frmRevertex> window;
        int exitStatus = kDone;
    };

    // arguments: as the toolkit leaves them (its own options taken out); messages for
    // the command line go to err.
    static Outcome run(const QStringList &arguments, Parts parts, QTextStream &err);
};
