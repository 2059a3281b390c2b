#include "cli/CliRun.h"

#include "cli/Consent.h"

CliRun::CliRun(std::vector<std::unique_ptr<PortJob>> jobs, RunReport &report, Options options)
    : m_jobs(std::move(jobs)), m_report(report), m_options(std::move(options))
{
    for (const auto &job : m_jobs) {
        PortJob *j = job.get();
        connect(j, &PortJob::opened, this, [this, j] { m_report.opened(*j); });
        connect(j, &PortJob::checked, this, [this, j] {
            m_report.checked(*j);
            advance();
        });
        connect(j, &PortJob::progressed, this, [this, j] { m_report.progressed(*j); });
        connect(j, &PortJob::finished, this, [this, j] {
            m_report.finished(*j);
            advance();
        });
    }
}

void CliRun::start()
{
    for (const auto &job : m_jobs)
        job->startCheck();
}

bool CliRun::anyInPhase(PortJob::Phase phase) const
{
    for (const auto &job : m_jobs)
        if (job->phase() == phase)
            return true;
    return false;
}

void CliRun::advance()
{
    // The question comes once, when every check has ended (some end by finishing their job).
    if (!m_decided && !anyInPhase(PortJob::Phase::Idle) && !anyInPhase(PortJob::Phase::Checking))
        decide();
    if (m_over)
        return;
    for (const auto &job : m_jobs)
        if (job->phase() != PortJob::Phase::Done)
            return;
    m_over = true;
    QList<const PortJob *> jobs;
    for (const auto &job : m_jobs)
        jobs << job.get();
    m_report.summary(jobs, exitStatus());
    emit ended();
}

void CliRun::decide()
{
    if (m_decided)
        return;
    m_decided = true;
    QList<PortJob *> toFlash;
    for (const auto &job : m_jobs) {
        if (job->phase() != PortJob::Phase::Checked)
            continue;
        const Landing verdict = job->checkLanding();
        const bool flashIt = m_options.flash
            && (verdict == Landing::NeedsFlashing || (m_options.force && verdict != Landing::NeedsFlashing));
        if (flashIt) {
            toFlash << job.get();
            continue;
        }
        if (verdict == Landing::NoFlashNeeded)
            job->finish(Outcome::UpToDate);
        else if (verdict == Landing::NotPtz2)
            job->finish(Outcome::NotPtz2, m_options.flash ? QStringLiteral("left alone; --force flashes it") : QString());
        else
            job->finish(Outcome::NeedsFlashing);
    }
    if (toFlash.isEmpty())
        return;

    if (!m_options.yes) {
        if (!m_options.ask) {
            for (PortJob *job : toFlash)
                job->finish(Outcome::Usage, QStringLiteral("not flashed: no terminal to ask, and no --yes"));
            return;
        }
        QList<const PortJob *> asked(toFlash.begin(), toFlash.end());
        const std::optional<QString> answer = m_options.ask(Consent::question(asked));
        if (!answer || !Consent::accepted(*answer)) {
            for (PortJob *job : toFlash)
                job->finish(Outcome::Interrupted, QStringLiteral("not flashed: declined"));
            return;
        }
    }
    for (PortJob *job : toFlash)
        job->startDownload();
}

int CliRun::exitStatus() const
{
    if (m_jobs.empty())
        return outcomeRow(Outcome::Usage).exitStatus;
    Outcome worst = m_jobs.front()->outcome();
    for (const auto &job : m_jobs)
        worst = worse(worst, job->outcome());
    return outcomeRow(worst).exitStatus;
}

void CliRun::interrupt()
{
    if (m_over)
        return;
    if (anyInPhase(PortJob::Phase::Downloading)) {
        if (!m_firstInterrupt.isValid() || m_firstInterrupt.elapsed() > kSecondInterruptMs) {
            m_firstInterrupt.start();
            m_options.tell(QStringLiteral(
                "Stopping now would leave the camera without firmware. The download goes on; "
                "press Ctrl-C again within 3 seconds to stop it all the same."));
            return;
        }
        QStringList stopped;
        for (const auto &job : m_jobs)
            if (job->phase() == PortJob::Phase::Downloading)
                stopped << job->label();
        m_options.tell(QStringLiteral("Stopped. The camera on %1 has no working firmware now: power-cycle it, "
                                      "then flash it again.")
                           .arg(stopped.join(QStringLiteral(", "))));
        for (const auto &job : m_jobs)
            if (job->phase() == PortJob::Phase::Downloading)
                job->finish(Outcome::Interrupted, QStringLiteral("stopped during the download: power-cycle, then flash again"));
    }
    // A check, or what is left: ends at once.
    m_decided = true;
    for (const auto &job : m_jobs)
        job->finish(Outcome::Interrupted);
}
