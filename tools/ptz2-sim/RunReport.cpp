#include "RunReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The summary lists this many rejected lines; the JSON report lists all.
constexpr std::size_t kRejectedLinesShown = 20;

} // namespace

RunReport::RunReport(const CameraModel &camera, const std::optional<ExpectedImage> &expected,
                     const QString &endReason, bool closingScriptFinished)
    : m_camera(camera)
    , m_expected(expected)
    , m_endReason(endReason)
    , m_finished(closingScriptFinished)
{
    if (m_expected)
        m_verdict = ImageVerdict::compare(m_camera.image(), m_expected->image);
}

QString RunReport::compactCommandList(const QStringList &commands)
{
    QStringList runs;
    for (qsizetype i = 0; i < commands.size();) {
        qsizetype end = i + 1;
        while (end < commands.size() && commands.at(end) == commands.at(i))
            ++end;
        runs.append(end - i == 1 ? commands.at(i) : QStringLiteral("%1*%2").arg(commands.at(i)).arg(end - i));
        i = end;
    }
    return runs.join(QLatin1Char(' '));
}

QString RunReport::summary(bool listCommands) const
{
    QString text = QStringLiteral("ptz2-sim summary (%1)\n").arg(m_endReason);
    text += QStringLiteral("lines received: %1\n").arg(m_camera.goodLines());
    text += QStringLiteral("bad lines: %1\n").arg(m_camera.rejectedLines().size());
    const auto &rejected = m_camera.rejectedLines();
    for (std::size_t i = 0; i < rejected.size() && i < kRejectedLinesShown; ++i)
        text += QStringLiteral("  line frame %1: %2\n").arg(rejected[i].frameNumber).arg(rejected[i].fault);
    if (rejected.size() > kRejectedLinesShown)
        text += QStringLiteral("  ... and %1 more\n").arg(rejected.size() - kRejectedLinesShown);
    text += QStringLiteral("bytes: %1\n").arg(m_camera.image().size());
    if (m_expected)
        text += QStringLiteral("expected: %1\n").arg(m_expected->description);
    text += QStringLiteral("image: %1\n").arg(m_verdict.text());
    if (!m_camera.unknownFrames().isEmpty())
        text += QStringLiteral("unknown frames: %1 (%2)\n")
                    .arg(m_camera.unknownFrames().size())
                    .arg(compactCommandList(m_camera.unknownFrames()));
    text += QStringLiteral("closing script: %1\n").arg(m_finished ? QStringLiteral("finished") : QStringLiteral("not finished"));
    if (listCommands)
        text += QStringLiteral("commands: %1\n").arg(compactCommandList(m_camera.commands()));
    return text;
}

QByteArray RunReport::json() const
{
    QJsonArray rejected;
    for (const RejectedLine &line : m_camera.rejectedLines())
        rejected.append(QJsonObject{{QStringLiteral("lineFrame"), line.frameNumber},
                                    {QStringLiteral("fault"), line.fault}});
    QJsonObject report{
        {QStringLiteral("end"), m_endReason},
        {QStringLiteral("linesReceived"), m_camera.goodLines()},
        {QStringLiteral("lineFrames"), m_camera.lineFrames()},
        {QStringLiteral("badLines"), rejected},
        {QStringLiteral("bytes"), m_camera.image().size()},
        {QStringLiteral("image"), m_verdict.text()},
        {QStringLiteral("imageMatches"), m_verdict.kind == ImageVerdict::Kind::Match},
        {QStringLiteral("expected"), m_expected ? m_expected->description : QString()},
        {QStringLiteral("expectedLines"), m_verdict.expectedLines},
        {QStringLiteral("closingScriptFinished"), m_finished},
        {QStringLiteral("downloadMode"), m_camera.inDownloadMode()},
        {QStringLiteral("unknownFrames"), QJsonArray::fromStringList(m_camera.unknownFrames())},
        {QStringLiteral("commands"), QJsonArray::fromStringList(m_camera.commands())},
        {QStringLiteral("exitStatus"), exitStatus()},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

int RunReport::exitStatus() const
{
    const bool imageGood =
        m_verdict.kind == ImageVerdict::Kind::Match || m_verdict.kind == ImageVerdict::Kind::NotChecked;
    const bool framesGood = m_camera.rejectedLines().empty() && m_camera.unknownFrames().isEmpty();
    return imageGood && framesGood ? 0 : 1;
}
