#pragma once

#include "CameraModel.h"
#include "ExpectedImage.h"
#include "ImageVerdict.h"
#include "SimOptions.h"
#include "WireJudge.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// How a run ended, as the simulator's loop saw it.
struct RunEnd {
    QString reason;                       // "closing script finished", "ended by Terminated", ...
    bool closingScriptFinished = false;   // the final "ckz0m" after the download came in
    bool downloadStarted = false;         // "ckl0" was acknowledged on the line, or a line came
};

// What a run of the simulated camera amounts to: the summary printed at exit, the
// JSON report and the exit status. The run is as expected when the program kept the
// protocol and the image is what the options lead to: whole, with the closing script
// after it; cut short where an option ends the download early; or not judged at all
// when no download was started.
class RunReport {
public:
    RunReport(const CameraModel &camera, const WireJudge &judge, const SimOptions &options,
              const std::optional<ExpectedImage> &expected, const RunEnd &end);

    QString summary(bool listCommands) const;
    QByteArray json() const;

    // 0 when the run went as expected, 1 otherwise.
    int exitStatus() const { return m_problems.isEmpty() ? 0 : 1; }

    ImageVerdict verdict() const { return m_verdict; }
    // "image: ..." without the label.
    QString imageText() const;
    // The summary's last line without the label: "as expected: ..." or "NOT as expected: ...".
    QString resultText() const;

    // The commands in order, a run of one command shown once with its count ("ckw*899").
    static QString compactCommandList(const QStringList &commands);

private:
    bool imageJudged() const;
    QString protocolText() const;

    const CameraModel &m_camera;
    const WireJudge &m_judge;
    std::optional<ExpectedImage> m_expected;
    RunEnd m_end;
    ImageVerdict m_verdict;
    std::optional<QString> m_incompleteBecause;   // the option that cuts the download short
    QStringList m_problems;
};
