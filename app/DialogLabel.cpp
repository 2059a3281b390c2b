#include "app/DialogLabel.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <functional>

namespace {

// Lays `text` out in lines of at most `width`, one pitch apart, with each line's
// baseline where the dialog face has it: a descent above the next line's top.
// Calls `place` with every line; returns the widest line's width.
qreal layOut(QTextLayout &layout, qreal width, qreal pitch, const QFontMetricsF &metrics,
             const std::function<void(const QTextLine &)> &place)
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const qreal lead = pitch - metrics.ascent() - metrics.descent();
    qreal widest = 0;
    layout.beginLayout();
    for (int i = 0;; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, i * pitch + lead));
        widest = qMax(widest, line.naturalTextWidth());
        place(line);
    }
    layout.endLayout();
    return widest;
}

} // namespace

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
    // A scalable face has a bold face or is emboldened by its outlines; only a bitmap
    // face without a bold strike needs the second pass.
    if (!font().bold() || QFontDatabase::isSmoothlyScalable(QFontInfo(font()).family()))
        return false;
    QFont regular = font();
    regular.setBold(false);
    static const QString kProbe = QStringLiteral("Wimbledon 0123");
    return QFontMetrics(font()).horizontalAdvance(kProbe) == QFontMetrics(regular).horizontalAdvance(kProbe);
}

qreal DialogLabel::linePitch() const
{
    return qMax<qreal>(kDialogLinePitch, QFontMetricsF(font(), this).lineSpacing());
}

QSizeF DialogLabel::textSize(const QString &text) const
{
    QTextLayout layout(text, font(), this);
    int lines = 0;
    const qreal widest = layOut(layout, contentsRect().width(), linePitch(), QFontMetricsF(font(), this),
                                [&lines](const QTextLine &) { ++lines; });
    return {widest + (needsOverstrike() ? 1 : 0), lines * linePitch()};
}

void DialogLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QRect area = contentsRect();
    painter.setClipRect(area);
    QTextLayout layout(text(), font(), this);
    layOut(layout, area.width(), linePitch(), QFontMetricsF(font(), this), [](const QTextLine &) {});
    layout.draw(&painter, area.topLeft());
    if (needsOverstrike())
        layout.draw(&painter, area.topLeft() + QPoint(1, 0));
}
