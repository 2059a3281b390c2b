#include "SimulatorLoop.h"

#include "CameraCommands.h"
#include "PollFor.h"
#include "PseudoTerminal.h"
#include "RunReport.h"
#include "SignalPipe.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kReadChunk = 4096;

QString describeReply(const QByteArray &bytes)
{
    QString shown;
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7F)
            shown.append(QLatin1Char(byte));
        else
            shown.append(QStringLiteral("<%1>").arg(value, 2, 16, QLatin1Char('0')));
    }
    return shown;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        std::fprintf(stderr, "ptz2-sim: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

SimulatorLoop::SimulatorLoop(const SimOptions &options, const std::optional<ExpectedImage> &expected,
                             PseudoTerminal &terminal, SignalPipe &signalPipe)
    : m_options(options)
    , m_expected(expected)
    , m_terminal(terminal)
    , m_signals(signalPipe)
    , m_camera(options)
    , m_inbound(byteTimeAt(options.baud))
    , m_outbound(byteTimeAt(options.baud), options.split)
    , m_judge(options.tolerated, monotonicNow())
{
}

int SimulatorLoop::run()
{
    m_startedAt = m_judge.startedAt();   // one time base for faults and the trace
    if (m_options.timeoutSeconds > 0)
        m_deadline = m_startedAt + static_cast<Nanos>(m_options.timeoutSeconds * static_cast<double>(kNanosPerSecond));

    for (;;) {
        const Nanos now = monotonicNow();
        if (const int signalNumber = m_signals.take()) {
            // What the program sent before the signal counts: it is read first, so a
            // summary asked for right after the last write holds all of it.
            readDevice(now);
            if (!takeDueFrames(now))
                return endRun(vanishedReason());
            return endRun(QStringLiteral("ended by %1").arg(QLatin1String(strsignal(signalNumber))));
        }
        if (!takeDueFrames(now))
            return endRun(vanishedReason());
        queueDueReplies(now);
        flushWrites();
        if (now >= m_deadline)
            return endRun(QStringLiteral("timeout after %1 s").arg(m_options.timeoutSeconds));
        if (const std::optional<QString> reason = finishedReason(now))
            return endRun(*reason);
        waitForEvents(now);
    }
}

bool SimulatorLoop::takeDueFrames(Nanos now)
{
    for (const InboundFrame &frame : m_inbound.takeDueFrames(now)) {
        const int serial = ++m_framesTaken;
        const QString name = CameraCommands::knownName(frame.command);
        m_judge.frameArrived(serial, frame, name);
        CameraAnswer answer = m_camera.take(frame);
        if (!answer.badLine.isEmpty())
            m_judge.badLine(frame, answer.badLine);
        noteFirstFault();
        for (CameraReply &reply : answer.replies)
            reply.answersFrame = serial;
        if (name == CameraCommands::kDownloadStart && !answer.replies.empty())
            m_downloadStartSerial = serial;
        trace(frame.takenInAt, QStringLiteral("<- %1").arg(CameraCommands::displayName(frame.command)));
        if (CameraCommands::isLine(frame.command))
            m_timing.lineArrived(m_camera.lineFrames(), frame.firstByteReadAt);
        if (!answer.note.isEmpty())
            note(answer.note);
        if (answer.vanish) {
            m_terminal.close();
            return false;
        }
        if (answer.finishing) {
            m_closingScriptFinished = true;
            m_finishAnswered = !answer.replies.empty();
            if (!m_finishAnswered)
                m_finishSettledAt = frame.takenInAt;
        }
        if (!answer.replies.empty())
            m_outbound.send(answer.replies, answer.readyAt, answer.finishing);
    }
    return true;
}

void SimulatorLoop::queueDueReplies(Nanos now)
{
    for (OutboundChunk &chunk : m_outbound.takeDue(now))
        m_unwritten.push_back(std::move(chunk));
}

void SimulatorLoop::flushWrites()
{
    m_writeBlocked = false;
    while (!m_unwritten.empty()) {
        const OutboundChunk &chunk = m_unwritten.front();
        const qsizetype remaining = chunk.bytes.size() - m_unwrittenOffset;
        const ssize_t written = write(m_terminal.masterFd(), chunk.bytes.constData() + m_unwrittenOffset,
                                      static_cast<size_t>(remaining));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                m_writeBlocked = true;   // the program is not reading; try again when there is room
                return;
            }
            note(QStringLiteral("reply %1 lost: %2").arg(describeReply(chunk.bytes), QString::fromLocal8Bit(std::strerror(errno))));
            m_unwritten.pop_front();
            m_unwrittenOffset = 0;
            continue;
        }
        m_unwrittenOffset += written;
        if (m_unwrittenOffset < chunk.bytes.size())
            continue;
        const OutboundChunk done = std::move(m_unwritten.front());
        m_unwritten.pop_front();
        m_unwrittenOffset = 0;
        chunkWritten(done, monotonicNow());
    }
}

void SimulatorLoop::chunkWritten(const OutboundChunk &chunk, Nanos at)
{
    trace(at, QStringLiteral("-> %1").arg(describeReply(chunk.bytes)));
    if (chunk.endsReply && chunk.kind == ReplyKind::Acknowledgement) {
        m_timing.acknowledgementWritten(at, chunk.acknowledgedLine);
        m_judge.acknowledgementWritten(chunk.answersFrame, at);
        if (chunk.answersFrame == m_downloadStartSerial)
            m_downloadStartAcknowledged = true;
    }
    if (chunk.endsFinish)
        m_finishSettledAt = at;
}

std::optional<QString> SimulatorLoop::finishedReason(Nanos now) const
{
    if (!m_options.exitAfterFinish || m_finishSettledAt == kNever)
        return std::nullopt;
    const QString reason = QStringLiteral("closing script finished");
    if (!m_finishAnswered)
        return now >= m_finishSettledAt + kUnansweredFinishLinger ? std::optional<QString>(reason) : std::nullopt;
    const bool read = m_terminal.unreadByProgram() == 0;
    if ((read && now >= m_finishSettledAt + kGraceAfterFinish) || now >= m_finishSettledAt + kFinishReadLimit)
        return reason;
    return std::nullopt;
}

Nanos SimulatorLoop::nextWake(Nanos now) const
{
    Nanos wake = std::min({m_inbound.nextFrameDue(), m_outbound.nextDue(), m_deadline});
    if (m_options.exitAfterFinish && m_finishSettledAt != kNever)
        wake = std::min(wake, now + kFinishPollPeriod);
    return wake;
}

void SimulatorLoop::waitForEvents(Nanos now)
{
    pollfd watched[2]{};
    watched[0].fd = m_terminal.masterFd();
    watched[0].events = POLLIN | (m_writeBlocked ? POLLOUT : 0);
    watched[1].fd = m_signals.readFd();
    watched[1].events = POLLIN;

    const Nanos wake = nextWake(now);
    const Nanos wait = wake == kNever ? -1 : std::max<Nanos>(0, wake - now);
    const int ready = pollFor(watched, 2, wait);
    if (ready <= 0)
        return;
    if (watched[0].revents & POLLIN)
        readDevice(monotonicNow());
}

void SimulatorLoop::readDevice(Nanos readAt)
{
    // Asked before reading: a frame that starts now while our replies still wait
    // unread was sent without looking at them.
    const bool repliesUnread = m_terminal.unreadByProgram() > 0;
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t got = read(m_terminal.masterFd(), buffer, sizeof buffer);
        if (got > 0) {
            const QByteArray bytes(buffer, got);
            m_inbound.receive(bytes, readAt, repliesUnread);
            judgeLooseBytes(bytes);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return;   // EAGAIN: all read
    }
}

void SimulatorLoop::judgeLooseBytes(const QByteArray &justRead)
{
    const qint64 readFrom = m_bytesRead;
    m_bytesRead += justRead.size();
    for (const LooseBytes &loose : m_inbound.takeLooseBytes()) {
        const qint64 inThisRead = loose.offset - readFrom;
        const char first = inThisRead >= 0 && inThisRead < justRead.size() ? justRead.at(inThisRead) : '\0';
        m_judge.looseBytes(loose, first);
    }
    noteFirstFault();
}

void SimulatorLoop::noteFirstFault()
{
    // Told as it happens, once: the summary lists them all at the end.
    if (m_faultNoted || m_judge.clean())
        return;
    m_faultNoted = true;
    note(QStringLiteral("protocol fault at %1").arg(m_judge.describe(*m_judge.firstFault())));
}

QString SimulatorLoop::vanishedReason() const
{
    return QStringLiteral("device vanished after %1 lines").arg(m_camera.goodLines());
}

int SimulatorLoop::endRun(const QString &reason)
{
    m_terminal.close();
    const RunReport report(m_camera, m_judge, m_options, m_expected,
                           RunEnd{reason, m_closingScriptFinished, m_downloadStartAcknowledged});
    std::fputs(report.summary(m_options.logCommands).toUtf8().constData(), stdout);
    std::fflush(stdout);
    int status = report.exitStatus();
    if (!m_options.reportFile.isEmpty() && !writeFile(m_options.reportFile, report.json()))
        status = 2;
    if (!m_options.timingFile.isEmpty() && !writeFile(m_options.timingFile, m_timing.text().toUtf8()))
        status = 2;
    return status;
}

void SimulatorLoop::note(const QString &text) const
{
    std::fprintf(stderr, "ptz2-sim: %s\n", text.toUtf8().constData());
}

void SimulatorLoop::trace(Nanos at, const QString &text) const
{
    if (m_options.verbose)
        std::fprintf(stderr, "ptz2-sim: %10.6f %s\n", toSeconds(at - m_startedAt), text.toUtf8().constData());
}
