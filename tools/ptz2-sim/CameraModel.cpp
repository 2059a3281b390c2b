#include "CameraModel.h"

#include "CameraCommands.h"
#include "LineCheck.h"

namespace {

constexpr char kStx = 0x02;
constexpr char kEot = 0x04;
constexpr char kReportHead[] = "PTZ2 BOOT 1.07 CBOX ";
constexpr char kNoiseText[] = "xyz";

// The closing script sends "ckz0m" twice; the second one ends it.
constexpr int kSleepsInClosingScript = 2;

QByteArray framed(const QByteArray &text)
{
    return kStx + text + kEot;
}

} // namespace

CameraModel::CameraModel(const SimOptions &options)
    : m_options(options)
    , m_jitter(static_cast<std::mt19937::result_type>(options.seed))
{
}

bool CameraModel::answers(const QString &name) const
{
    if (m_options.silent || m_options.ignored.contains(name))
        return false;
    // Lines taken so far; the line that reaches the limit is still answered.
    return m_options.stopAfterLines < 0 || m_goodLines < m_options.stopAfterLines;
}

CameraAnswer CameraModel::take(const InboundFrame &frame)
{
    CameraAnswer answer;
    const QString name = CameraCommands::knownName(frame.command);
    m_commands.append(CameraCommands::displayName(frame.command));
    if (name.isEmpty()) {
        m_unknown.append(CameraCommands::displayName(frame.command));
        answer.note = QStringLiteral("unknown frame %1 left unanswered").arg(m_unknown.last());
        return answer;
    }

    const bool answering = answers(name);
    Nanos delay = static_cast<Nanos>(m_options.ackDelayMs) * kNanosPerMilli;
    if (m_options.jitterMs > 0)
        delay += std::uniform_int_distribution<Nanos>(0, static_cast<Nanos>(m_options.jitterMs) * kNanosPerMilli)(m_jitter);

    if (name == CameraCommands::kLine) {
        takeLine(frame.command, answer, answering);
    } else if (answering) {
        if (name == CameraCommands::kVersionRequest && !m_downloadMode && !m_options.noReport) {
            if (m_options.ackFirst) {
                answer.replies.push_back(acknowledgement(0));
                answer.replies.push_back(versionReport());
            } else {
                answer.replies.push_back(versionReport());
                answer.replies.push_back(acknowledgement(0));
            }
        } else {
            // No stray reply between a version request and its report.
            if (m_options.noise && !(name == CameraCommands::kVersionRequest && !m_downloadMode))
                answer.replies.push_back(noiseReply());
            answer.replies.push_back(acknowledgement(0));
        }
        if (name == CameraCommands::kDownloadStart) {
            delay += static_cast<Nanos>(m_options.startDelaySeconds * static_cast<double>(kNanosPerSecond));
            m_downloadMode = true;
        }
    }

    if (name == CameraCommands::kSleep && m_goodLines > 0) {
        ++m_sleepsAfterDownload;
        answer.finishing = m_sleepsAfterDownload == kSleepsInClosingScript;
    }
    answer.readyAt = frame.takenInAt + delay;
    return answer;
}

void CameraModel::takeLine(const QByteArray &command, CameraAnswer &answer, bool answering)
{
    ++m_lineFrames;
    const QByteArray body = command.mid(CameraCommands::kLine.size());
    QString fault;
    if (!m_downloadMode) {
        fault = QStringLiteral("arrived before \"ckl0\" put the camera into download mode");
    } else {
        const LineCheck::Result line = LineCheck::read(body);
        if (line.good)
            m_image.append(line.imageBytes);
        else
            fault = answer.badLine = line.fault;
    }
    if (!fault.isEmpty()) {
        m_rejected.push_back(RejectedLine{m_lineFrames, fault});
        answer.note = QStringLiteral("line frame %1 rejected, not acknowledged: %2").arg(m_lineFrames).arg(fault);
        return;
    }
    ++m_goodLines;
    if (m_options.vanishAfterLines > 0 && m_goodLines == m_options.vanishAfterLines) {
        answer.vanish = true;
        answer.note = QStringLiteral("line %1 arrived: the device disappears").arg(m_goodLines);
        return;
    }
    if (!answering)
        return;
    if (m_options.noise)
        answer.replies.push_back(noiseReply());
    answer.replies.push_back(acknowledgement(m_goodLines));
}

CameraReply CameraModel::acknowledgement(int acknowledgedLine)
{
    const bool odd = (m_acksMade++ % 2) == 1;
    const bool lira = m_options.lira != (m_options.alternateAcks && odd);
    return CameraReply{framed(lira ? QByteArrayLiteral("lira") : QByteArrayLiteral("lvr")),
                       ReplyKind::Acknowledgement, acknowledgedLine};
}

CameraReply CameraModel::versionReport() const
{
    return CameraReply{framed(kReportHead + m_options.version.toUtf8()), ReplyKind::VersionReport, 0};
}

CameraReply CameraModel::noiseReply()
{
    return CameraReply{framed(kNoiseText), ReplyKind::Noise, 0};
}
