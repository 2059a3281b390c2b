#include "cli/JsonReport.h"

#include "cli/PortJob.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const char *checkWord(Landing landing)
{
    switch (landing) {
    case Landing::NeedsFlashing:
        return outcomeRow(Outcome::NeedsFlashing).word;
    case Landing::NoFlashNeeded:
        return outcomeRow(Outcome::UpToDate).word;
    case Landing::NotPtz2:
        return outcomeRow(Outcome::NotPtz2).word;
    case Landing::NoResponse:
        return outcomeRow(Outcome::NoResponse).word;
    default:
        return outcomeRow(Outcome::PortNotOpened).word;
    }
}

QJsonObject outcomeFields(const PortJob &job)
{
    const OutcomeRow &row = outcomeRow(job.outcome());
    QJsonObject fields{{QStringLiteral("outcome"), QString::fromLatin1(row.word)},
                       {QStringLiteral("exit"), row.exitStatus}};
    if (!job.detail().isEmpty())
        fields.insert(QStringLiteral("detail"), job.detail());
    return fields;
}

} // namespace

void JsonReport::emitEvent(const char *event, const PortJob *job, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), QString::fromLatin1(event));
    if (job)
        fields.insert(QStringLiteral("port"), job->label());
    const QByteArray line = QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n';
    // Nothing to be done when the output is gone: the exit status still tells.
    if (std::fwrite(line.constData(), 1, std::size_t(line.size()), m_out) == std::size_t(line.size()))
        std::fflush(m_out);
}

void JsonReport::opened(const PortJob &job)
{
    emitEvent("opened", &job, {});
}

void JsonReport::checked(const PortJob &job)
{
    QJsonObject fields{{QStringLiteral("check"), QString::fromLatin1(checkWord(job.checkLanding()))}};
    if (job.checkLanding() == Landing::NeedsFlashing || job.checkLanding() == Landing::NoFlashNeeded
        || job.checkLanding() == Landing::NotPtz2)
        fields.insert(QStringLiteral("version"), QString::fromLatin1(job.version()));
    if (!job.cause().isEmpty())
        fields.insert(QStringLiteral("cause"), job.cause());
    emitEvent("version", &job, fields);
}

void JsonReport::progressed(const PortJob &job)
{
    emitEvent("progress", &job,
              {{QStringLiteral("line"), job.linesSent()},
               {QStringLiteral("lines"), job.lineCount()},
               {QStringLiteral("elapsed_ms"), job.downloadMs()}});
}

void JsonReport::finished(const PortJob &job)
{
    emitEvent("outcome", &job, outcomeFields(job));
}

void JsonReport::summary(const QList<const PortJob *> &jobs, int exitStatus)
{
    QJsonArray ports;
    for (const PortJob *job : jobs) {
        QJsonObject port = outcomeFields(*job);
        port.insert(QStringLiteral("port"), job->label());
        ports.append(port);
    }
    emitEvent("summary", nullptr, {{QStringLiteral("exit"), exitStatus}, {QStringLiteral("ports"), ports}});
}
