#include "cli/RunReport.h"

#include "cli/PortJob.h"

QString checkVerdictText(const PortJob &job)
{
    const QString version = QString::fromLatin1(job.version());
    switch (job.checkLanding()) {
    case Landing::NeedsFlashing:
        return QStringLiteral("version %1: needs flashing").arg(version);
    case Landing::NoFlashNeeded:
        return QStringLiteral("version %1: up to date").arg(version);
    case Landing::NotPtz2:
        return QStringLiteral("no usable version report (\"%1\"): not a PictureTel PTZ 2?").arg(version);
    case Landing::NoResponse:
        return QStringLiteral("no response from the camera");
    default:
        return QStringLiteral("the port could not be opened: %1").arg(job.cause());
    }
}
