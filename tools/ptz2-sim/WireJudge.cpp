#include "WireJudge.h"

#include "CameraCommands.h"

namespace {

// The closing script after the download, in the order the camera takes it.
const std::array<const char *, 8> kClosingScript{"ckb0", "ckz0m", "cDd0k3", "cDr0k", "ckk", "cki0n", "ckd0", "ckz0m"};
// The commands of the camera check, up to the download start.
const std::array<const char *, 5> kCheckPhase{"QGt", "ckkV", "cki0n", "ckb0", "ckl0"};

template <std::size_t N> bool among(const std::array<const char *, N> &names, const QString &name)
{
    for (const char *candidate : names) {
        if (name == QLatin1String(candidate))
            return true;
    }
    return false;
}

bool mustBeAcknowledgedFirst(const QString &name)
{
    return name == CameraCommands::kDownloadStart || name == CameraCommands::kLine;
}

QString shownByte(char byte)
{
    return QStringLiteral("0x") + QString::number(static_cast<unsigned char>(byte), 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

} // namespace

QStringList wireCheckNames()
{
    QStringList names;
    for (const WireCheckInfo &info : kWireChecks)
        names.append(QLatin1String(info.name));
    return names;
}

WireJudge::WireJudge(const QStringList &tolerated, Nanos startedAt)
    : m_startedAt(startedAt)
{
    for (const WireCheckInfo &info : kWireChecks)
        m_tolerated[index(info.check)] = tolerated.contains(QLatin1String(info.name));
}

void WireJudge::fault(WireCheck check, qint64 offset, Nanos at, const QString &what)
{
    const std::size_t i = index(check);
    ++m_counts[i];
    const WireFault found{check, offset, at, what};
    if (!m_first[i] || offset < m_first[i]->offset)
        m_first[i] = found;
    if (!m_tolerated[i] && (!m_firstCounted || offset < m_firstCounted->offset))
        m_firstCounted = found;
}

QString WireJudge::describe(const WireFault &fault) const
{
    return QStringLiteral("byte %1, %2 s: %3")
        .arg(fault.offset)
        .arg(toSeconds(fault.at - m_startedAt), 0, 'f', 6)
        .arg(fault.what);
}

void WireJudge::looseBytes(const LooseBytes &loose, char firstByte)
{
    if (loose.kind == LooseBytes::Kind::Stray) {
        fault(WireCheck::StrayBytes, loose.offset, loose.readAt,
              loose.count == 1 ? QStringLiteral("stray byte %1 outside any frame").arg(shownByte(firstByte))
                               : QStringLiteral("%1 stray bytes outside any frame, the first %2")
                                     .arg(loose.count)
                                     .arg(shownByte(firstByte)));
    } else {
        fault(WireCheck::AbandonedFrames, loose.offset, loose.readAt,
              QStringLiteral("a second STX abandoned the frame begun %1 bytes before").arg(loose.count));
    }
}

void WireJudge::frameArrived(int serial, const InboundFrame &frame, const QString &name)
{
    judgeTiming(frame, name);
    judgePhase(frame, name);
    if (mustBeAcknowledgedFirst(name)) {
        m_awaitedSerial = serial;
        m_awaitedName = name;
        m_awaitedAckAt = kNever;
    } else {
        m_awaitedSerial = 0;
    }
}

void WireJudge::judgeTiming(const InboundFrame &frame, const QString &name)
{
    if (m_awaitedSerial == 0)
        return;
    // The program can only have seen our acknowledgement if it was written before
    // this frame began and nothing we wrote was still unread by then.
    const bool seen = m_awaitedAckAt <= frame.firstByteReadAt && !frame.repliesUnread;
    if (seen)
        return;
    const QString frameName = name.isEmpty() ? QStringLiteral("a frame") : QStringLiteral("\"%1\"").arg(name);
    fault(WireCheck::EarlyLines, frame.offset, frame.firstByteReadAt,
          QStringLiteral("%1 sent before the acknowledgement of the \"%2\" before it").arg(frameName, m_awaitedName));
}

void WireJudge::judgePhase(const InboundFrame &frame, const QString &name)
{
    const auto wrong = [&](const QString &phase) {
        const QString shown = name.isEmpty() ? CameraCommands::displayName(frame.command) : name;
        fault(WireCheck::WrongPhase, frame.offset, frame.firstByteReadAt,
              name.isEmpty() ? QStringLiteral("unknown frame %1").arg(shown)
                             : QStringLiteral("\"%1\" is no command of %2").arg(shown, phase));
    };
    switch (m_phase) {
    case Phase::Check:
        if (!among(kCheckPhase, name))
            wrong(QStringLiteral("the camera check"));
        else if (name == CameraCommands::kDownloadStart)
            m_phase = Phase::Download;
        return;
    case Phase::Download:
        if (name == CameraCommands::kLine)
            return;
        if (!among(kClosingScript, name)) {
            wrong(QStringLiteral("the download"));
            return;
        }
        m_phase = Phase::Closing;
        judgeClosingStep(frame, name);
        return;
    case Phase::Closing:
        if (!among(kClosingScript, name)) {
            wrong(QStringLiteral("the closing script"));
            return;
        }
        judgeClosingStep(frame, name);
        return;
    case Phase::AfterClosing:
        wrong(QStringLiteral("anything after the closing script"));
        return;
    }
}

void WireJudge::judgeClosingStep(const InboundFrame &frame, const QString &name)
{
    if (name != QLatin1String(kClosingScript[m_closingStep])) {
        fault(WireCheck::ClosingOrder, frame.offset, frame.firstByteReadAt,
              QStringLiteral("closing script: \"%1\" where \"%2\" was due (command %3 of %4)")
                  .arg(name, QLatin1String(kClosingScript[m_closingStep]))
                  .arg(m_closingStep + 1)
                  .arg(kClosingScript.size()));
        // Go on from where that command stands in the script, if it stands later.
        std::size_t step = m_closingStep + 1;
        while (step < kClosingScript.size() && name != QLatin1String(kClosingScript[step]))
            ++step;
        if (step == kClosingScript.size())
            return;
        m_closingStep = step;
    }
    if (++m_closingStep == kClosingScript.size())
        m_phase = Phase::AfterClosing;
}

void WireJudge::badLine(const InboundFrame &frame, const QString &fault)
{
    this->fault(WireCheck::BadLines, frame.offset, frame.firstByteReadAt, QStringLiteral("line refused: %1").arg(fault));
}

void WireJudge::acknowledgementWritten(int serial, Nanos at)
{
    if (serial == m_awaitedSerial && m_awaitedAckAt == kNever)
        m_awaitedAckAt = at;
}
