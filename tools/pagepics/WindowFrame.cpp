#include "tools/pagepics/WindowFrame.h"

#include "app/DialogFont.h"

#include <QLinearGradient>
#include <QPainter>

namespace WindowFrame {

namespace {

// The classic dialog colours: face, the two highlights and the two shadows of a raised
// edge, and the active title bar's gradient.
const QColor kFace(212, 208, 200);
const QColor kHighlight(255, 255, 255);
const QColor kShadow(128, 128, 128);
const QColor kDarkShadow(64, 64, 64);
const QColor kTitleFrom(10, 36, 106);
const QColor kTitleTo(166, 202, 240);
const QColor kTitleText(255, 255, 255);
constexpr int kCaptionIndent = 4;

// One ring of a raised edge: light on the top and left, dark on the bottom and right.
void drawRing(QPainter &painter, const QRect &r, const QColor &light, const QColor &dark)
{
    painter.setPen(light);
    painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    painter.setPen(dark);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

QSize framedSize(const QSize &client)
{
    return {client.width() + 2 * kBorder, client.height() + kTitleHeight + 2 * kBorder};
}

QPoint clientOrigin()
{
    return {kBorder, kBorder + kTitleHeight};
}

QImage around(const QImage &client, const QString &caption)
{
    // A client area grabbed from a scaled screen gets a frame of the same scale.
    const qreal ratio = client.devicePixelRatio();
    const QSize logicalClient = client.deviceIndependentSize().toSize();
    QImage framed(framedSize(logicalClient) * ratio, QImage::Format_RGB32);
    framed.setDevicePixelRatio(ratio);
    framed.fill(kFace);
    QPainter painter(&framed);

    const QRect outer(QPoint(0, 0), framedSize(logicalClient));
    drawRing(painter, outer, kFace, kDarkShadow);
    drawRing(painter, outer.adjusted(1, 1, -1, -1), kHighlight, kShadow);

    const QRect title(kBorder, kBorder, logicalClient.width(), kTitleHeight - 1);   // one face row below it
    QLinearGradient gradient(title.topLeft(), title.topRight());
    gradient.setColorAt(0, kTitleFrom);
    gradient.setColorAt(1, kTitleTo);
    painter.fillRect(title, gradient);

    QFont font = dialogFont(client.devicePixelRatio());
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kTitleText);
    painter.drawText(title.adjusted(kCaptionIndent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);

    painter.drawImage(clientOrigin(), client);
    return framed;
}

} // namespace WindowFrame
