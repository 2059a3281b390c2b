#include "bench/LineTimingFile.h"

#include <QFile>
#include <QStringList>

namespace {

// "-" stands for a time the simulator never saw.
bool parseStamp(const QString &text, double *value)
{
    if (text == QLatin1String("-")) {
        *value = -1;
        return true;
    }
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

} // namespace

bool LineTimingFile::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool LineTimingFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    m_lines.clear();
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString where = QStringLiteral("%1 line %2: %3").arg(path).arg(lineNumber).arg(text);
        if (fields.size() == 2 && fields[0] == QLatin1String("first-line-sent")) {
            if (!parseStamp(fields[1], &m_firstLineSent))
                return fail(where);
        } else if (fields.size() == 2 && fields[0] == QLatin1String("last-ack")) {
            if (!parseStamp(fields[1], &m_lastAck))
                return fail(where);
        } else if (fields.size() == 3) {
            Line line;
            bool ok = false;
            line.frameNumber = fields[0].toInt(&ok);
            if (!ok || !parseStamp(fields[1], &line.previousAckAt) || !parseStamp(fields[2], &line.firstByteAt))
                return fail(where);
            m_lines.push_back(line);
        } else {
            return fail(where);
        }
    }
    if (m_lines.empty() || m_firstLineSent < 0 || m_lastAck < 0)
        return fail(QStringLiteral("%1: no complete line transfer recorded").arg(path));
    return true;
}

std::vector<double> LineTimingFile::gapsAfterAcknowledgement() const
{
    std::vector<double> gaps;
    for (std::size_t i = 1; i < m_lines.size(); ++i)
        if (m_lines[i].previousAckAt >= 0)
            gaps.push_back(m_lines[i].firstByteAt - m_lines[i].previousAckAt);
    return gaps;
}
