#pragma once

#include "cli/Outcome.h"
#include "cli/PortJob.h"
#include "cli/RunReport.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// One run of check or flash over every port named, all on this thread: each port its
// own job, all checked together; then one question for all that are to be flashed;
// then all downloads together. A port that fails ends alone; the worst outcome of all
// is the exit status.
class CliRun : public QObject {
    Q_OBJECT
public:
    // Asks the question and returns the answer; nullopt when it could not be read.
    using Ask = std::function<std::optional<QString>(const QString &question)>;
    // Tells the user something that is no event of a port (the interrupt's warnings).
    using Tell = std::function<void(const QString &message)>;

    struct Options {
        bool flash = false;   // flash, not only check
        bool force = false;
        bool yes = false;
        Ask ask;              // empty: no terminal to ask
        Tell tell;
    };

    // Time after the first Ctrl-C of a download within which a second one stops it.
    static constexpr qint64 kSecondInterruptMs = 3000;

    CliRun(std::vector<std::unique_ptr<PortJob>> jobs, RunReport &report, Options options);

    void start();
    // One Ctrl-C.
    void interrupt();

    bool over() const { return m_over; }
    int exitStatus() const;

signals:
    void ended();

private:
    void advance();   // after any port's check or end: the question, or the summary
    void decide();
    bool anyInPhase(PortJob::Phase phase) const;

    std::vector<std::unique_ptr<PortJob>> m_jobs;
    RunReport &m_report;
    Options m_options;
    bool m_decided = false;
    bool m_over = false;
    QElapsedTimer m_firstInterrupt;   // valid while a second Ctrl-C would stop the download
};
