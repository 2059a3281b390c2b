#pragma once

#include "bench/TickFloor.h"

#include <QByteArray>
#include <QString>

// What the Windows build's benchmark hands back from under Wine: the wizard's own side
// of one flash and its empty-tick floor, as "name value" lines. The line times are the
// simulator's, read on this side.
struct WindowsRunFigures {
    QString failure;               // empty: the flash reached the done page
    double flashSeconds = 0;       // Next on the warning page to the done page
    double flashCpuSeconds = 0;    // the wizard's process over the same interval
    qint64 sequenceTicks = 0;
    TickFloor floor;

    QByteArray toText() const;
    // False when `text` is not what toText() writes (a run that died half way).
    static bool fromText(const QByteArray &text, WindowsRunFigures *figures);
};
