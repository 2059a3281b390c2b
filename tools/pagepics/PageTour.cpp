#include "tools/pagepics/PageTour.h"

#include "flash/ImagePacking.h"
#include "tools/pagepics/ScriptedCamera.h"
#include "tools/pagepics/SteppedClock.h"
#include "tools/pagepics/WindowFrame.h"

#include <QFrame>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

namespace {

struct SequenceHandler {
    const char *timer;
    const char *handler;
};

// The sequence timers and what each tick runs; at most one of them is on at a time.
const SequenceHandler kSequenceHandlers[] = {
    {"timerCamTest", "timerCamTest_Timer"},
    {"timerStartDownload", "timerStartDownload_Timer"},
    {"Timer1", "Timer1_Timer"},
    {"timerFinish", "timerFinish_Timer"},
};

const char *const kPages[] = {"frame1", "frame2", "frame3", "frame4a", "frame4", "frame5", "frame6"};

// Turns of the busy animation before a picture of a busy page: the emblem is then seen
// turned away, not in the still pose of the other pages.
constexpr int kEmblemTurns = 6;

// Every line takes two ticks (send, then the poll that sees the acknowledgement); the
// rest is the check, the download start and the closing script with room to spare.
constexpr int kTicksPerLine = 2;
constexpr int kTicksBesidesLines = 1000;

// Firmware of as many lines as the camera's image has, so that the progress page shows
// what it shows on a real flash; not our test image, which the window would announce.
constexpr int kFirmwareLines = 899;

QByteArray pictureFirmware()
{
    return ImagePacking::packImage(QByteArray(kFirmwareLines * ImagePacking::kLineBytes, '\xFF'));
}

} // namespace

PageTour::PageTour(const PageShot &shot) : m_shot(shot)
{
    auto clock = std::make_unique<SteppedClock>();
    m_clock = clock.get();
    frmRevertex::Parts parts;
    parts.port = std::make_unique<ScriptedCamera>(shot.camera, QByteArray(shot.versionReport));
    parts.clock = std::move(clock);
    parts.firmware = pictureFirmware();
    parts.fatalError = [this](int number, const QString &description) {
        m_failure = QStringLiteral("run-time error %1: %2").arg(number).arg(description);
    };
    m_window = std::make_unique<frmRevertex>(std::move(parts));
}

PageTour::~PageTour() = default;

void PageTour::run()
{
    const TourGoal goal = m_shot.goal;
    if (goal >= TourGoal::ComPort)
        click("cmdNext");
    if (goal >= TourGoal::Testing)
        click("cmdNext");
    if (goal == TourGoal::Testing) {
        tick("timerCamTest_Timer");   // the port opens and the emblem starts turning
        turnEmblem();
    }
    if (goal >= TourGoal::CheckOutcome)
        runSequences([] { return false; });
    if (goal >= TourGoal::DownloadStart) {
        click("cmdNext");   // warning page: the download starts
        runSequences([this, goal] { return goal == TourGoal::HalfWay && halfWay(); });
    }
    if (goal == TourGoal::HalfWay)
        turnEmblem();
    requirePage();
}

QImage PageTour::clientArea() const
{
    return m_window->grab().toImage();
}

QImage PageTour::picture() const
{
    return WindowFrame::around(clientArea(), m_window->windowTitle());
}

void PageTour::click(const char *button)
{
    m_window->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

void PageTour::tick(const char *handler)
{
    m_clock->step();
    if (!QMetaObject::invokeMethod(m_window.get(), handler, Qt::DirectConnection))
        fail(QStringLiteral("no handler %1").arg(QLatin1String(handler)));
    if (!m_failure.isEmpty())
        fail(m_failure);
}

// Ticks whichever sequence timer is on until none is, or until stopWhen says so.
void PageTour::runSequences(const std::function<bool()> &stopWhen)
{
    const int tickLimit = kTicksPerLine * int(m_window->firmwareLines().size()) + kTicksBesidesLines;
    for (int ticks = 0; ticks < tickLimit; ++ticks) {
        if (stopWhen())
            return;
        const SequenceHandler *running = nullptr;
        for (const SequenceHandler &s : kSequenceHandlers)
            if (m_window->findChild<QTimer *>(QString::fromLatin1(s.timer))->isActive())
                running = &s;
        if (!running)
            return;
        tick(running->handler);
    }
    fail(QStringLiteral("the sequences did not end within %1 ticks").arg(tickLimit));
}

void PageTour::turnEmblem()
{
    if (!m_window->findChild<QTimer *>(QStringLiteral("throbAnimate"))->isActive())
        fail(QStringLiteral("the busy animation is not running"));
    for (int i = 0; i < kEmblemTurns; ++i)
        tick("throbAnimate_Timer");
}

bool PageTour::halfWay() const
{
    return 2 * qint64(m_window->session().LineIndex) >= qint64(m_window->firmwareLines().size());
}

void PageTour::requirePage() const
{
    QStringList shown;
    for (const char *page : kPages)
        if (!m_window->findChild<QFrame *>(QString::fromLatin1(page))->isHidden())
            shown << QString::fromLatin1(page);
    if (shown != QStringList{QString::fromLatin1(m_shot.page)})
        fail(QStringLiteral("showing %1 instead of %2").arg(shown.join(QLatin1Char(' ')), QLatin1String(m_shot.page)));
}

void PageTour::fail(const QString &what) const
{
    throw std::runtime_error(QStringLiteral("%1: %2").arg(QLatin1String(m_shot.file), what).toStdString());
}
