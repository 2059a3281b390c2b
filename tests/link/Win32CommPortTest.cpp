// The Win32 serial backend on real COM ports. Runs under Wine, started by
// tests/windows/with-sim.sh: COM1 and COM12 lead to one simulated camera (ptz2-sim on a
// pseudo-terminal), COM2 to nothing. Word of arriving bytes comes through this thread's
// event loop, as in the window.
#include "link/Frames.h"
#include "link/RuntimeError.h"
#include "link/Win32CommPort.h"
#include "link/Win32CommReader.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr qint16 kCameraPort = 1;
constexpr qint16 kTwoDigitCameraPort = 12;
constexpr qint16 kEmptyPort = 2;
constexpr int kReplyCapMs = 5000;   // generous: a working port answers within milliseconds
constexpr int kQuietMs = 50;        // long enough for a stray word or byte to show
const QByteArray kAcknowledgement = QByteArray("\x02lvr\x04");

// Polls as the sequences do, until `count` bytes came or the cap passed.
QByteArray pollFor(Win32CommPort &port, qsizetype count)
{
    QByteArray received;
    QElapsedTimer timer;
    timer.start();
    while (received.size() < count && timer.elapsed() < kReplyCapMs) {
        received += port.input();
        if (received.size() < count)
            QThread::msleep(1);
    }
    return received;
}

// Word of arriving bytes as the window takes it: on this thread, from its event loop.
class ArrivalWord {
public:
    explicit ArrivalWord(Win32CommPort &port) : m_port(port)
    {
        m_cap.setSingleShot(true);
        QObject::connect(&m_cap, &QTimer::timeout, &m_loop, &QEventLoop::quit);
        EXPECT_TRUE(port.notifyArrivals([this] {
            ++count;
            m_loop.quit();
        }));
    }
    ~ArrivalWord() { m_port.notifyArrivals({}); }

    // Runs the event loop until word comes or `capMs` passes; true when word came.
    bool wait(int capMs = kReplyCapMs)
    {
        const int before = count;
        m_cap.start(capMs);
        m_loop.exec();
        m_cap.stop();
        return count > before;
    }

    // Reads on each word until `size` bytes came, or no word came within the cap.
    QByteArray take(qsizetype size)
    {
        QByteArray received = m_port.input();
        while (received.size() < size && wait())
            received += m_port.input();
        return received;
    }

    int count = 0;

private:
    Win32CommPort &m_port;
    QEventLoop m_loop;
    QTimer m_cap;
};

struct Failure {
    int number = 0;   // 0: none
    QString description;
};

Failure failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RuntimeError &error) {
        return {error.number(), error.description()};
    }
    return {};
}

int failureNumber(const std::function<void()> &action)
{
    return failureOf(action).number;
}

// Every case in both of the reader's ways of waiting: Wine's driver keeps to the first,
// which Windows refuses by ending its read at once; the reader then takes the second.
class Win32CommPortOnCamera : public ::testing::TestWithParam<Win32CommReader::Way> {
protected:
    void SetUp() override
    {
        port.setCommPort(kCameraPort);
        ASSERT_NO_THROW(port.open());
    }
    Win32CommPort port{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(ReaderWays, Win32CommPortOnCamera,
                         ::testing::Values(Win32CommReader::Way::WhateverHasCome, Win32CommReader::Way::FirstByte),
                         [](const ::testing::TestParamInfo<Win32CommReader::Way> &way) {
                             return std::string(way.param == Win32CommReader::Way::FirstByte ? "FirstByte"
                                                                                              : "WhateverHasCome");
                         });

TEST_P(Win32CommPortOnCamera, FrameGoesOutAndTheReplyComesBack)
{
    EXPECT_TRUE(port.input().isEmpty()) << "nothing was sent yet";
    port.output(frameFor(Command::QGt));
    EXPECT_EQ(pollFor(port, kAcknowledgement.size()), kAcknowledgement);
}

TEST_P(Win32CommPortOnCamera, EachReplyIsReadOnceAndInOrder)
{
    port.output(frameFor(Command::QGt));
    port.output(frameFor(Command::ckkV));
    EXPECT_EQ(pollFor(port, 2 * kAcknowledgement.size()), kAcknowledgement + kAcknowledgement);
    QThread::msleep(kQuietMs);
    EXPECT_TRUE(port.input().isEmpty());
}

TEST_P(Win32CommPortOnCamera, FramesWrittenBackToBackAllGoOutInOrder)
{
    // Each write returns before the driver is done with it; none may be lost or reordered.
    constexpr int kFrames = 40;
    for (int i = 0; i < kFrames; ++i)
        port.output(frameFor(i % 2 ? Command::ckkV : Command::QGt));
    EXPECT_EQ(pollFor(port, kFrames * kAcknowledgement.size()), kAcknowledgement.repeated(kFrames));
}

// Nothing reads while the reply comes: the port tells, and hands the reply out once.
TEST_P(Win32CommPortOnCamera, BytesThatArriveUnreadAreToldOfAndTakenInOnce)
{
    ArrivalWord word(port);
    port.output(frameFor(Command::QGt));
    ASSERT_TRUE(word.wait()) << "no word of the reply";
    EXPECT_EQ(word.take(kAcknowledgement.size()), kAcknowledgement);
    // Word is given for bytes that wait, never again for bytes already taken.
    const int told = word.count;
    EXPECT_FALSE(word.wait(kQuietMs));
    EXPECT_EQ(word.count, told);
    EXPECT_TRUE(port.input().isEmpty());
}

// The reader waits in the driver with nothing to come; closing ends it at once, not when
// its read would end by itself. Nothing read before is told of or handed out again.
TEST_P(Win32CommPortOnCamera, ClosingEndsTheReaderAtOnceAndRepeatsNothing)
{
    ArrivalWord word(port);
    port.output(frameFor(Command::QGt));
    ASSERT_EQ(word.take(kAcknowledgement.size()), kAcknowledgement);

    QElapsedTimer closing;
    closing.start();
    port.close();
    EXPECT_LT(closing.elapsed(), qint64(Win32CommReader::kReadWaitMs / 10)) << "the reader's read was not cancelled";
    EXPECT_FALSE(word.wait(kQuietMs)) << "word from a closed port";

    // Word comes through the event loop: asked for before the first read, it cannot
    // have been missed by a reply that came before that read.
    port.open();
    port.output(frameFor(Command::ckkV));
    EXPECT_TRUE(word.wait()) << "no word of the reply after reopening";
    EXPECT_EQ(word.take(kAcknowledgement.size()), kAcknowledgement);
    EXPECT_FALSE(word.wait(kQuietMs));
    EXPECT_TRUE(port.input().isEmpty());
}

TEST_P(Win32CommPortOnCamera, ReopenedPortWorksAgain)
{
    port.close();
    EXPECT_FALSE(port.portOpen());
    port.open();
    port.output(frameFor(Command::QGt));
    EXPECT_EQ(pollFor(port, kAcknowledgement.size()), kAcknowledgement);
}

TEST_P(Win32CommPortOnCamera, SelectingOrOpeningAnOpenPortFails)
{
    EXPECT_EQ(failureNumber([&] { port.setCommPort(3); }), CommError::PortAlreadyOpen);
    EXPECT_EQ(failureNumber([&] { port.open(); }), CommError::PortAlreadyOpen);
    EXPECT_TRUE(port.portOpen());
}

TEST_P(Win32CommPortOnCamera, APortHeldByAnotherControlCannotBeOpened)
{
    Win32CommPort other;
    other.setCommPort(kCameraPort);
    const int number = failureNumber([&] { other.open(); });
    if (number == 0)
        GTEST_SKIP() << "Wine opens a serial device a second time although the first handle was "
                        "opened without sharing (Windows refuses it)";
    EXPECT_EQ(number, CommError::PortAlreadyOpen);
    EXPECT_FALSE(other.portOpen());
}

TEST(Win32CommPort, TwoDigitPortsAreReachedThroughTheDevicePath)
{
    EXPECT_EQ(Win32CommPort::deviceFor(1), QStringLiteral("\\\\.\\COM1"));
    EXPECT_EQ(Win32CommPort::deviceFor(16), QStringLiteral("\\\\.\\COM16"));

    Win32CommPort port;
    port.setCommPort(kTwoDigitCameraPort);
    ASSERT_NO_THROW(port.open());
    port.output(frameFor(Command::QGt));
    EXPECT_EQ(pollFor(port, kAcknowledgement.size()), kAcknowledgement);
}

TEST(Win32CommPort, APortWithNothingBehindItFailsAtTheOpen)
{
    Win32CommPort port;
    port.setCommPort(kEmptyPort);   // selecting never touches the device
    // Windows refuses a missing port at CreateFile (InvalidPort); Wine opens the name of a
    // port whose device is missing and refuses it when the settings are applied (OpenFailed).
    const int number = failureNumber([&] { port.open(); });
    EXPECT_TRUE(number == CommError::InvalidPort || number == CommError::OpenFailed) << number;
    EXPECT_FALSE(port.portOpen());
}

TEST(Win32CommPort, ClosedPortRefusesReadAndWriteAndClosesHarmlessly)
{
    Win32CommPort port;
    EXPECT_EQ(failureNumber([&] { port.input(); }), CommError::PortNotOpen);
    EXPECT_EQ(failureNumber([&] { port.output("x"); }), CommError::PortNotOpen);
    EXPECT_NO_THROW(port.close());
    EXPECT_EQ(failureNumber([&] { port.setCommPort(0); }), CommError::InvalidPort);
}

} // namespace

// Run on its own by link_win32_vanish_test, with a simulated camera that exits after a
// few seconds, like an adapter pulled out.
TEST(Win32CommPortVanish, ADeviceThatVanishesFailsAndClosesThePort)
{
    if (qEnvironmentVariable("REVERTEX_CAMERA_VANISHES") != QStringLiteral("1"))
        GTEST_SKIP() << "needs a camera that vanishes (link_win32_vanish_test)";
    constexpr int kVanishCapMs = 20000;   // the camera goes after a few seconds
    constexpr unsigned long kPollMs = 50;

    Win32CommPort port;
    port.setCommPort(kCameraPort);
    ASSERT_NO_THROW(port.open());
    port.output(frameFor(Command::QGt));
    ASSERT_EQ(pollFor(port, kAcknowledgement.size()), kAcknowledgement);

    Failure first;
    QElapsedTimer timer;
    timer.start();
    while (first.number == 0 && timer.elapsed() < kVanishCapMs) {
        first = failureOf([&] {
            port.output(frameFor(Command::QGt));
            port.input();
        });
        QThread::msleep(kPollMs);
    }
    ASSERT_TRUE(first.number == CommError::WriteFailed || first.number == CommError::ReadFailed)
        << "no failure " << kVanishCapMs << " ms after the camera vanished (number " << first.number << ")";
    EXPECT_FALSE(port.portOpen());
    const QString said = first.number == CommError::WriteFailed ? QStringLiteral("Error writing COM1: ")
                                                                : QStringLiteral("Error reading COM1: ");
    EXPECT_TRUE(first.description.startsWith(said) && first.description.size() > said.size())
        << first.description.toStdString();
    // Later calls say what happened, not merely that the port is closed.
    const Failure read = failureOf([&] { port.input(); });
    EXPECT_EQ(read.number, CommError::ReadFailed);
    EXPECT_EQ(read.description, first.description);
    const Failure write = failureOf([&] { port.output("x"); });
    EXPECT_EQ(write.number, CommError::WriteFailed);
    EXPECT_EQ(write.description, first.description);
}
