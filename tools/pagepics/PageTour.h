#pragma once

#include "app/frmRevertex.h"
#include "tools/pagepics/PageShot.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class ScriptedCamera;
class SteppedClock;

// Walks a fresh wizard window, on a scripted camera and a stepped clock, to the page of
// one shot: clicks as the user clicks (a disabled button ignores them) and delivers the
// timer ticks itself, one at a time, as the event loop would.
class PageTour {
public:
    explicit PageTour(const PageShot &shot);
    ~PageTour();

    // Takes the window to the shot's page. Throws std::runtime_error when the window
    // ends elsewhere or reports a run-time error.
    void run();

    const frmRevertex &window() const { return *m_window; }

    // The client area as it is now, bare and in a drawn window frame.
    QImage clientArea() const;
    QImage picture() const;

private:
    void click(const char *button);
    void tick(const char *handler);
    void runSequences(const std::function<bool()> &stopWhen);
    void turnEmblem();
    bool halfWay() const;
    void requirePage() const;
    void fail(const QString &what) const;

    PageShot m_shot;
    SteppedClock *m_clock = nullptr;   // owned by the window
    QString m_failure;
    std::unique_ptr<frmRevertex> m_window;
};
