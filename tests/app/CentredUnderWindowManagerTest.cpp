// The window on a real X server under a real window manager (openbox on Xvfb, started
// by run-under-window-manager.sh): the decorated window, title bar included, opens in
// the middle of the screen.
#include "app/frmRevertex.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Long enough for the window manager to decorate and place the window on a busy machine.
constexpr int kSettleLimitMs = 10000;
// The frame must have kept its place this long to count as settled.
constexpr int kStillMs = 300;
constexpr int kPollMs = 20;

} // namespace

TEST(CentredUnderWindowManager, TheDecoratedWindowSitsInTheMiddle)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    frmRevertex::Parts parts;
    parts.firmware = FirmwareTestFiles::plainFirmware();
    frmRevertex window(std::move(parts));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QElapsedTimer waited;
    waited.start();
    QElapsedTimer still;
    still.start();
    QRect last = window.frameGeometry();
    while (waited.elapsed() < kSettleLimitMs) {
        QTest::qWait(kPollMs);
        if (window.frameGeometry() != last) {
            last = window.frameGeometry();
            still.restart();
        } else if (last.size() != window.size() && still.elapsed() >= kStillMs) {
            break;
        }
    }

    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    // The window manager decorated it: a title bar above the client area.
    ASSERT_GT(frame.height() - client.height(), 10) << "no decoration: is a window manager running?";
    const QRect available = window.screen()->availableGeometry();
    const QPoint offset = frame.center() - available.center();
    EXPECT_LE(std::abs(offset.x()), 1) << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                       << frame.height() << " on " << available.width() << "x" << available.height();
    EXPECT_LE(std::abs(offset.y()), 1) << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                       << frame.height() << " on " << available.width() << "x" << available.height();
}
