#pragma once

#include <QLabel>

// A label as the dialog toolkit draws one: plain text, wrapped at word boundaries,
// top-left aligned, no focus. A bold label whose font has no bold face (MS Sans Serif
// is a bitmap font with a regular face only) is drawn twice, one pixel apart, the
// way bitmap fonts have always been emboldened.
class DialogLabel : public QLabel {
    Q_OBJECT
public:
    explicit DialogLabel(QWidget *parent = nullptr);

    // True when the label's font is bold but draws like the regular face.
    bool needsOverstrike() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
