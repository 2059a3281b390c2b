#pragma once

#include "flash/ClosingSequence.h"
#include "flash/DownloadStart.h"
#include "flash/FailureReport.h"
#include "flash/LineRecords.h"
#include "flash/LineTransfer.h"
#include "flash/SequenceFront.h"
#include "flash/SequencePacer.h"
#include "link/CameraCheck.h"
#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/WizardSurface.h"

#include <QObject>

#include <array>
#include <optional>

class PacedTimer;

// The sequences of one port, whatever shows them: its session, the camera check, the
// download start, the line transfer and the closing script, each driven by its 1 ms
// timer (timerCamTest, timerStartDownload, Timer1, timerFinish) and paced by the bytes
// that arrive. One tick is one step of one sequence, on the thread the runner lives on.
// A landing switches off the timer of the sequence that lands; a tick that fails ends
// the run: every timer stops and the failure's report follows.
class SequenceRunner : public QObject, private WizardSurface {
    Q_OBJECT
public:
    // The four timers are children of `timerOwner` (null: of the runner), so that they are
    // found by name among its children. Port, clock, lines and front end must outlive
    // the runner.
    SequenceRunner(CommPort &port, SecondsClock &clock, const LineRecords &lines, SequenceFront &front,
                   RunTimeErrorReport failed, QObject *timerOwner = nullptr);
    ~SequenceRunner() override;

    CameraSession &session() { return m_session; }
    const CameraSession &session() const { return m_session; }
    PacedTimer &timer(SequenceTimer which) const;

    // Switches a sequence on or off, as the sequences do at their hand-overs; a running
    // timer keeps its rhythm.
    void setTimerEnabled(SequenceTimer which, bool enabled) override;
    // Every sequence off.
    void stop();
    bool running() const;

public slots:
    // The ticks of the four timers.
    void timerCamTest_Timer();
    void timerStartDownload_Timer();
    void Timer1_Timer();
    void timerFinish_Timer();

private:
    // WizardSurface, for the sequences: passed on to the front end.
    QString selectedPortEntry() const override;
    void throbOn() override;
    void notePortFailure(const QString &description) override;
    void land(Landing outcome) override;
    void showLineProgress(qint32 lineIndex, qint32 upper) override;

    void runTick(SequenceTimer which);
    void step(SequenceTimer which);

    CommPort &m_port;
    SequenceFront &m_front;
    RunTimeErrorReport m_failed;
    CameraSession m_session;
    CameraCheck m_cameraCheck;
    DownloadStart m_downloadStart;
    LineTransfer m_lineTransfer;
    ClosingSequence m_closingSequence;
    std::array<PacedTimer *, 4> m_timers{};
    SequencePacer m_pacer;
    std::optional<SequenceTimer> m_ticking;   // the sequence whose tick runs now
};
