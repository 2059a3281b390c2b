#include "app/WizardStart.h"

#include "app/CommandLine.h"
#include "app/FirmwarePrompt.h"
#include "flash/FirmwareFile.h"
#include "link/LoggingCommPort.h"
#include "link/SerialPortFactory.h"

#include <stdexcept>

namespace {

const char kTestImageWarning[] =
    "revertex: this is the test firmware image, made for the simulated camera (ptz2-sim). "
    "Do not flash a real camera with it.\n";

} // namespace

WizardStart::Outcome WizardStart::run(const QStringList &arguments, Parts parts, QTextStream &err)
{
    Outcome outcome;
    const WizardArguments given = wizardArgumentsFrom(arguments);
    if (!given.error.isEmpty()) {
        err << "revertex: " << given.error << " (revertex --help lists the options)\n";
        err.flush();
        outcome.exitStatus = kRefused;
        return outcome;
    }

    // The log is opened first: a run asked to be logged never talks to a camera unlogged.
    std::shared_ptr<WireLog> log;
    if (!given.logFile.isEmpty()) {
        QString error;
        log = WireLog::open(given.logFile, &error);
        if (!log) {
            err << "revertex: " << error << "\n";
            err.flush();
            outcome.exitStatus = kRefused;
            return outcome;
        }
    }

    QByteArray container;
    bool chosen = false;
    if (!given.firmwareFile.isEmpty()) {
        try {
            container = FirmwareFile::load(given.firmwareFile).container;
            chosen = true;
        } catch (const FirmwareRefusal &refusal) {
            err << "revertex: " << refusal.message() << "\n";
            err.flush();
            // A file dropped on the program or opened from a desktop has nobody reading
            // standard error: its refusal is shown, and the dialog offers another file.
            if (!given.fileOnly || !parts.prompt) {
                outcome.exitStatus = kRefused;
                return outcome;
            }
            parts.prompt->refuse(refusal.message());
        }
    } else if (parts.embedded) {
        // Checked while building by the same reader; the load checks its records again.
        container = *parts.embedded;
        chosen = true;
    }
    if (!chosen) {
        if (!parts.prompt)
            throw std::logic_error("no firmware named, none embedded, and no one to ask");
        for (;;) {
            const QString picked = parts.prompt->chooseFile();
            if (picked.isEmpty())
                return outcome;   // cancelled: kDone
            try {
                container = FirmwareFile::load(picked).container;
                break;
            } catch (const FirmwareRefusal &refusal) {
                parts.prompt->refuse(refusal.message());
            }
        }
    }

    frmRevertex::Parts windowParts = parts.window ? parts.window() : frmRevertex::Parts();
    windowParts.firmware = container;
    if (log)
        windowParts.port = std::make_unique<LoggingCommPort>(windowParts.port ? std::move(windowParts.port) : makeSerialPort(), log);
    const RunTimeErrorReport report = parts.loadFailure ? parts.loadFailure : [](int number, const QString &description) {
        showRunTimeError(nullptr, number, description);
    };
    if (!runReportingFailure([&] { outcome.window = std::make_unique<frmRevertex>(std::move(windowParts)); }, report)) {
        outcome.window.reset();
        outcome.exitStatus = kRunTimeError;
        return outcome;
    }
    if (outcome.window->holdsTestImage()) {
        err << kTestImageWarning;
        err.flush();
    }
    return outcome;
}
