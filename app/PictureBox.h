#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// A picture box of the dialog toolkit: a background colour, an optional picture of its
// own shown at the top-left corner, and a drawing surface that keeps what is drawn
// into it (it is repainted from its backing image, never cleared by a repaint).
// Coordinates are pixels inside the border; the "scale" size is the inside size.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Border { None, Sunken3D };

    explicit PictureBox(QWidget *parent = nullptr);

    // Setting the background clears the drawing to the new colour and shows the
    // picture again, as changing the toolkit's BackColor did.
    void setBackground(const QColor &colour);
    QColor background() const { return m_background; }

    void setBorder(Border border);
    Border border() const { return m_border; }
    int borderWidth() const;

    int scaleWidth() const;
    int scaleHeight() const;

    // The box's own picture, drawn at (0, 0); image holders only keep it.
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

    // Draw the whole of `source`, or the `sourceRect` part of it, with its top-left at (x, y).
    void paintPicture(const QPixmap &source, int x, int y);
    void paintPicture(const QPixmap &source, int x, int y, const QRect &sourceRect);

    // A filled box in one colour, drawn over what is there.
    void fillBox(const QRect &box, const QColor &colour);

    // What the box shows inside its border, at the screen's resolution (its device
    // pixel ratio says how many device pixels make a logical one).
    const QImage &drawing() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize canvasSize(qreal ratio) const;
    QImage blankCanvas() const;
    void clearDrawing();
    // Brings the backing image to the inside size, keeping what was drawn. Resize
    // events reach hidden widgets only when they are shown, so every use checks.
    void fitCanvas() const;
    void updateDrawn(const QRect &drawn);

    mutable QImage m_canvas;
    struct Fill {
        QRect box;
        QColor colour;
        qint64 canvasKey = 0;   // the canvas's cacheKey() just after the fill
    };
    Fill m_lastFill;
    QPixmap m_picture;
    QColor m_background;
    Border m_border = Border::None;
};
