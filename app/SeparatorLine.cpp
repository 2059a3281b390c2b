#include "app/SeparatorLine.h"

#include <QPainter>

SeparatorLine::SeparatorLine(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SeparatorLine::setEnds(int x1, int y, int x2)
{
    m_x1 = qMin(x1, x2);
    m_x2 = qMax(x1, x2);
    m_y = y;
    place();
}

void SeparatorLine::setPen(int width, QPalette::ColorRole colour)
{
    m_penWidth = qMax(1, width);
    m_colour = colour;
    place();
    update();
}

void SeparatorLine::place()
{
    setGeometry(m_x1, m_y - m_penWidth / 2, qMax(1, m_x2 - m_x1), m_penWidth);
}

void SeparatorLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(m_colour));
}
