// The limits in real time: the real window on the real one-second clock and a port that
// tells of arrivals, so waiting sequences tick only now and then. Each limit must still
// pass within 50 ms of the whole second at which it passes, and never before.
//
// Slow by nature: the check's limits take about 13 seconds, the download start's 32.
#include "WindowHarness.h"

#include "app/TickPacing.h"
#include "tests/support/ArrivingCommPort.h"

#include <QTest>

#include <chrono>
#include <cstdio>
#include <map>

namespace {

using std::chrono::steady_clock;

const QByteArray kAck("\x02lvr\x04");
const QByteArray kQGt("\x02QGt\x04");
const QByteArray kCkkV("\x02" "ckkV\x04");
const QByteArray kCki0n("\x02" "cki0n\x04");
const QByteArray kCkb0("\x02" "ckb0\x04");

constexpr qint64 kQGtLimit = 2;
constexpr qint64 kCkkVLimit = 1;
constexpr qint64 kCki0nLimit = 3;
constexpr qint64 kCkb0Limit = 3;
constexpr qint64 kStartLimit = 31;
constexpr int kCheckCapMs = 20000;
constexpr int kStartCapMs = 45000;

// Milliseconds from the moment a limit of `limit` seconds after a send stamped `sentAt`
// passes (the start of the whole second sentAt + limit + 1 of the monotonic clock the
// window reads) to `at`. Negative: too early.
double msAfterTheLimitPassed(Stamp sentAt, qint64 limit, steady_clock::time_point at)
{
    const steady_clock::time_point passes{std::chrono::seconds(sentAt + limit + 1)};
    return std::chrono::duration<double, std::milli>(at - passes).count();
}


class RealTimeLimits : public WindowHarness {
protected:
    ArrivingCommPort *arriving = nullptr;
    steady_clock::time_point messageShownAt;
    bool messageShown = false;

    std::unique_ptr<FakeCommPort> makePort() override
    {
        auto made = std::make_unique<ArrivingCommPort>();
        arriving = made.get();
        return made;
    }
    std::unique_ptr<SecondsClock> makeClock() override { return std::make_unique<MonotonicSecondsClock>(); }

    void SetUp() override
    {
        WindowHarness::SetUp();
        // The moment the message page is shown, taken as the page itself learns of it.
        get<QFrame>("frame4a")->installEventFilter(&m_messageWatch);
        m_messageWatch.onShow = [this] {
            if (!messageShown)
                messageShownAt = steady_clock::now();
            messageShown = true;
        };
        window->show();
    }

    bool written(const QByteArray &bytes) const { return port->writes.contains(bytes); }

    void expectOnTime(double ms, const char *what)
    {
        EXPECT_GE(ms, 0.0) << what << " passed before its second";
        EXPECT_LE(ms, double(TickPacing::kLimitNoticedWithinMs)) << what;
        std::printf("  %s: %.1f ms after its second\n", what, ms);
    }

private:
    struct ShowWatch : QObject {
        std::function<void()> onShow;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::ShowToParent && onShow)
                onShow();
            return false;
        }
    } m_messageWatch;
};

TEST_F(RealTimeLimits, ASilentCameraPassesEachLimitOfTheCheckOnTime)
{
    // A tolerant limit shows on the tick that finds it passed: AckReceived forced on
    // while the check still waits in its state.
    std::map<qint32, steady_clock::time_point> forcedAt;
    std::map<qint32, Stamp> forcedSentAt;
    QObject::connect(timer("timerCamTest"), &QTimer::timeout, [&] {   // after the window's own handler
        const CameraSession &s = window->session();
        if ((s.CamState == 2 || s.CamState == 4) && s.AckReceived && !forcedAt.count(s.CamState)) {
            forcedAt[s.CamState] = steady_clock::now();
            forcedSentAt[s.CamState] = s.CamSentAt;
        }
    });
    goToTestingPage();
    ASSERT_TRUE(QTest::qWaitFor([this] { return messageShown; }, kCheckCapMs));
    EXPECT_EQ(text("lblError").left(27), QStringLiteral("No response from the camera"));

    ASSERT_TRUE(written(kQGt) && written(kCkkV) && written(kCki0n));
    ASSERT_TRUE(forcedAt.count(2) && forcedAt.count(4));
    expectOnTime(msAfterTheLimitPassed(forcedSentAt[2], kQGtLimit, forcedAt[2]), "QGt, 2 s, tolerant");
    expectOnTime(msAfterTheLimitPassed(forcedSentAt[4], kCkkVLimit, forcedAt[4]), "ckkV, 1 s, tolerant");
    expectOnTime(msAfterTheLimitPassed(window->session().CamSentAt, kCki0nLimit, messageShownAt), "cki0n, 3 s, strict");
    EXPECT_FALSE(written(kCkb0));
}

TEST_F(RealTimeLimits, AVersionRequestLeftUnansweredPassesItsLimitOnTime)
{
    arriving->camera = [](const QByteArray &frame) { return frame == kCkb0 ? QByteArray() : kAck; };
    goToTestingPage();
    ASSERT_TRUE(QTest::qWaitFor([this] { return messageShown; }, kCheckCapMs));
    EXPECT_EQ(text("lblError").left(27), QStringLiteral("No response from the camera"));
    ASSERT_TRUE(written(kCkb0));
    expectOnTime(msAfterTheLimitPassed(window->session().CamSentAt, kCkb0Limit, messageShownAt), "ckb0, 3 s, strict");
}

TEST_F(RealTimeLimits, AnUnansweredDownloadStartPassesItsLimitOnTime)
{
    port->isOpen = true;
    goToProgressPage();
    ASSERT_TRUE(QTest::qWaitFor([this] { return messageShown; }, kStartCapMs));
    EXPECT_TRUE(text("lblError").startsWith(QStringLiteral("The power to the camera")));
    ASSERT_EQ(port->writes.size(), 1);
    expectOnTime(msAfterTheLimitPassed(window->session().StartSentAt, kStartLimit, messageShownAt), "ckl0, 31 s, strict");
}

} // namespace
