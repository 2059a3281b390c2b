#include "app/ComPortTips.h"

#include <QComboBox>

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
        list->setItemData(entry, comPortTip(port, port.number == failedPort ? failure : QString()), Qt::ToolTipRole);
    }
    list->setToolTip(list->itemData(list->currentIndex(), Qt::ToolTipRole).toString());
}

void followSelectedTip(QComboBox *list)
{
    QObject::connect(list, &QComboBox::currentIndexChanged, list,
                     [list](int entry) { list->setToolTip(list->itemData(entry, Qt::ToolTipRole).toString()); });
}
