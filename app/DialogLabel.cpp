#include "app/DialogLabel.h"

#include <QFontMetrics>
#include <QPainter>

DialogLabel::DialogLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
    setMargin(0);
    setIndent(0);
}

bool DialogLabel::needsOverstrike() const
{
    if (!font().bold())
        return false;
    QFont regular = font();
    regular.setBold(false);
    static const QString kProbe = QStringLiteral("Wimbledon 0123");
    return QFontMetrics(font()).horizontalAdvance(kProbe) == QFontMetrics(regular).horizontalAdvance(kProbe);
}

void DialogLabel::paintEvent(QPaintEvent *event)
{
    if (!needsOverstrike()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const int flags = int(alignment()) | Qt::TextWordWrap;
    const QRect area = contentsRect();
    painter.drawText(area, flags, text());
    painter.drawText(area.translated(1, 0), flags, text());
}
