#include "bench/WizardDrive.h"

#include "app/WizardStart.h"
#include "app/frmRevertex.h"
#include "bench/EventWatch.h"
#include "flash/PacedTimer.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include <vector>

namespace {

// Generous: a paced check takes about a second, a paced flash about 75 seconds.
constexpr int kCheckLimitMs = 60000;
constexpr int kFlashLimitMs = 600000;

constexpr int kComPortIndex = 0;   // " 1": the simulator's device is COM 1

QList<QWidget *> pages(frmRevertex &window, std::initializer_list<const char *> names)
{
    QList<QWidget *> found;
    for (const char *name : names)
        found.append(window.findChild<QWidget *>(QString::fromLatin1(name)));
    return found;
}

void clickNext(frmRevertex &window)
{
    window.findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
}

} // namespace

WizardDrive::WizardDrive(std::unique_ptr<CommPort> port, const QString &firmwareFile)
{
    // A run-time error would end the wizard with a message box; here it ends the run.
    const RunTimeErrorReport recordFatal = [this](int number, const QString &description) {
        if (m_fatal.isEmpty())
            m_fatal = QStringLiteral("run-time error %1: %2").arg(number).arg(description);
    };
    // The program's own start, with the firmware named as scripts/run.sh names it.
    WizardStart::Parts start;
    start.window = [&port, recordFatal] {
        frmRevertex::Parts parts;
        parts.port = std::move(port);
        parts.fatalError = recordFatal;
        return parts;
    };
    start.loadFailure = recordFatal;
    QString startOutput;
    QTextStream startErr(&startOutput);
    const QStringList arguments = {QStringLiteral("flash_bench"), QStringLiteral("--firmware"), firmwareFile};
    m_window = WizardStart::run(arguments, std::move(start), startErr).window;
    if (!m_window) {
        startErr.flush();
        m_failure = QStringLiteral("the wizard did not start: %1").arg(startOutput.trimmed());
        return;
    }
    m_window->show();
}

WizardDrive::~WizardDrive() = default;

bool WizardDrive::toWarningPage()
{
    frmRevertex &window = *m_window;
    clickNext(window);   // welcome -> COM port
    window.findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(kComPortIndex);
    EventWatch checked(pages(window, {"frame4", "frame4a"}), QEvent::Show);
    clickNext(window);   // COM port -> the camera check
    const QString afterCheck = checked.wait(kCheckLimitMs);
    if (afterCheck == QLatin1String("frame4"))
        return true;
    const QString message = window.findChild<QLabel *>(QStringLiteral("lblError"))->text();
    m_failure = QStringLiteral("the check did not reach the warning page: %1 %2")
                    .arg(afterCheck.isEmpty() ? QStringLiteral("(no page)") : afterCheck, message);
    return false;
}

bool WizardDrive::flash(FlashFigures &figures)
{
    frmRevertex &window = *m_window;
    EventWatch flashed(pages(window, {"frame6", "frame4a"}), QEvent::Show);
    // Counting costs a few instructions a tick, against tens of microseconds for the tick itself.
    std::vector<QMetaObject::Connection> counting;
    for (const char *timer : {"timerStartDownload", "Timer1", "timerFinish"})
        counting.push_back(QObject::connect(window.findChild<PacedTimer *>(QString::fromLatin1(timer)), &PacedTimer::ticked,
                                            [&figures] { ++figures.sequenceTicks; }));
    const CpuReading start = CpuReading::now();
    clickNext(window);   // warning page -> the download
    const QString afterFlash = flashed.wait(kFlashLimitMs);
    const CpuReading done = flashed.seenAt();
    for (const QMetaObject::Connection &connection : counting)
        QObject::disconnect(connection);
    if (afterFlash != QLatin1String("frame6")) {
        m_failure = QStringLiteral("the flash did not reach the done page");
        return false;
    }
    figures.flashSeconds = done.wallSeconds - start.wallSeconds;
    figures.flashCpuSeconds = done.cpuSeconds - start.cpuSeconds;
    return true;
}

void WizardDrive::close()
{
    m_window.reset();
}

QString WizardDrive::failure() const
{
    if (m_fatal.isEmpty())
        return m_failure;
    return m_failure.isEmpty() ? m_fatal : m_failure + QLatin1Char(' ') + m_fatal;
}
