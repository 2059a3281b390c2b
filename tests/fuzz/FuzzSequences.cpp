// Runs the SequenceRunner, which owns one port's four sequences (camera check, download
// start, line transfer, closing script), their timers, their tick pacing and the tick
// guard, on a fake port, a fake clock and a fake front end. The fake clock decides when
// each timer is due; the fuzzer then calls that timer's tick slot itself (the event
// loop never runs, so no timer fires on its own).
// The input decides what the camera answers to each frame, when, and how its bytes are
// split over reads; how late the machine delivers the ticks; and what the user clicks.
// A model of the protocol, written from the wizard's rules and not from its tables,
// checks after every tick and every arrival what went on the wire, where the sequences
// landed and when they tick next.
//
// Input: three header bytes (port and clock kind, number of lines, clock phase), then
// records taken as things happen: four bytes for each frame the camera receives
// (answer, delay, how it splits, how late the ticks come until the next frame) and
// three for each choice of the user (what to click, after how long, which COM entry).
// Once the input ends, the camera stays silent, the ticks come on time and the user
// stops at the next choice.
#include "app/LandingTable.h"
#include "flash/LineCodec.h"
#include "flash/PacedTimer.h"
#include "flash/SequenceRunner.h"
#include "flash/TickPacing.h"
#include "link/RuntimeError.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
}

void require(bool holds, const char *what)
{
    if (!holds)
        fail(what);
}

class Input {
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool exhausted() const { return m_at >= m_size; }
    uint8_t next(uint8_t fallback) { return m_at < m_size ? m_data[m_at++] : fallback; }
    QByteArray take(size_t count)
    {
        count = std::min(count, m_size - std::min(m_at, m_size));
        const QByteArray bytes(reinterpret_cast<const char *>(m_data + m_at), qsizetype(count));
        m_at += count;
        return bytes;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// --- the model: what may go on the wire, and where a sequence may land -------------

const QByteArray kAckLvr("\x02lvr\x04");
const QByteArray kAckLira("\x02lira\x04");

QByteArray framed(const QByteArray &command) { return '\x02' + command + '\x04'; }

// Cuts what the wizard writes into frames: STX up to an EOT that no 0x7F escapes
// (firmware lines carry their STX, EOT and 0x7F bytes escaped).
class FrameCutter {
public:
    // The frame this byte ends, if it ends one.
    std::optional<QByteArray> take(char byte)
    {
        m_frame.append(byte);
        const bool ends = byte == '\x04' && !m_escaped;
        m_escaped = !m_escaped && byte == '\x7F';
        if (!ends)
            return std::nullopt;
        return std::exchange(m_frame, QByteArray());
    }
    bool between() const { return m_frame.isEmpty(); }

private:
    QByteArray m_frame;
    bool m_escaped = false;
};

enum class WaitKind { Tolerant, Strict, PollOnce };

struct ScriptStep {
    QByteArray frame;
    WaitKind wait;
    qint64 limitSeconds;
    bool onlyAStall = false;   // the limit only ends a stall: no protocol limit to keep
};

// The check: two tolerant waits, then two strict ones; the last command asks for the version.
const std::vector<ScriptStep> &checkScript()
{
    static const std::vector<ScriptStep> script{
        {framed("QGt"), WaitKind::Tolerant, 2},
        {framed("ckkV"), WaitKind::Tolerant, 1},
        {framed("cki0n"), WaitKind::Strict, 3},
        {framed("ckb0"), WaitKind::Strict, 3},
    };
    return script;
}

// The download: "ckl0", every line after the acknowledgement of the frame before (a
// stalled line gives up after a minute), then the closing script, whose waits all
// run out harmlessly and where "ckk" is followed by one poll only.
std::vector<ScriptStep> downloadScript(const LineRecords &lines)
{
    std::vector<ScriptStep> script{{framed("ckl0"), WaitKind::Strict, 31}};
    for (const QByteArray &line : lines)
        script.push_back({framed("ckw" + line), WaitKind::Strict, 60, true});
    const std::vector<ScriptStep> closing{
        {framed("ckb0"), WaitKind::Tolerant, 1},   {framed("ckz0m"), WaitKind::Tolerant, 1},
        {framed("cDd0k3"), WaitKind::Tolerant, 1}, {framed("cDr0k"), WaitKind::Tolerant, 1},
        {framed("ckk"), WaitKind::PollOnce, 0},    {framed("cki0n"), WaitKind::Tolerant, 1},
        {framed("ckd0\xF2"), WaitKind::Tolerant, 1}, {framed("ckz0m"), WaitKind::Tolerant, 4},
    };
    script.insert(script.end(), closing.begin(), closing.end());
    return script;
}

QByteArray folded(QByteArray text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

// The version a reply reports: what follows "CBOX " up to the final EOT, when the reply
// holds "BOOT" and "CBOX " in any letter case; "unk" otherwise.
QByteArray reportedVersion(const QByteArray &reply)
{
    const QByteArray upper = folded(reply);
    if (!upper.contains("BOOT") || !upper.contains("CBOX "))
        return "unk";
    return reply.mid(upper.indexOf("CBOX ") + 5).chopped(1);
}

class ProtocolModel {
public:
    explicit ProtocolModel(const LineRecords &lines) : m_downloadScript(downloadScript(lines)) {}

    void checkStarts(bool entryIsAPort)
    {
        start(&checkScript());
        m_entryIsAPort = entryIsAPort;
    }
    void downloadStarts()
    {
        require(m_checkVerdict && !m_downloaded, "the download starts only once, from a check's verdict");
        m_downloaded = true;
        start(&m_downloadScript);
    }
    void portFailed() { m_portFailed = true; }

    void wrote(const QByteArray &bytes, Stamp at)
    {
        require(m_script, "bytes written while no sequence runs");
        for (char byte : bytes) {
            if (m_frames.between())
                require(byte == '\x02', "a byte outside any frame");
            if (const std::optional<QByteArray> frame = m_frames.take(byte))
                frameSent(*frame, at);
        }
    }

    // Everything the sequences took in from the port: a poll.
    void took(const QByteArray &bytes, Stamp at)
    {
        require(m_script, "a read while no sequence runs");
        m_replies.append(bytes);
        qsizetype eot;
        while ((eot = m_replies.indexOf('\x04')) >= 0) {
            const QByteArray reply = m_replies.left(eot + 1);
            m_replies.remove(0, eot + 1);
            if (reply == kAckLvr || reply == kAckLira)
                m_acknowledged = true;
            if (m_versionAsked) {
                m_versionAsked = false;
                m_version = reportedVersion(reply);
            }
        }
        m_polled = true;
        if (m_sent > 0 && !m_acknowledged && at - m_sentAt > pending().limitSeconds)
            m_limitPassed = true;
    }

    void tickEnds(const std::optional<Landing> &landing, bool fatal)
    {
        require(m_frames.between(), "a tick ended inside a frame");
        if (fatal) {
            require(m_portFailed, "the program ended though the port never failed");
            m_script = nullptr;
            return;
        }
        if (landing) {
            landed(*landing);
            return;
        }
        if (m_script && m_sent > 0 && !m_acknowledged && m_limitPassed && pending().wait == WaitKind::Strict)
            fail("a strict limit passed and the sequence did not land");
    }

    bool running() const { return m_script != nullptr; }
    bool checkEndedWithVerdict() const { return m_checkVerdict; }

    // A wait whose end only a reply or a passing limit can bring.
    bool waiting() const
    {
        return m_script && m_sent > 0 && pending().wait != WaitKind::PollOnce && !m_acknowledged && !m_limitPassed;
    }
    bool waitingOnlyForAStall() const { return waiting() && pending().onlyAStall; }

private:
    void start(const std::vector<ScriptStep> *script)
    {
        require(!m_script, "a sequence starts while another runs");
        m_script = script;
        m_sent = 0;
        m_portFailed = false;
        m_checkVerdict = false;
    }

    const ScriptStep &pending() const { return (*m_script)[m_sent - 1]; }

    bool pendingWaitOver() const
    {
        switch (pending().wait) {
        case WaitKind::PollOnce:
            return m_polled;
        case WaitKind::Tolerant:
            return m_acknowledged || m_limitPassed;
        case WaitKind::Strict:
            return m_acknowledged;
        }
        return false;
    }

    void frameSent(const QByteArray &frame, Stamp at)
    {
        require(m_sent < m_script->size(), "a frame after the sequence's last");
        require(m_sent == 0 || pendingWaitOver(), "a frame before the wait for the one before was over");
        if (frame != (*m_script)[m_sent].frame)
            fail(m_script == &checkScript() ? "not the check's next command"
                 : m_sent == 0              ? "the download does not begin with ckl0"
                                            : "not the next line or closing command, byte for byte");
        ++m_sent;
        m_sentAt = at;
        m_acknowledged = false;
        m_limitPassed = false;
        m_polled = false;
        if (m_script == &checkScript() && m_sent == checkScript().size())
            m_versionAsked = true;
    }

    void landed(Landing landing)
    {
        require(m_script, "a landing while no sequence runs");
        const bool check = m_script == &checkScript();
        const bool lastSent = m_sent == m_script->size();
        bool allowed = false;
        switch (landing) {
        case Landing::CheckFailed:
            allowed = check && !m_entryIsAPort && m_sent == 0;
            break;
        case Landing::PortInUse:
            allowed = check && m_portFailed;
            break;
        case Landing::NoResponse:
            allowed = check && m_sent > 0 && pending().wait == WaitKind::Strict && m_limitPassed;
            break;
        case Landing::NotPtz2:
        case Landing::NoFlashNeeded:
        case Landing::NeedsFlashing:
            allowed = check && lastSent && m_acknowledged && landing == verdict();
            m_checkVerdict = allowed;
            break;
        case Landing::PowerCycle:
            allowed = !check && m_sent > 0 && !lastSent && pending().wait == WaitKind::Strict && m_limitPassed;
            break;
        case Landing::Flashed:
            allowed = !check && lastSent && pendingWaitOver();
            break;
        }
        require(allowed, "a landing the camera's answers do not lead to");
        m_script = nullptr;
    }

    Landing verdict() const
    {
        if (m_version.isEmpty() || m_version == "unk")
            return Landing::NotPtz2;
        return m_version == "3.46" ? Landing::NoFlashNeeded : Landing::NeedsFlashing;
    }

    const std::vector<ScriptStep> m_downloadScript;
    const std::vector<ScriptStep> *m_script = nullptr;   // the sequence running; null: none
    size_t m_sent = 0;           // frames of it sent
    Stamp m_sentAt = 0;
    bool m_acknowledged = false; // an acknowledgement was taken in since the last frame
    bool m_limitPassed = false;  // a poll without one found the pending wait's limit passed
    bool m_polled = false;       // a poll since the last frame
    FrameCutter m_frames;        // what the wizard wrote, cut into frames
    QByteArray m_replies;        // taken in, not yet ended by EOT: kept across sequences
    bool m_versionAsked = false;
    QByteArray m_version;
    bool m_entryIsAPort = true;
    bool m_portFailed = false;
    bool m_checkVerdict = false;
    bool m_downloaded = false;
};

// --- the world around the sequences -----------------------------------------------

class FuzzClock : public SecondsClock {
public:
    FuzzClock(const qint64 &nowMs, qint64 phaseMs, bool tells) : m_nowMs(nowMs), m_phaseMs(phaseMs), m_tells(tells) {}
    Stamp now() const override { return (m_phaseMs + m_nowMs) / 1000; }
    qint64 msUntilNextStamp() const override { return m_tells ? 1000 - (m_phaseMs + m_nowMs) % 1000 : -1; }

private:
    const qint64 &m_nowMs;
    qint64 m_phaseMs;
    bool m_tells;
};

class FuzzPort : public CommPort {
public:
    FuzzPort(ProtocolModel &model, const SecondsClock &clock, bool tellsArrivals)
        : m_model(model), m_clock(clock), m_tellsArrivals(tellsArrivals) {}

    bool vanished = false;
    QByteArray received;          // arrived, not yet read
    bool toldUnread = false;      // word of bytes came that no read has taken since
    std::function<void(const QByteArray &)> camera;   // hears every write
    std::function<void()> duringRead;                 // bytes that may come while a read runs

    bool portOpen() const override { return m_open; }
    void close() override { m_open = false; }
    void setCommPort(qint16) override {}
    void open() override
    {
        failIfGone();
        m_open = true;
    }
    void output(const QByteArray &bytes) override
    {
        failIfGone();
        m_model.wrote(bytes, m_clock.now());
        camera(bytes);
    }
    QByteArray input() override
    {
        failIfGone();
        toldUnread = false;
        const QByteArray read = std::exchange(received, QByteArray());
        m_model.took(read, m_clock.now());
        duringRead();
        return read;
    }
    bool notifyArrivals(std::function<void()> handler) override
    {
        m_handler = std::move(handler);
        return m_tellsArrivals;
    }

    void arrive(const QByteArray &bytes)
    {
        received.append(bytes);
        if (m_tellsArrivals && m_handler) {
            toldUnread = true;
            m_handler();
        }
    }

private:
    void failIfGone()
    {
        if (vanished) {
            m_model.portFailed();
            throw RuntimeError(CommError::ReadFailed, QStringLiteral("the device vanished"));
        }
    }

    ProtocolModel &m_model;
    const SecondsClock &m_clock;
    bool m_tellsArrivals;
    bool m_open = false;
    std::function<void()> m_handler;
};

constexpr int kDesignedMs = 1;   // the sequence timers' interval
constexpr int kStallLookAtMostMs = 1000;   // a stalled line is noticed within a second or two

using Tick = void (SequenceRunner::*)();

struct SequenceTick {
    SequenceTimer which;
    Tick tick;
};

const SequenceTick kSequenceTicks[] = {
    {SequenceTimer::CamTest, &SequenceRunner::timerCamTest_Timer},
    {SequenceTimer::StartDownload, &SequenceRunner::timerStartDownload_Timer},
    {SequenceTimer::LineTransfer, &SequenceRunner::Timer1_Timer},
    {SequenceTimer::Finish, &SequenceRunner::timerFinish_Timer},
};

// What the front end hears of the sequences; the timers are the runner's.
class FuzzFront : public SequenceFront {
public:
    const SequenceRunner *runner = nullptr;
    QString portEntry = QStringLiteral(" 1");
    std::optional<Landing> landing;   // in the tick now running

    QString selectedPortEntry() const override { return portEntry; }
    void throbOn() override {}
    void notePortFailure(const QString &) override {}
    void land(Landing outcome) override
    {
        require(!landing, "two landings in one tick");
        require(!runner->running(), "a sequence's timer still runs when its landing shows");
        const std::vector<LandingRow> &table = landingTable();
        const auto hasRow = [outcome](const LandingRow &row) { return row.outcome == outcome; };
        require(std::any_of(table.begin(), table.end(), hasRow), "a landing without a row in the landing table");
        landing = outcome;
    }
    void showLineProgress(qint32, qint32) override {}
};

// Firmware lines with the bytes that need care: escapes, NUL, bytes above 0x7F.
const LineRecords &allLines()
{
    static const LineRecords lines = [] {
        LineRecords made;
        const char fills[] = {'\x02', '\x04', '\x7F', '\x00', '\xF2', '\x55'};
        for (char fill : fills) {
            QByteArray image(LineCodec::kImageBytes, fill);
            image[3] = char(fill + 1);
            made.append(LineCodec::encodeLine(image));
        }
        return made;
    }();
    return lines;
}

const char *const kPortEntries[] = {" 1", " 1", " 1", " 1", " 2", "16", "17", " 0", "", "x"};

class Run {
public:
    Run(const uint8_t *data, size_t size)
        : m_in(data, size),
          m_flags(m_in.next(0)),
          m_lines(allLines().mid(0, 1 + (m_in.next(2) % allLines().size()))),
          m_model(m_lines),
          m_clock(m_nowMs, 4 * m_in.next(0) % 1000, m_flags & 2),
          m_port(m_model, m_clock, m_flags & 1),
          m_runner(m_port, m_clock, m_lines, m_front, [this](int, const QString &) { m_fatal = true; })
    {
        m_front.runner = &m_runner;
        m_port.camera = [this](const QByteArray &bytes) { cameraHears(bytes); };
        m_port.duringRead = [this] {
            if ((m_flags & 4) && !m_arrivals.empty() && m_arrivals.begin()->first <= m_nowMs + kDesignedMs)
                deliverArrival();
        };
    }

    void play()
    {
        userAt(0, UserStep::StartCheck, pickEntry(0));
        while (step()) {
        }
        require(!m_runner.running() && !m_model.running(), "a sequence never came to an end");
    }

private:
    enum class UserStep { None, StartCheck, StartDownload };

    // One event: a tick, an arrival or a click, whichever comes first. False when the
    // run is over.
    bool step()
    {
        require(++m_events < kMaxEvents, "a sequence never came to an end");
        const SequenceTick *ticking = nullptr;
        qint64 tickAt = kNever;
        for (const SequenceTick &t : kSequenceTicks) {
            if (m_runner.timer(t.which).isActive()) {
                require(!ticking, "two sequences run at once");
                ticking = &t;
                tickAt = m_due[size_t(t.which)] + m_lateMs + (m_events > kSlowAfterEvents ? kSlowMs : 0);
            }
        }
        const qint64 arrivalAt = m_arrivals.empty() ? kNever : m_arrivals.begin()->first;
        const qint64 userAt = m_userStep == UserStep::None ? kNever : m_userAt;
        const qint64 next = std::min({tickAt, arrivalAt, userAt});
        if (tickAt == kNever && userAt == kNever)
            return false;   // nothing runs and the user is done: what still arrives is never read
        m_nowMs = std::max(m_nowMs, next);
        if (next == arrivalAt)
            arrive();
        else if (next == userAt)
            click();
        else
            tick(*ticking);
        checkPacing();
        return true;
    }

    void arrive()
    {
        deliverArrival();
        reschedule();
    }

    void deliverArrival()
    {
        const auto first = m_arrivals.begin();
        const Arrival arrival = first->second;
        m_arrivals.erase(first);
        if (arrival.vanish)
            m_port.vanished = true;
        else
            m_port.arrive(arrival.bytes);
    }

    void click()
    {
        const UserStep step = std::exchange(m_userStep, UserStep::None);
        if (step == UserStep::StartCheck) {
            ++m_checks;
            m_model.checkStarts(portEntryIsAPort());
            m_runner.setTimerEnabled(SequenceTimer::CamTest, true);
        } else {
            m_model.downloadStarts();
            m_runner.setTimerEnabled(SequenceTimer::StartDownload, true);
        }
        reschedule();
    }

    // The tick the timer would deliver, through the runner's own slot: its pacing, its
    // guard (a failure stops every timer, then the report) and its landings.
    void tick(const SequenceTick &t)
    {
        m_front.landing.reset();
        m_fatal = false;
        (m_runner.*t.tick)();
        m_ticked = t.which;
        m_model.tickEnds(m_front.landing, m_fatal);
        if (m_front.landing || m_fatal)
            require(!m_runner.running(), "a timer left running after the landing");
        if (m_front.landing)
            userChooses(*m_front.landing);
        reschedule();
    }

    // When each running timer ticks next: the cadence counts from a tick, a start, or a
    // change of cadence.
    void reschedule()
    {
        for (const SequenceTick &t : kSequenceTicks) {
            const size_t i = size_t(t.which);
            const int cadence = m_runner.timer(t.which).cadence();
            if (cadence >= 0 && (m_ticked == t.which || cadence != m_cadence[i]))
                m_due[i] = m_nowMs + cadence;
            m_cadence[i] = cadence;
        }
        m_ticked.reset();
    }

    // When the running sequence ticks next, against what the design asks: every tick at
    // the designed 1 ms, but a wait may look less often as long as it takes in every
    // byte it was told of within that 1 ms, and notices a passing limit in time.
    void checkPacing()
    {
        for (const SequenceTick &t : kSequenceTicks) {
            const int cadence = m_runner.timer(t.which).cadence();
            if (cadence < 0)
                continue;
            if (!(m_flags & 1)) {
                require(cadence == kDesignedMs, "a polled port's sequence off its 1 ms ticks");
                continue;
            }
            if (m_port.toldUnread)
                require(cadence <= kDesignedMs, "bytes told of are not taken in within 1 ms");
            if (!m_model.waiting())
                require(cadence <= kDesignedMs, "a sequence that waits for nothing ticks late");
            if (m_model.waitingOnlyForAStall()) {
                require(cadence <= kStallLookAtMostMs, "a line's wait looks less than once a second");
                continue;
            }
            // A limit can pass only when the clock's second changes: the next look must
            // come just after that, or, with a clock that cannot tell when, often enough.
            const qint64 untilStamp = m_clock.msUntilNextStamp();
            if (untilStamp < 0)
                require(cadence <= TickPacing::kLimitNoticedWithinMs / 2, "a wait looks too seldom to notice its limit");
            else
                require(m_due[size_t(t.which)] - m_nowMs <= untilStamp + TickPacing::kAfterStampChangeMs,
                        "a wait looks later than just after its clock's second changes");
        }
    }

    // The camera takes in what is written; each whole frame gets the answer the input gives.
    void cameraHears(const QByteArray &bytes)
    {
        for (char byte : bytes)
            if (m_heard.take(byte))
                answerFrame();
    }

    void answerFrame()
    {
        const uint8_t kind = m_in.next(kSilence);
        const qint64 delayMs = delayFrom(m_in.next(0));
        const uint8_t split = m_in.next(0);
        m_lateMs = latenessFrom(m_in.next(0));

        QByteArray answer;
        switch (kind % 12) {
        case 0: answer = kAckLvr; break;
        case 1: answer = kAckLira; break;
        case 2: break;   // silence
        case 3: answer = framed("xyz") + kAckLvr; break;
        case 4: answer = versionReport() + kAckLvr; break;
        case 5: answer = kAckLira + versionReport(); break;
        case 6: answer = kAckLvr + kAckLvr; break;
        case 7: answer = "x" + kAckLvr; break;
        case 8: answer = framed("LVR"); break;
        case 9: answer = m_in.take(m_in.next(0) % 24); break;
        case 10: answer = versionReport(); break;
        case 11: m_arrivals.emplace(m_nowMs + delayMs, Arrival{{}, true}); return;
        }
        // A line carries bytes in order: an answer starts after the one before it.
        qint64 at = std::max(m_nowMs + delayMs, m_lastArrivalAt);
        const qsizetype piece = split == 0 ? answer.size() : 1 + (split & 7);
        const qint64 gapMs = split >> 3;
        for (qsizetype from = 0; from < answer.size(); from += piece, at += gapMs)
            m_arrivals.emplace(at, Arrival{answer.mid(from, piece), false});
        m_lastArrivalAt = at;
    }

    QByteArray versionReport()
    {
        static const char *const versions[] = {"3.45", "3.46", "3.46 ", "", "unk", "3.4"};
        const uint8_t pick = m_in.next(0);
        QByteArray text((pick & 0x80) ? "ptz2 boot 1.07 cbox " : "PTZ2 BOOT 1.07 CBOX ");
        if (pick & 0x40)
            text.clear();   // no report at all, only the version's text
        return framed(text + versions[pick % 6]);
    }

    // The user's next move after a landing.
    void userChooses(Landing landing)
    {
        const uint8_t choice = m_in.next(kStop);
        const qint64 thinkMs = 40 * qint64(m_in.next(0));
        const QString entry = pickEntry(m_in.next(0));
        const bool verdict = m_model.checkEndedWithVerdict();
        if (verdict && choice % 3 == 0) {
            userAt(m_nowMs + thinkMs, UserStep::StartDownload, m_front.portEntry);
        } else if ((verdict || landing == Landing::NoResponse || landing == Landing::PortInUse) && choice % 3 == 1
                   && m_checks < kMaxChecks) {
            userAt(m_nowMs + thinkMs, UserStep::StartCheck, entry);   // Back, then Next
        }
    }

    void userAt(qint64 at, UserStep step, const QString &entry)
    {
        m_userAt = at;
        m_userStep = step;
        m_front.portEntry = entry;
    }

    QString pickEntry(uint8_t pick) const
    {
        return QString::fromLatin1(kPortEntries[pick % (sizeof kPortEntries / sizeof *kPortEntries)]);
    }

    bool portEntryIsAPort() const
    {
        bool ok = false;
        const int number = m_front.portEntry.trimmed().toInt(&ok);
        return ok && number >= 1 && number <= 16;
    }

    // Answers come at once, within tens of milliseconds, within seconds, or near and past
    // the download start's 31-second limit.
    static qint64 delayFrom(uint8_t b)
    {
        if (b < 100)
            return b;
        if (b < 200)
            return (b - 100) * 50;
        return 25000 + (b - 200) * 200;
    }

    // How late the machine delivers the ticks: mostly on time, now and then tens of
    // milliseconds, seconds when it stalls.
    static qint64 latenessFrom(uint8_t b)
    {
        if (b < 128)
            return 0;
        if (b < 192)
            return b - 128;
        return (b - 192) * 100;
    }

    static constexpr qint64 kNever = std::numeric_limits<qint64>::max();
    static constexpr uint8_t kSilence = 2;
    static constexpr uint8_t kStop = 2;
    static constexpr int kMaxChecks = 3;
    static constexpr long kMaxEvents = 200000;
    static constexpr long kSlowAfterEvents = 3000;    // then a slow machine ends long waits sooner
    static constexpr qint64 kSlowMs = 50;

    struct Arrival {
        QByteArray bytes;
        bool vanish;
    };

    Input m_in;
    // bit 0: the port tells of arrivals; bit 1: the clock tells when its second changes;
    // bit 2: the port may tell of bytes that come while a read runs
    uint8_t m_flags;
    LineRecords m_lines;
    qint64 m_nowMs = 0;
    ProtocolModel m_model;
    FuzzClock m_clock;
    FuzzPort m_port;
    FuzzFront m_front;
    SequenceRunner m_runner;   // after what it runs on: it lets go of the port first
    bool m_fatal = false;      // the tick now running ended in the run-time error report

    std::array<qint64, 4> m_due{};
    std::array<int, 4> m_cadence{-1, -1, -1, -1};
    std::optional<SequenceTimer> m_ticked;
    qint64 m_lateMs = 0;
    long m_events = 0;
    std::multimap<qint64, Arrival> m_arrivals;
    qint64 m_lastArrivalAt = 0;
    FrameCutter m_heard;
    UserStep m_userStep = UserStep::None;
    qint64 m_userAt = 0;
    int m_checks = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The timers need an event dispatcher; the loop itself never runs.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Run(data, size).play();
    return 0;
}
