#include "bench/FlashRun.h"

#include "app/frmRevertex.h"
#include "bench/LineSendTimes.h"
#include "flash/PacedTimer.h"
#include "bench/SimulatedCamera.h"
#include "bench/WizardDrive.h"
#include "link/SerialPortControl.h"

#include <QSerialPort>

#include <memory>

namespace {

FlashFigures failed(FlashFigures figures, const QString &why)
{
    figures.ok = false;
    figures.failure = why;
    return figures;
}

} // namespace

FlashFigures FlashRun::run(int baud)
{
    FlashFigures figures;
    figures.baud = baud;

    SimulatedCamera camera(baud);
    if (camera.devicePath().isEmpty())
        return failed(figures, camera.failure());
    qputenv("REVERTEX_COM1", camera.devicePath().toLocal8Bit());

    auto port = std::make_unique<SerialPortControl>();   // the real one, watched for arrivals
    QSerialPort *serial = port->findChild<QSerialPort *>();
    if (!serial)
        return failed(figures, QStringLiteral("the serial port control has no QSerialPort"));
    WizardDrive drive(std::move(port), QStringLiteral(REVERTEX_BENCH_FIRMWARE_CONTAINER));
    if (!drive.window())
        return failed(figures, drive.failure());
    figures.budget = WireBudget::forLines(drive.window()->firmwareLines());
    if (!drive.toWarningPage())
        return failed(figures, drive.failure());
    LineSendTimes sendTimes(*drive.window(), serial, drive.window()->findChild<PacedTimer *>(QStringLiteral("Timer1")));
    if (!drive.flash(figures))
        return failed(figures, drive.failure());

    // The simulator ends by itself once the wizard has read its last answer.
    const bool imageArrived = camera.finish();
    const QString fatal = drive.failure();
    drive.close();
    qunsetenv("REVERTEX_COM1");
    if (!fatal.isEmpty())
        return failed(figures, fatal);
    if (!imageArrived)
        return failed(figures, camera.failure());

    LineTimingFile timing;
    if (!timing.load(camera.timingFilePath()))
        return failed(figures, timing.error());
    const QString shortTiming = takeLineTimes(timing, figures);
    if (!shortTiming.isEmpty())
        return failed(figures, shortTiming);
    for (const LineTimingFile::Line &line : timing.lines()) {
        const std::size_t index = std::size_t(line.frameNumber - 1);
        if (line.frameNumber < 2 || index >= sendTimes.writtenAt().size() || line.previousAckAt < 0)
            continue;
        const double word = sendTimes.wordOfAckAt()[index];
        const double written = sendTimes.writtenAt()[index];
        if (word < 0 || written < 0)
            continue;
        figures.wakeUps.push_back(word - line.previousAckAt);
        figures.ownTicks.push_back(written - word);
        figures.onward.push_back(line.firstByteAt - written);
    }
    figures.ok = true;
    return figures;
}

QString FlashRun::takeLineTimes(const LineTimingFile &timing, FlashFigures &figures)
{
    if (qint64(timing.lines().size()) != figures.budget.lines)
        return QStringLiteral("the simulator saw %1 line frames, the image has %2")
            .arg(timing.lines().size())
            .arg(figures.budget.lines);
    figures.transferSeconds = timing.transferSeconds();
    figures.gaps = timing.gapsAfterAcknowledgement();
    return QString();
}
