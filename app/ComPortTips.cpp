#include "app/ComPortTips.h"

#include <QComboBox>
#include <QTextDocument>

namespace {

// Left to itself a rich-text tooltip wraps even a short path into a narrow column: a
// short tip stays on its lines, a long one wraps at a fixed width.
const QString kWideTipFrame = QStringLiteral("<table width=\"440\"><tr><td>%1</td></tr></table>");
const QString kUnwrappedTip = QStringLiteral("<p style=\"white-space:pre\">%1</p>");
constexpr int kLongestUnwrappedTip = 70;   // characters

QString asRichText(const QString &tip)
{
    if (tip.size() <= kLongestUnwrappedTip)
        return kUnwrappedTip.arg(tip.toHtmlEscaped());
    return kWideTipFrame.arg(Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal));
}

} // namespace

QString comPortTip(const ComPortAssignment &port, const QString &failure)
{
    QString tip = QStringLiteral("COM %1: %2").arg(port.number).arg(describeComPort(port));
    if (!failure.isEmpty())
        tip += QStringLiteral("\nLast check: %1").arg(failure);
    return tip;
}

void showComPortTips(QComboBox *list, const QList<ComPortAssignment> &ports, qint16 failedPort, const QString &failure)
{
    for (const ComPortAssignment &port : ports) {
        const int entry = port.number - 1;
        if (entry < 0 || entry >= list->count())
            continue;
        // As rich text, so a long cause wraps instead of running off the screen.
        const QString tip = comPortTip(port, port.number == failedPort ? failure : QString());
        list->setItemData(entry, asRichText(tip), Qt::ToolTipRole);
    }
    list->setToolTip(list->itemData(list->currentIndex(), Qt::ToolTipRole).toString());
}

void followSelectedTip(QComboBox *list)
{
    QObject::connect(list, &QComboBox::currentIndexChanged, list,
                     [list](int entry) { list->setToolTip(list->itemData(entry, Qt::ToolTipRole).toString()); });
}
