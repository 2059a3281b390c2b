// The limits in real time: the real window on the real one-second clock and a port that
// tells of arrivals, so waiting sequences tick only now and then. Each limit must still
// pass within 50 ms of the whole second at which it passes, and never before; and the
// command that follows a tolerant limit goes out on ticks at the designed interval,
// without a wait's idle look in between.
//
// Slow by nature: the check's limits take about 13 seconds, the download start's 32,
// the closing script's 17.
#include "WindowHarness.h"

#include "flash/PacedTimer.h"
#include "flash/TickPacing.h"
#include "tests/support/ArrivingCommPort.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/WireFrames.h"

#include <QEvent>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using std::chrono::steady_clock;

const QByteArray kQGt("\x02QGt\x04");
const QByteArray kCkkV("\x02" "ckkV\x04");
const QByteArray kCki0n("\x02" "cki0n\x04");
const QByteArray kCkb0("\x02" "ckb0\x04");

constexpr qint64 kQGtLimit = 2;
constexpr qint64 kCkkVLimit = 1;
constexpr qint64 kCki0nLimit = 3;
constexpr qint64 kCkb0Limit = 3;
constexpr qint64 kStartLimit = 31;
constexpr qint64 kClosingLimit = 1;
constexpr qint64 kLastClosingLimit = 4;   // after the second "ckz0m"
constexpr int kCheckCapMs = 20000;
constexpr int kStartCapMs = 45000;
constexpr int kClosingCapMs = 30000;
constexpr int kDesignedMs = 1;

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

    // Every tick of one sequence timer as it ended: when, in which state, and what came next.
    struct Tick {
        steady_clock::time_point at;
        qint32 state;
        bool ackReceived;
        Stamp sentAt;
        int cadence;
        qsizetype writes;
    };
    std::vector<Tick> ticks;

    void logTicks(const char *timerName, std::function<qint32()> state, std::function<Stamp()> sentAt)
    {
        auto *paced = get<PacedTimer>(timerName);
        QObject::connect(paced, &PacedTimer::ticked, [=] {   // after the window's own handler
            ticks.push_back({steady_clock::now(), state(), window->session().AckReceived, sentAt(), paced->cadence(),
                             port->writes.size()});
        });
    }

    // Each tolerant wait in `limits` (by state) passed on time; unless it was the last,
    // the next command followed on ticks at the designed interval.
    void expectTolerantLimitsOnTime(const std::map<qint32, qint64> &limits, qint32 lastState)
    {
        for (const auto &[state, limit] : limits) {
            SCOPED_TRACE(state);
            size_t forced = 0;   // the tick that found the limit passed: AckReceived forced on in its state
            while (forced < ticks.size() && !(ticks[forced].state == state && ticks[forced].ackReceived))
                ++forced;
            ASSERT_LT(forced, ticks.size()) << "the wait never ran out";
            const std::string what = "state " + std::to_string(state) + ", " + std::to_string(limit) + " s";
            expectOnTime(msAfterTheLimitPassed(ticks[forced].sentAt, limit, ticks[forced].at), what.c_str());
            if (state == lastState)
                continue;
            size_t sent = forced;
            while (sent < ticks.size() && ticks[sent].writes == ticks[forced].writes) {
                EXPECT_LE(ticks[sent].cadence, kDesignedMs) << "an idle look before the next command";
                ++sent;
            }
            ASSERT_LT(sent, ticks.size()) << "no command after the wait";
            std::printf("    next command %.1f ms after\n",
                        std::chrono::duration<double, std::milli>(ticks[sent].at - ticks[forced].at).count());
        }
    }

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
    logTicks("timerCamTest", [this] { return window->session().CamState; }, [this] { return window->session().CamSentAt; });
    goToTestingPage();
    ASSERT_TRUE(waitInEventLoop([this] { return messageShown; }, kCheckCapMs));
    EXPECT_EQ(text("lblError").left(27), QStringLiteral("No response from the camera"));

    ASSERT_TRUE(written(kQGt) && written(kCkkV) && written(kCki0n));
    expectTolerantLimitsOnTime({{2, kQGtLimit}, {4, kCkkVLimit}}, -1);   // QGt, then ckkV
    expectOnTime(msAfterTheLimitPassed(window->session().CamSentAt, kCki0nLimit, messageShownAt), "cki0n, 3 s, strict");
    EXPECT_FALSE(written(kCkb0));
}

TEST_F(RealTimeLimits, AVersionRequestLeftUnansweredPassesItsLimitOnTime)
{
    arriving->camera = [](const QByteArray &frame) { return frame == kCkb0 ? QByteArray() : kAck; };
    goToTestingPage();
    ASSERT_TRUE(waitInEventLoop([this] { return messageShown; }, kCheckCapMs));
    EXPECT_EQ(text("lblError").left(27), QStringLiteral("No response from the camera"));
    ASSERT_TRUE(written(kCkb0));
    expectOnTime(msAfterTheLimitPassed(window->session().CamSentAt, kCkb0Limit, messageShownAt), "ckb0, 3 s, strict");
}

TEST_F(RealTimeLimits, AnUnansweredDownloadStartPassesItsLimitOnTime)
{
    port->isOpen = true;
    goToProgressPage();
    ASSERT_TRUE(waitInEventLoop([this] { return messageShown; }, kStartCapMs));
    EXPECT_TRUE(text("lblError").startsWith(QStringLiteral("The power to the camera")));
    ASSERT_EQ(port->writes.size(), 1);
    expectOnTime(msAfterTheLimitPassed(window->session().StartSentAt, kStartLimit, messageShownAt), "ckl0, 31 s, strict");
}

TEST_F(RealTimeLimits, ASilentCameraPassesEachLimitOfTheClosingScriptOnTime)
{
    port->isOpen = true;
    goToProgressPage();
    window->setTimerEnabled(SequenceTimer::StartDownload, false);   // straight to the closing script
    window->setTimerEnabled(SequenceTimer::Finish, true);
    logTicks("timerFinish", [this] { return window->session().FinishState; }, [this] { return window->session().FinishSentAt; });
    ASSERT_TRUE(waitInEventLoop([this] { return !get<QFrame>("frame6")->isHidden(); }, kClosingCapMs));

    EXPECT_EQ(port->writes.size(), 8);
    expectTolerantLimitsOnTime({{1, kClosingLimit}, {3, kClosingLimit}, {5, kClosingLimit}, {7, kClosingLimit},
                                {11, kClosingLimit}, {13, kClosingLimit}, {15, kLastClosingLimit}},
                               15);
}

} // namespace
