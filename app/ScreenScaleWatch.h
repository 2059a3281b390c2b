#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Tells a window when the device pixel ratio it is drawn at changes: when it is shown
// on a screen of another ratio than it was made for, or moved to one (a laptop's
// panel at 150 % beside a monitor at 100 %).
class ScreenScaleWatch : public QObject {
public:
    using Changed = std::function<void(qreal devicePixelRatio)>;

    // Watches `window` (which owns the watch) from the ratio it was made for.
    ScreenScaleWatch(QWidget *window, qreal madeFor, Changed changed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    qreal m_ratio;
    Changed m_changed;
};
