#include "cli/Consent.h"

#include "cli/PortJob.h"
#include "flash/FlashWarning.h"

QString Consent::question(const QList<const PortJob *> &toFlash)
{
    QString text;
    for (const PortJob *job : toFlash) {
        const QString version = QString::fromLatin1(job->version());
        QString reason;
        switch (job->checkLanding()) {
        case Landing::NoFlashNeeded:
            reason = QStringLiteral("reports %1 already; flashed as asked (--force)").arg(version);
            break;
        case Landing::NotPtz2:
            reason = QStringLiteral("not recognised as a PictureTel PTZ 2; flashed as asked (--force)");
            break;
        default:
            reason = QStringLiteral("reports %1").arg(version);
            break;
        }
        text += QStringLiteral("%1: will be flashed (%2)\n").arg(job->label(), reason);
    }
    text += QString::fromLatin1(kFlashWarning) + QLatin1Char('\n');
    text += toFlash.size() == 1 ? QStringLiteral("Flash this camera now? [y/N] ")
                                : QStringLiteral("Flash these %1 cameras now? [y/N] ").arg(toFlash.size());
    return text;
}

bool Consent::accepted(const QString &answer)
{
    const QString word = answer.trimmed().toLower();
    return word == QLatin1String("y") || word == QLatin1String("yes");
}
