#include "app/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace {

// A sunken 3-D edge is two pixels on every side, as the toolkit's client edge.
constexpr int kSunkenEdge = 2;

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

void PictureBox::clearDrawing()
{
    m_canvas = QImage(qMax(1, scaleWidth()), qMax(1, scaleHeight()), QImage::Format_RGB32);
    m_canvas.fill(m_background);
    if (!m_picture.isNull()) {
        QPainter painter(&m_canvas);
        painter.drawPixmap(0, 0, m_picture);
    }
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
    QPainter painter(&m_canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);   // a plain copy
    painter.drawPixmap(QPoint(x, y), source, sourceRect);
    painter.end();
    updateDrawn(QRect(QPoint(x, y), sourceRect.size()));
}

void PictureBox::fillBox(const QRect &box, const QColor &colour)
{
    if (box.isEmpty())
        return;
    fitCanvas();
    QPainter painter(&m_canvas);
    painter.fillRect(box, colour);
    painter.end();
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
    const QSize inside(qMax(1, scaleWidth()), qMax(1, scaleHeight()));
    if (m_canvas.size() == inside)
        return;
    QImage fitted(inside, QImage::Format_RGB32);
    fitted.fill(m_background);
    QPainter painter(&fitted);
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);
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
    const QRect inside = event->rect().intersected(QRect(QPoint(edge, edge), m_canvas.size()));
    if (!inside.isEmpty())
        painter.drawImage(inside.topLeft(), m_canvas, inside.translated(-edge, -edge));
    if (m_border == Border::Sunken3D)
        qDrawWinPanel(&painter, rect(), palette(), true);
}
