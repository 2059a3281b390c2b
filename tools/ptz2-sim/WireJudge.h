#pragma once

#include "InboundWire.h"
#include "SimTime.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The checks the camera makes on what the program sends, each with the name that
// --tolerate takes.
enum class WireCheck { StrayBytes, AbandonedFrames, WrongPhase, EarlyLines, BadLines, ClosingOrder };

struct WireCheckInfo {
    WireCheck check;
    const char *name;
    const char *counted;   // what the summary counts, plural
};

inline constexpr std::array<WireCheckInfo, 6> kWireChecks{{
    {WireCheck::StrayBytes, "stray-bytes", "stray bytes outside any frame"},
    {WireCheck::AbandonedFrames, "abandoned-frames", "frames abandoned by a second STX"},
    {WireCheck::WrongPhase, "wrong-phase", "frames that are no command of the current phase"},
    {WireCheck::EarlyLines, "early-lines", "frames sent before the acknowledgement of the one before"},
    {WireCheck::BadLines, "bad-lines", "lines with a wrong checksum or wrong escapes"},
    {WireCheck::ClosingOrder, "closing-order", "closing script commands out of order"},
}};

QStringList wireCheckNames();

struct WireFault {
    WireCheck check = WireCheck::StrayBytes;
    qint64 offset = 0;   // in everything the program sent
    Nanos at = 0;        // when that byte was read
    QString what;
};

// The verdict over a whole run on what the program sent: a real camera would choke on
// any of these. Every fault is counted; the first one that is not tolerated decides.
// The program's phases: the check (up to "ckl0"), the download (firmware lines after
// "ckl0"), the closing script (from its first command after "ckl0"), and after it.
// "ckl0" and every line must be acknowledged before the next frame starts.
class WireJudge {
public:
    // tolerated: check names as in kWireChecks.
    WireJudge(const QStringList &tolerated, Nanos startedAt);

    void looseBytes(const LooseBytes &loose, char firstByte);
    // name: the command as CameraCommands knows it, empty for an unknown frame.
    void frameArrived(int serial, const InboundFrame &frame, const QString &name);
    void badLine(const InboundFrame &frame, const QString &fault);
    void acknowledgementWritten(int serial, Nanos at);

    bool clean() const { return !m_firstCounted.has_value(); }
    int count(WireCheck check) const { return m_counts[index(check)]; }
    bool tolerated(WireCheck check) const { return m_tolerated[index(check)]; }
    std::optional<WireFault> firstFault() const { return m_firstCounted; }
    std::optional<WireFault> firstOf(WireCheck check) const { return m_first[index(check)]; }

    // "byte 1234, 2.345678 s: ...", the time counted from startedAt.
    QString describe(const WireFault &fault) const;
    Nanos startedAt() const { return m_startedAt; }

private:
    enum class Phase { Check, Download, Closing, AfterClosing };

    static std::size_t index(WireCheck check) { return static_cast<std::size_t>(check); }
    void fault(WireCheck check, qint64 offset, Nanos at, const QString &what);
    void judgePhase(const InboundFrame &frame, const QString &name);
    void judgeClosingStep(const InboundFrame &frame, const QString &name);
    void judgeTiming(const InboundFrame &frame, const QString &name);

    Nanos m_startedAt;
    std::array<bool, kWireChecks.size()> m_tolerated{};
    std::array<int, kWireChecks.size()> m_counts{};
    std::array<std::optional<WireFault>, kWireChecks.size()> m_first{};
    std::optional<WireFault> m_firstCounted;

    Phase m_phase = Phase::Check;
    std::size_t m_closingStep = 0;
    // The frame before, when it must be acknowledged before the next one starts.
    int m_awaitedSerial = 0;   // 0: nothing awaited
    QString m_awaitedName;
    Nanos m_awaitedAckAt = kNever;
};
