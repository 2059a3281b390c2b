#include "bench/FlashRun.h"

#include "app/WizardStart.h"
#include "app/frmRevertex.h"
#include "bench/EventWatch.h"
#include "bench/LineSendTimes.h"
#include "bench/LineTimingFile.h"
#include "bench/SimulatedCamera.h"
#include "link/SerialPortControl.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>

#include <memory>

namespace {

// Generous: a paced check takes about a second, a paced flash about 75 seconds.
constexpr int kCheckLimitMs = 60000;
constexpr int kFlashLimitMs = 600000;

constexpr int kComPortIndex = 0;   // " 1": the simulator's device is COM 1

QWidget *control(frmRevertex &window, const char *name)
{
    return window.findChild<QWidget *>(QString::fromLatin1(name));
}

QList<QWidget *> pages(frmRevertex &window, std::initializer_list<const char *> names)
{
    QList<QWidget *> found;
    for (const char *name : names)
        found.append(control(window, name));
    return found;
}

void clickNext(frmRevertex &window)
{
    window.findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
}

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

    // A run-time error would end the wizard with a message box; here it ends the run.
    QString fatal;
    const auto recordFatal = [&fatal](int number, const QString &description) {
        if (fatal.isEmpty())
            fatal = QStringLiteral("run-time error %1: %2").arg(number).arg(description);
    };
    auto port = std::make_unique<SerialPortControl>();   // the real one, watched for arrivals
    QSerialPort *serial = port->findChild<QSerialPort *>();
    if (!serial)
        return failed(figures, QStringLiteral("the serial port control has no QSerialPort"));
    // The program's own start, with the firmware named as scripts/run.sh names it.
    WizardStart::Parts wizard;
    wizard.window = [&port, &recordFatal] {
        frmRevertex::Parts parts;
        parts.port = std::move(port);
        parts.fatalError = recordFatal;
        return parts;
    };
    wizard.loadFailure = recordFatal;
    QString startOutput;
    QTextStream startErr(&startOutput);
    const QStringList arguments = {QStringLiteral("flash_bench"), QStringLiteral("--firmware"),
                                   QStringLiteral(REVERTEX_BENCH_FIRMWARE_CONTAINER)};
    std::unique_ptr<frmRevertex> window = WizardStart::run(arguments, std::move(wizard), startErr).window;
    if (!window)
        return failed(figures, QStringLiteral("the wizard did not start: %1%2").arg(startOutput, fatal));
    window->show();
    figures.budget = WireBudget::forLines(window->firmwareLines());

    clickNext(*window);   // welcome -> COM port
    window->findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(kComPortIndex);
    EventWatch checked(pages(*window, {"frame4", "frame4a"}), QEvent::Show);
    clickNext(*window);   // COM port -> the camera check
    const QString afterCheck = checked.wait(kCheckLimitMs);
    if (afterCheck != QLatin1String("frame4")) {
        const QString message = window->findChild<QLabel *>(QStringLiteral("lblError"))->text();
        return failed(figures, QStringLiteral("the check did not reach the warning page: %1 %2")
                                   .arg(afterCheck.isEmpty() ? QStringLiteral("(no page)") : afterCheck, message + fatal));
    }

    EventWatch flashed(pages(*window, {"frame6", "frame4a"}), QEvent::Show);
    // Counting costs a few instructions a tick, against tens of microseconds for the tick itself.
    for (const char *timer : {"timerStartDownload", "Timer1", "timerFinish"})
        QObject::connect(window->findChild<QTimer *>(QString::fromLatin1(timer)), &QTimer::timeout,
                         [&figures] { ++figures.sequenceTicks; });
    LineSendTimes sendTimes(*window, serial, window->findChild<QTimer *>(QStringLiteral("Timer1")));
    const CpuReading start = CpuReading::now();
    clickNext(*window);   // warning page -> the download
    const QString afterFlash = flashed.wait(kFlashLimitMs);
    const CpuReading done = flashed.seenAt();
    if (afterFlash != QLatin1String("frame6"))
        return failed(figures, QStringLiteral("the flash did not reach the done page %1").arg(fatal));
    figures.flashSeconds = done.wallSeconds - start.wallSeconds;
    figures.flashCpuSeconds = done.cpuSeconds - start.cpuSeconds;

    // The simulator ends by itself once the wizard has read its last answer.
    const bool imageArrived = camera.finish();
    window.reset();
    qunsetenv("REVERTEX_COM1");
    if (!fatal.isEmpty())
        return failed(figures, fatal);
    if (!imageArrived)
        return failed(figures, camera.failure());

    LineTimingFile timing;
    if (!timing.load(camera.timingFilePath()))
        return failed(figures, timing.error());
    if (qint64(timing.lines().size()) != figures.budget.lines)
        return failed(figures, QStringLiteral("the simulator saw %1 line frames, the image has %2")
                                   .arg(timing.lines().size())
                                   .arg(figures.budget.lines));
    figures.transferSeconds = timing.transferSeconds();
    figures.gaps = timing.gapsAfterAcknowledgement();
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
