#pragma once

#include <QLabel>
#include <QSizeF>

// A label as the dialog toolkit draws one: plain text, wrapped at word boundaries,
// top-left aligned, no focus. Lines are at least the dialog face's 13 pixels apart,
// whatever face draws them: a scalable face that stands in for the dialog face on a
// scaled screen keeps the design's line pitch. A bold label in a scalable face is
// drawn in its bold face (or its emboldened outlines); one in a bitmap face without
// a bold strike (MS Sans Serif has a regular face only) is drawn twice, one pixel
// apart, the way bitmap fonts have always been emboldened.
class DialogLabel : public QLabel {
    Q_OBJECT
public:
    // MS Sans Serif 8.25 pt (11 px) from one line to the next.
    static constexpr int kDialogLinePitch = 13;

    explicit DialogLabel(QWidget *parent = nullptr);

    // True when the label's font is bold but its bitmap face draws like the regular one.
    bool needsOverstrike() const;

    // Logical pixels from one line's top to the next one's.
    qreal linePitch() const;

    // The size `text` takes when this label wraps and draws it: the widest line (with
    // the overstrike) by the lines times the pitch.
    QSizeF textSize(const QString &text) const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
