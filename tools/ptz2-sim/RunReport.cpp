#include "RunReport.h"

#include "ScenarioExpectation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The summary lists this many rejected lines; the JSON report lists all.
constexpr std::size_t kRejectedLinesShown = 20;

} // namespace

RunReport::RunReport(const CameraModel &camera, const WireJudge &judge, const SimOptions &options,
                     const std::optional<ExpectedImage> &expected, const RunEnd &end)
    : m_camera(camera)
    , m_judge(judge)
    , m_expected(expected)
    , m_end(end)
{
    if (m_expected) {
        m_verdict = ImageVerdict::compare(m_camera.image(), m_expected->image);
        m_incompleteBecause = incompleteImageExpected(options, m_verdict.expectedLines);
    }

    if (!m_judge.clean())
        m_problems.append(QStringLiteral("the program broke the protocol"));
    if (!imageJudged())
        return;
    switch (m_verdict.kind) {
    case ImageVerdict::Kind::Mismatch:
        m_problems.append(QStringLiteral("the image differs at line %1").arg(m_verdict.line));
        break;
    case ImageVerdict::Kind::Incomplete:
        if (!m_incompleteBecause)
            m_problems.append(QStringLiteral("the image is incomplete"));
        break;
    case ImageVerdict::Kind::Match:
        if (!m_end.closingScriptFinished && !m_incompleteBecause)
            m_problems.append(QStringLiteral("the closing script did not finish"));
        break;
    case ImageVerdict::Kind::NotChecked:
        break;
    }
}

bool RunReport::imageJudged() const
{
    return m_expected && (m_end.downloadStarted || m_camera.lineFrames() > 0);
}

QString RunReport::imageText() const
{
    if (!m_expected)
        return m_verdict.text();
    if (!imageJudged())
        return QStringLiteral("not judged, no download was started");
    if (m_verdict.kind == ImageVerdict::Kind::Incomplete && m_incompleteBecause)
        return QStringLiteral("%1, as expected with %2").arg(m_verdict.text(), *m_incompleteBecause);
    return m_verdict.text();
}

QString RunReport::resultText() const
{
    if (!m_problems.isEmpty())
        return QStringLiteral("NOT as expected: %1").arg(m_problems.join(QStringLiteral("; ")));
    if (!m_expected)
        return QStringLiteral("as expected: %1 lines received, none refused (no image to compare without --expect)")
            .arg(m_camera.goodLines());
    if (!imageJudged())
        return QStringLiteral("as expected: no download was started");
    if (m_verdict.kind == ImageVerdict::Kind::Incomplete)
        return QStringLiteral("as expected: the download stopped after %1 of %2 lines (%3)")
            .arg(m_verdict.receivedLines)
            .arg(m_verdict.expectedLines)
            .arg(*m_incompleteBecause);
    if (!m_end.closingScriptFinished)
        return QStringLiteral("as expected: the whole image arrived, the closing script did not run (%1)")
            .arg(*m_incompleteBecause);
    return QStringLiteral("as expected: the whole image arrived and the closing script ran");
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

QString RunReport::protocolText() const
{
    QString text;
    if (const std::optional<WireFault> first = m_judge.firstFault())
        text = QStringLiteral("protocol: FAULT at %1\n").arg(m_judge.describe(*first));
    else
        text = QStringLiteral("protocol: clean\n");
    for (const WireCheckInfo &info : kWireChecks) {
        const int count = m_judge.count(info.check);
        if (count == 0)
            continue;
        text += QStringLiteral("  %1: %2%3, first at %4\n")
                    .arg(QLatin1String(info.counted))
                    .arg(count)
                    .arg(m_judge.tolerated(info.check) ? QStringLiteral(" (tolerated)") : QString())
                    .arg(m_judge.describe(*m_judge.firstOf(info.check)));
    }
    return text;
}

QString RunReport::summary(bool listCommands) const
{
    QString text = QStringLiteral("ptz2-sim summary (%1)\n").arg(m_end.reason);
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
    text += QStringLiteral("image: %1\n").arg(imageText());
    if (!m_camera.unknownFrames().isEmpty())
        text += QStringLiteral("unknown frames: %1 (%2)\n")
                    .arg(m_camera.unknownFrames().size())
                    .arg(compactCommandList(m_camera.unknownFrames()));
    text += QStringLiteral("closing script: %1\n")
                .arg(m_end.closingScriptFinished ? QStringLiteral("finished") : QStringLiteral("not finished"));
    if (listCommands)
        text += QStringLiteral("commands: %1\n").arg(compactCommandList(m_camera.commands()));
    text += protocolText();
    text += QStringLiteral("result: %1\n").arg(resultText());
    return text;
}

QByteArray RunReport::json() const
{
    QJsonArray rejected;
    for (const RejectedLine &line : m_camera.rejectedLines())
        rejected.append(QJsonObject{{QStringLiteral("lineFrame"), line.frameNumber},
                                    {QStringLiteral("fault"), line.fault}});
    QJsonObject checks;
    for (const WireCheckInfo &info : kWireChecks) {
        QJsonObject check{{QStringLiteral("count"), m_judge.count(info.check)},
                          {QStringLiteral("tolerated"), m_judge.tolerated(info.check)}};
        if (const std::optional<WireFault> first = m_judge.firstOf(info.check))
            check.insert(QStringLiteral("first"), m_judge.describe(*first));
        checks.insert(QLatin1String(info.name), check);
    }
    const std::optional<WireFault> first = m_judge.firstFault();
    QJsonObject report{
        {QStringLiteral("end"), m_end.reason},
        {QStringLiteral("linesReceived"), m_camera.goodLines()},
        {QStringLiteral("lineFrames"), m_camera.lineFrames()},
        {QStringLiteral("badLines"), rejected},
        {QStringLiteral("bytes"), m_camera.image().size()},
        {QStringLiteral("image"), imageText()},
        {QStringLiteral("imageMatches"), m_verdict.kind == ImageVerdict::Kind::Match},
        {QStringLiteral("expected"), m_expected ? m_expected->description : QString()},
        {QStringLiteral("expectedLines"), m_verdict.expectedLines},
        {QStringLiteral("closingScriptFinished"), m_end.closingScriptFinished},
        {QStringLiteral("downloadStarted"), m_end.downloadStarted},
        {QStringLiteral("downloadMode"), m_camera.inDownloadMode()},
        {QStringLiteral("unknownFrames"), QJsonArray::fromStringList(m_camera.unknownFrames())},
        {QStringLiteral("commands"), QJsonArray::fromStringList(m_camera.commands())},
        {QStringLiteral("protocolClean"), m_judge.clean()},
        {QStringLiteral("firstFault"), first ? m_judge.describe(*first) : QString()},
        {QStringLiteral("checks"), checks},
        {QStringLiteral("result"), resultText()},
        {QStringLiteral("exitStatus"), exitStatus()},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}
