#pragma once

#include <QPalette>
#include <QWidget>

// A horizontal line control: drawn from (x1, y) to (x2, y) with a pen of a given width
// in one of the system's colours. A pen of width w covers the rows y - w/2 to
// y - w/2 + w - 1, as the toolkit's wide pens do.
class SeparatorLine : public QWidget {
    Q_OBJECT
public:
    explicit SeparatorLine(QWidget *parent = nullptr);

    void setEnds(int x1, int y, int x2);
    void setPen(int width, QPalette::ColorRole colour);

    int penWidth() const { return m_penWidth; }
    QPalette::ColorRole colourRole() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    int m_x1 = 0, m_y = 0, m_x2 = 0;
    int m_penWidth = 1;
    QPalette::ColorRole m_colour = QPalette::WindowText;
};
