#pragma once

#include "CameraModel.h"
#include "ExpectedImage.h"
#include "ImageVerdict.h"

#include <QByteArray>
#include <QString>
#include <optional>

// What a run of the simulated camera amounts to: the summary printed at exit, the
// JSON report and the exit status.
class RunReport {
public:
    RunReport(const CameraModel &camera, const std::optional<ExpectedImage> &expected, const QString &endReason,
              bool closingScriptFinished);

    QString summary(bool listCommands) const;
    QByteArray json() const;

    // 0 when the image matched (or, with nothing expected, no line was bad), 1 otherwise.
    int exitStatus() const;

    ImageVerdict verdict() const { return m_verdict; }

    // The commands in order, a run of one command shown once with its count ("ckw*899").
    static QString compactCommandList(const QStringList &commands);

private:
    const CameraModel &m_camera;
    std::optional<ExpectedImage> m_expected;
    QString m_endReason;
    bool m_finished;
    ImageVerdict m_verdict;
};
