#include "flash/SequenceRunner.h"

#include "flash/PacedTimer.h"

#include <stdexcept>
#include <utility>

namespace {

// The sequences' timers tick as often as the system's timer allows.
constexpr int kSequenceIntervalMs = 1;

using Tick = void (SequenceRunner::*)();

struct TimerDefinition {
    SequenceTimer which;
    const char *name;
    Tick tick;
};

const TimerDefinition kTimers[] = {
    {SequenceTimer::CamTest, "timerCamTest", &SequenceRunner::timerCamTest_Timer},
    {SequenceTimer::StartDownload, "timerStartDownload", &SequenceRunner::timerStartDownload_Timer},
    {SequenceTimer::LineTransfer, "Timer1", &SequenceRunner::Timer1_Timer},
    {SequenceTimer::Finish, "timerFinish", &SequenceRunner::timerFinish_Timer},
};

} // namespace

SequenceRunner::SequenceRunner(CommPort &port, SecondsClock &clock, const LineRecords &lines, SequenceFront &front,
                               RunTimeErrorReport failed, QObject *timerOwner)
    : m_port(port),
      m_front(front),
      m_failed(std::move(failed)),
      m_cameraCheck(m_session, port, clock, *this),
      m_downloadStart(m_session, port, clock, *this),
      m_lineTransfer(m_session, port, clock, lines, *this),
      m_closingSequence(m_session, port, clock, *this),
      m_pacer(m_session, clock)
{
    m_session.resetForDownload();
    for (const TimerDefinition &t : kTimers) {
        auto *timer = new PacedTimer(timerOwner ? timerOwner : this);
        timer->setObjectName(QString::fromLatin1(t.name));
        timer->setInterval(kSequenceIntervalMs);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &PacedTimer::ticked, this, t.tick);
        m_timers[std::size_t(t.which)] = timer;
    }

    // Waiting sequences tick when the camera's bytes arrive rather than every millisecond,
    // where the port can tell of arrivals.
    m_pacer.add(&timer(SequenceTimer::CamTest), [this] { return m_cameraCheck.waiting(); });
    m_pacer.add(&timer(SequenceTimer::StartDownload), [this] { return m_downloadStart.waiting(); });
    // A line's wait has no limit of the protocol, only the stall's of a minute.
    m_pacer.add(&timer(SequenceTimer::LineTransfer), [this] { return m_lineTransfer.waiting(); },
                SequencePacer::WaitLimit::Stall);
    m_pacer.add(&timer(SequenceTimer::Finish), [this] { return m_closingSequence.waiting(); });
    m_pacer.setPortTellsArrivals(m_port.notifyArrivals([this] { m_pacer.bytesArrived(); }));
}

SequenceRunner::~SequenceRunner()
{
    m_port.notifyArrivals({});
    for (PacedTimer *t : m_timers)
        delete t;
}

PacedTimer &SequenceRunner::timer(SequenceTimer which) const
{
    return *m_timers.at(std::size_t(which));
}

void SequenceRunner::setTimerEnabled(SequenceTimer which, bool enabled)
{
    PacedTimer &t = timer(which);
    if (!enabled)
        t.stop();
    else if (!t.isActive())
        t.start();
}

void SequenceRunner::stop()
{
    for (PacedTimer *t : m_timers)
        t->stop();
}

bool SequenceRunner::running() const
{
    for (PacedTimer *t : m_timers)
        if (t->isActive())
            return true;
    return false;
}

void SequenceRunner::timerCamTest_Timer()
{
    runTick(SequenceTimer::CamTest);
}

void SequenceRunner::timerStartDownload_Timer()
{
    runTick(SequenceTimer::StartDownload);
}

void SequenceRunner::Timer1_Timer()
{
    runTick(SequenceTimer::LineTransfer);
}

void SequenceRunner::timerFinish_Timer()
{
    runTick(SequenceTimer::Finish);
}

void SequenceRunner::runTick(SequenceTimer which)
{
    // The check traps its own failures; the guard keeps anything else off the event loop.
    m_pacer.beforeTick();
    m_ticking = which;
    runReportingFailure([this, which] { step(which); },
                        [this](int number, const QString &description) {
                            // Nothing may tick on while the report is up: the run is over.
                            stop();
                            m_failed(number, description);
                        });
    m_ticking.reset();
    m_pacer.afterTick();
}

void SequenceRunner::step(SequenceTimer which)
{
    switch (which) {
    case SequenceTimer::CamTest:
        m_cameraCheck.tick();
        return;
    case SequenceTimer::StartDownload:
        m_downloadStart.tick();
        return;
    case SequenceTimer::LineTransfer:
        m_lineTransfer.tick();
        return;
    case SequenceTimer::Finish:
        m_closingSequence.tick();
        return;
    }
    throw std::logic_error("sequence timer without a sequence");
}

QString SequenceRunner::selectedPortEntry() const
{
    return m_front.selectedPortEntry();
}

void SequenceRunner::throbOn()
{
    m_front.throbOn();
}

void SequenceRunner::notePortFailure(const QString &description)
{
    m_front.notePortFailure(description);
}

void SequenceRunner::land(Landing outcome)
{
    if (m_ticking)
        setTimerEnabled(*m_ticking, false);
    m_front.land(outcome);
}

void SequenceRunner::showLineProgress(qint32 lineIndex, qint32 upper)
{
    m_front.showLineProgress(lineIndex, upper);
}
