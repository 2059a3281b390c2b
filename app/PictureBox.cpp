#include "app/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

namespace {

// A sunken 3-D edge is two pixels on every side, as the toolkit's client edge.
constexpr int kSunkenEdge = 2;

// One ring of an edge, one logical pixel wide: `topLeft` along the top and left,
// `bottomRight` along the bottom and right, which take the corners they share.
void drawEdgeRing(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height() - 1), bottomRight);
}

// The client edge: button shadow over button highlight outside, dark shadow over 3-D
// light inside. Filled rather than stroked, so that on a scaled screen it stays two
// logical pixels wide: a pen line is one device pixel and would leave gaps.
void drawSunkenEdge(QPainter &painter, const QRect &r, const QPalette &palette)
{
    drawEdgeRing(painter, r, palette.color(QPalette::Dark), palette.color(QPalette::Light));
    drawEdgeRing(painter, r.adjusted(1, 1, -1, -1), palette.color(QPalette::Shadow), palette.color(QPalette::Midlight));
}

} // namespace

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent), m_background(palette().color(QPalette::Window))
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    clearDrawing();
}

int PictureBox::borderWidth() const
{
    return m_border == Border::Sunken3D ? kSunkenEdge : 0;
}

int PictureBox::scaleWidth() const
{
    return qMax(0, width() - 2 * borderWidth());
}

int PictureBox::scaleHeight() const
{
    return qMax(0, height() - 2 * borderWidth());
}

QSize PictureBox::canvasSize(qreal ratio) const
{
    return {qCeil(qMax(1, scaleWidth()) * ratio), qCeil(qMax(1, scaleHeight()) * ratio)};
}

QImage PictureBox::blankCanvas() const
{
    // Kept at the screen's resolution, so that pictures drawn for a scaled screen stay
    // sharp; drawing into it is still in logical pixels.
    const qreal ratio = devicePixelRatioF();
    QImage canvas(canvasSize(ratio), QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(m_background);
    if (!m_picture.isNull()) {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(0, 0, m_picture);
    }
    return canvas;
}

void PictureBox::clearDrawing()
{
    m_canvas = blankCanvas();
    update();
}

void PictureBox::setBackground(const QColor &colour)
{
    m_background = colour;
    clearDrawing();
}

void PictureBox::setBorder(Border border)
{
    m_border = border;
    clearDrawing();
}

void PictureBox::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    clearDrawing();
}

void PictureBox::paintPicture(const QPixmap &source, int x, int y)
{
    paintPicture(source, x, y, source.rect());
}

void PictureBox::paintPicture(const QPixmap &source, int x, int y, const QRect &sourceRect)
{
    fitCanvas();
    // The source rectangle is in the picture's logical pixels; a picture drawn for a
    // scaled screen holds more device pixels than that.
    const qreal sourceRatio = source.devicePixelRatio();
    const QRectF devicePart(QPointF(sourceRect.topLeft()) * sourceRatio, QSizeF(sourceRect.size()) * sourceRatio);
    QPainter painter(&m_canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);   // a plain copy
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(QPointF(x, y), QSizeF(sourceRect.size())), source, devicePart);
    painter.end();
    updateDrawn(QRect(QPoint(x, y), sourceRect.size()));
}

void PictureBox::fillBox(const QRect &box, const QColor &colour)
{
    if (box.isEmpty())
        return;
    fitCanvas();
    // A box inside the last one, in its colour, with nothing drawn since (any drawing
    // changes the canvas's key) would change no pixel: the progress bar asks for the
    // same box on about every other line, and a painter costs more than the rest of the
    // line's tick.
    if (m_lastFill.canvasKey == m_canvas.cacheKey() && m_lastFill.colour == colour && m_lastFill.box.contains(box))
        return;
    QPainter painter(&m_canvas);
    painter.fillRect(box, colour);
    painter.end();
    m_lastFill = {box, colour, m_canvas.cacheKey()};
    updateDrawn(box);
}

void PictureBox::updateDrawn(const QRect &drawn)
{
    // Repaint only what changed: the busy animation redraws a 64 x 64 corner of the
    // banner thirty times a second, and the whole banner would cost far more.
    const int edge = borderWidth();
    update(drawn.translated(edge, edge).intersected(rect()));
}

void PictureBox::fitCanvas() const
{
    const qreal ratio = devicePixelRatioF();
    if (m_canvas.devicePixelRatio() == ratio && m_canvas.size() == canvasSize(ratio))
        return;
    QImage fitted = blankCanvas();
    QPainter painter(&fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(0, 0, m_canvas);
    painter.end();
    m_canvas = fitted;
}

const QImage &PictureBox::drawing() const
{
    fitCanvas();
    return m_canvas;
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    fitCanvas();
    QPainter painter(this);
    const int edge = borderWidth();
    const QRect inside = event->rect().intersected(QRect(edge, edge, scaleWidth(), scaleHeight()));
    if (!inside.isEmpty()) {
        const qreal ratio = m_canvas.devicePixelRatio();
        const QRectF part = inside.translated(-edge, -edge);
        painter.drawImage(QRectF(inside), m_canvas,
                          QRectF(part.topLeft() * ratio, part.size() * ratio));
    }
    if (m_border == Border::Sunken3D)
        drawSunkenEdge(painter, rect(), palette());
}
