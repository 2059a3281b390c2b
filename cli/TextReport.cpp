#include "cli/TextReport.h"

#include "cli/PortJob.h"

#include <algorithm>

void TextReport::printLine(const QString &line)
{
    write(line + QLatin1Char('\n'));
}

void TextReport::write(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    // Nothing to be done when the output is gone: the exit status still tells.
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_out) == std::size_t(bytes.size()))
        std::fflush(m_out);
}

void TextReport::opened(const PortJob &job)
{
    printLine(QStringLiteral("%1: opened").arg(job.label()));
}

void TextReport::checked(const PortJob &job)
{
    printLine(QStringLiteral("%1: %2").arg(job.label(), checkVerdictText(job)));
}

void TextReport::progressed(const PortJob &job)
{
    const int tenths = job.lineCount() ? job.linesSent() * 10 / job.lineCount() : 0;
    int &shown = m_tenthsShown[&job];
    if (tenths <= shown)
        return;
    shown = tenths;
    printLine(QStringLiteral("%1: %2 % (%3 of %4 lines)")
                  .arg(job.label())
                  .arg(tenths * 10)
                  .arg(job.linesSent())
                  .arg(job.lineCount()));
}

void TextReport::finished(const PortJob &job)
{
    const OutcomeRow &row = outcomeRow(job.outcome());
    QString line = QStringLiteral("%1: %2").arg(job.label(), QString::fromLatin1(row.word));
    if (!job.detail().isEmpty())
        line += QStringLiteral(": ") + job.detail();
    printLine(line);
}

void TextReport::summary(const QList<const PortJob *> &jobs, int exitStatus)
{
    int width = 4;
    for (const PortJob *job : jobs)
        width = std::max(width, int(job->label().size()));
    printLine(QString());
    printLine(QStringLiteral("%1  %2  %3").arg(QStringLiteral("port"), -width).arg(QStringLiteral("exit")).arg(QStringLiteral("outcome")));
    for (const PortJob *job : jobs) {
        const OutcomeRow &row = outcomeRow(job->outcome());
        QString what = QString::fromLatin1(row.word);
        if (!job->version().isEmpty())
            what += QStringLiteral(" (version %1)").arg(QString::fromLatin1(job->version()));
        printLine(QStringLiteral("%1  %2  %3").arg(job->label(), -width).arg(row.exitStatus, 4).arg(what));
    }
    printLine(QStringLiteral("exit status %1").arg(exitStatus));
}
