#pragma once

#include "CameraModel.h"
#include "ExpectedImage.h"
#include "InboundWire.h"
#include "LineTimingLog.h"
#include "OutboundWire.h"
#include "SimOptions.h"
#include "WireJudge.h"

#include <deque>
#include <optional>

class PseudoTerminal;
class SignalPipe;

// The simulator's one thread: a poll() loop on the pseudo-terminal and the signal
// pipe, woken exactly when the next held frame or reply falls due.
class SimulatorLoop {
public:
    // After the answer to the closing script's final command has been written and read:
    // room for the program to act on it before the device goes away.
    static constexpr Nanos kGraceAfterFinish = 300 * kNanosPerMilli;
    // The longest we wait for the program to read that answer.
    static constexpr Nanos kFinishReadLimit = 5 * kNanosPerSecond;
    // A final command left unanswered: the program waits 4 whole seconds for it (up to
    // 5 s of real time), so the device stays until that wait has surely run out.
    static constexpr Nanos kUnansweredFinishLinger = 6 * kNanosPerSecond;
    static constexpr Nanos kFinishPollPeriod = 10 * kNanosPerMilli;

    SimulatorLoop(const SimOptions &options, const std::optional<ExpectedImage> &expected, PseudoTerminal &terminal,
                  SignalPipe &signalPipe);

    // Runs until a signal, the time-out, the end of the closing script (with
    // --exit-after-finish) or the device vanishing; prints the summary, writes the
    // report files and returns the exit status.
    int run();

private:
    void readDevice(Nanos readAt);
    void judgeLooseBytes(const QByteArray &justRead);
    void noteFirstFault();
    bool takeDueFrames(Nanos now);   // false when the device vanished
    void queueDueReplies(Nanos now);
    void flushWrites();
    void chunkWritten(const OutboundChunk &chunk, Nanos at);
    std::optional<QString> finishedReason(Nanos now) const;
    Nanos nextWake(Nanos now) const;
    void waitForEvents(Nanos now);
    QString vanishedReason() const;
    int endRun(const QString &reason);
    void note(const QString &text) const;
    void trace(Nanos at, const QString &text) const;

    SimOptions m_options;
    std::optional<ExpectedImage> m_expected;
    PseudoTerminal &m_terminal;
    SignalPipe &m_signals;
    CameraModel m_camera;
    InboundWire m_inbound;
    OutboundWire m_outbound;
    LineTimingLog m_timing;
    WireJudge m_judge;
    int m_framesTaken = 0;
    qint64 m_bytesRead = 0;
    int m_downloadStartSerial = 0;       // the latest "ckl0" frame the camera answers
    bool m_downloadStartAcknowledged = false;
    bool m_faultNoted = false;

    std::deque<OutboundChunk> m_unwritten;   // due, not yet accepted by the device
    qsizetype m_unwrittenOffset = 0;
    bool m_writeBlocked = false;

    Nanos m_startedAt = 0;
    Nanos m_deadline = kNever;
    bool m_closingScriptFinished = false;
    bool m_finishAnswered = false;
    Nanos m_finishSettledAt = kNever;   // final answer written, or final command taken unanswered
};
