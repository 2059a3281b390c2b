#include "link/RuntimeError.h"
#include "link/SerialPortControl.h"
#include "tests/support/PtyMaster.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN

constexpr qint16 kPort = 7;
const char *const kPortVariable = "REVERTEX_COM7";
constexpr int kArrivalCapMs = 5000;   // generous: only a broken port ever gets near it
constexpr int kSpinMs = 200;

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

// The far end of the serial line: a pseudo-terminal master. The control opens its slave.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        if (m_pty.fd() >= 0)
            ::fcntl(m_pty.fd(), F_SETFL, ::fcntl(m_pty.fd(), F_GETFL) | O_NONBLOCK);
    }

    bool isOpen() const { return m_pty.fd() >= 0; }
    int master() const { return m_pty.fd(); }
    QString slavePath() const { return m_pty.slavePath(); }

    void closeMaster() { m_pty.close(); }

    // Writes everything, waiting for room when the terminal's queue is full.
    bool send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        QElapsedTimer timer;
        timer.start();
        while (done < bytes.size() && timer.elapsed() < kArrivalCapMs) {
            const ssize_t n = ::write(m_pty.fd(), bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            else
                QTest::qWait(1);   // let the control drain the other side
        }
        return done == bytes.size();
    }

    // Reads until `count` bytes came or the cap ran out.
    QByteArray receive(qsizetype count)
    {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < kArrivalCapMs) {
            pollfd fd{m_pty.fd(), POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0)
                continue;
            char chunk[512];
            const ssize_t n = ::read(m_pty.fd(), chunk, sizeof chunk);
            if (n > 0)
                got.append(chunk, n);
        }
        return got;
    }

private:
    PtyMaster m_pty;
};

// Everything the control hands out until `count` bytes came, spinning the event loop.
QByteArray inputAtLeast(SerialPortControl &control, qsizetype count)
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (got.size() < count && timer.elapsed() < kArrivalCapMs) {
        QTest::qWait(5);
        got.append(control.input());
    }
    return got;
}

int errorNumberOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// The words of a failure; empty when there was none.
QString failureText(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const RuntimeError &error) {
        return error.description();
    }
    return QString();
}

class SerialPortControlTest : public ::testing::Test {
protected:
    PseudoTerminal pty;
    SerialPortControl control;
    QSerialPort *serial = nullptr;   // the control's own port, for counting its error reports
    int errorReports = 0;

    void SetUp() override
    {
        if (!pty.isOpen())
            GTEST_SKIP() << "no pseudo-terminal available";
        qputenv(kPortVariable, pty.slavePath().toLocal8Bit());
        control.setCommPort(kPort);
        serial = control.findChild<QSerialPort *>();
        ASSERT_NE(serial, nullptr);
        QObject::connect(serial, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::NoError)
                ++errorReports;
        });
    }
    void TearDown() override { qunsetenv(kPortVariable); }
};

TEST_F(SerialPortControlTest, OpensAt9600EightDataBitsNoParityOneStopNoFlowControl)
{
    control.open();
    ASSERT_TRUE(control.portOpen());

    termios settings{};
    ASSERT_EQ(::tcgetattr(pty.master(), &settings), 0);   // the master reports its slave's settings
    EXPECT_EQ(::cfgetospeed(&settings), speed_t(B9600));
    EXPECT_EQ(::cfgetispeed(&settings), speed_t(B9600));
    EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(settings.c_cflag & PARENB, 0u);
    EXPECT_EQ(settings.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(settings.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);   // raw: bytes pass unchanged
    EXPECT_EQ(serial->readBufferSize(), 1024);
}

TEST_F(SerialPortControlTest, WriteArrivesByteForByte)
{
    control.open();
    const QByteArray frame = QByteArray::fromHex("02636b77") + everyByteValue() + QByteArray::fromHex("04");
    control.output(frame);
    control.output(QByteArray::fromHex("02636b6430f204"));
    const QByteArray expected = frame + QByteArray::fromHex("02636b6430f204");
    EXPECT_EQ(pty.receive(expected.size()).toHex(), expected.toHex());
}

TEST_F(SerialPortControlTest, ReadReturnsWhatArrivedAndNothingTwice)
{
    control.open();
    EXPECT_TRUE(control.input().isEmpty());

    const QByteArray bytes = everyByteValue();
    ASSERT_TRUE(pty.send(bytes));
    EXPECT_EQ(inputAtLeast(control, bytes.size()).toHex(), bytes.toHex());
    QTest::qWait(20);
    EXPECT_TRUE(control.input().isEmpty());
}

TEST_F(SerialPortControlTest, MoreThanTheReadBufferArrivesWhole)
{
    control.open();
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.append(char(i * 7));
    ASSERT_TRUE(pty.send(bytes));
    EXPECT_EQ(inputAtLeast(control, bytes.size()).toHex(), bytes.toHex());
}

TEST_F(SerialPortControlTest, MissingDeviceFailsAtTheOpenNotAtTheSelect)
{
    const QByteArray missing("/nonexistent/revertex-no-such-tty");
    qputenv("REVERTEX_COM9", missing);
    SerialPortControl other;
    EXPECT_NO_THROW(other.setCommPort(9));
    try {
        other.open();
        ADD_FAILURE() << "opened a missing device";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), CommError::InvalidPort);
        EXPECT_TRUE(error.description().contains(QString::fromLatin1(missing))) << error.what();
    }
    EXPECT_FALSE(other.portOpen());
    qunsetenv("REVERTEX_COM9");
}

TEST_F(SerialPortControlTest, PortHeldByAnotherControlFailsUntilReleased)
{
    control.open();
    SerialPortControl other;
    other.setCommPort(kPort);
    try {
        other.open();
        ADD_FAILURE() << "opened a held port";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), CommError::PortAlreadyOpen);
        // The lock file names the holder: this very process.
        const QString holder = QStringLiteral("held by process %1 (").arg(QCoreApplication::applicationPid());
        EXPECT_TRUE(error.description().startsWith(QStringLiteral("Cannot open COM7 (%1): %2").arg(pty.slavePath(), holder)))
            << error.what();
    }
    EXPECT_FALSE(other.portOpen());

    control.output("held");   // the holder is undisturbed
    EXPECT_EQ(pty.receive(4), "held");

    control.close();
    EXPECT_NO_THROW(other.open());
    EXPECT_TRUE(other.portOpen());
}

TEST_F(SerialPortControlTest, OpenOrSelectOnAnOpenPortFails)
{
    control.open();
    EXPECT_EQ(errorNumberOf([&] { control.open(); }), CommError::PortAlreadyOpen);
    EXPECT_EQ(errorNumberOf([&] { control.setCommPort(3); }), CommError::PortAlreadyOpen);
    EXPECT_TRUE(control.portOpen());
    control.output("still");
    EXPECT_EQ(pty.receive(5), "still");
}

TEST_F(SerialPortControlTest, VanishedDeviceClosesThePortOnTheFirstError)
{
    control.open();
    pty.closeMaster();
    // The hang-up is seen on a turn of the event loop; the loop then spins on, and a port
    // that kept reporting the dead device would report again meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !control.portOpen(); }, kArrivalCapMs))
        << "the port still counts as open " << kArrivalCapMs << " ms after its device went away";
    QTest::qWait(kSpinMs);

    EXPECT_GE(errorReports, 1);
    EXPECT_LE(errorReports, 3);   // QSerialPort alone reports a dead device on every loop turn
    EXPECT_EQ(errorNumberOf([&] { control.input(); }), CommError::ReadFailed);
    EXPECT_EQ(errorNumberOf([&] { control.output("x"); }), CommError::WriteFailed);
    // The device went between calls: each call says what it was doing, and why.
    const QString port = QStringLiteral("COM7 (%1): ").arg(pty.slavePath());
    const QString readFailure = failureText([&] { control.input(); });
    EXPECT_TRUE(readFailure.startsWith(QStringLiteral("Error reading ") + port)) << readFailure.toStdString();
    EXPECT_GT(readFailure.size(), QString(QStringLiteral("Error reading ") + port).size());
    const QString writeFailure = failureText([&] { control.output("x"); });
    EXPECT_TRUE(writeFailure == readFailure || writeFailure.startsWith(QStringLiteral("Error writing ") + port))
        << writeFailure.toStdString();
    EXPECT_NO_THROW(control.close());
    EXPECT_EQ(errorNumberOf([&] { control.input(); }), CommError::PortNotOpen);
}

TEST_F(SerialPortControlTest, WriteToAVanishedDeviceThrowsAndCloses)
{
    control.open();
    pty.closeMaster();
    QString failure;
    try {
        control.output(QByteArray::fromHex("0251477404"));
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), CommError::WriteFailed);
        failure = error.description();
    }
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Error writing COM7 (%1): ").arg(pty.slavePath()))) << failure.toStdString();
    EXPECT_FALSE(control.portOpen());
}

TEST_F(SerialPortControlTest, ClosedPortRefusesReadAndWriteAndClosesHarmlessly)
{
    EXPECT_NO_THROW(control.close());
    control.open();
    control.close();
    EXPECT_NO_THROW(control.close());
    EXPECT_FALSE(control.portOpen());
    EXPECT_EQ(errorReports, 0);

    try {
        control.input();
        ADD_FAILURE() << "read from a closed port";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), CommError::PortNotOpen);
        EXPECT_TRUE(error.description().contains(QStringLiteral("COM7"))) << error.what();
    }
    EXPECT_EQ(errorNumberOf([&] { control.output("x"); }), CommError::PortNotOpen);
}

// What the driver could not take yet waits in the control; closing sends it first, so
// the last frame of a run reaches the camera. The far end reads only from the close on.
TEST_F(SerialPortControlTest, CloseSendsWhatIsStillQueuedFirst)
{
    constexpr qsizetype kMoreThanThePtyHolds = 256 * 1024;
    control.open();
    const QByteArray queued(kMoreThanThePtyHolds, 'w');
    control.output(queued);

    qsizetype received = 0;
    std::thread farEnd([&] {
        QElapsedTimer timer;
        timer.start();
        char chunk[4096];
        while (received < queued.size() && timer.elapsed() < kArrivalCapMs) {
            pollfd fd{pty.master(), POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(pty.master(), chunk, sizeof chunk);
            if (n > 0)
                received += n;
            else if (n == 0 || errno != EAGAIN)
                break;   // the control's side is closed: nothing more will come
        }
    });
    control.close();
    farEnd.join();
    EXPECT_FALSE(control.portOpen());
    EXPECT_EQ(received, queued.size());
}

TEST_F(SerialPortControlTest, ReopenedPortWorksAgain)
{
    control.open();
    control.close();
    control.open();
    ASSERT_TRUE(pty.send("again"));
    EXPECT_EQ(inputAtLeast(control, 5), "again");
}

TEST_F(SerialPortControlTest, ArrivingBytesAreToldOfAndWaitForTheRead)
{
    int told = 0;
    ASSERT_TRUE(control.notifyArrivals([&told] { ++told; }));
    control.open();
    ASSERT_TRUE(pty.send("\x02lvr\x04"));

    QElapsedTimer timer;
    timer.start();
    while (told == 0 && timer.elapsed() < kArrivalCapMs)
        QTest::qWait(1);
    EXPECT_GE(told, 1);
    EXPECT_EQ(inputAtLeast(control, 5), "\x02lvr\x04");   // word of them did not consume them

    // Without a handler, arrivals are only read.
    control.notifyArrivals({});
    const int toldBefore = told;
    ASSERT_TRUE(pty.send("x"));
    EXPECT_EQ(inputAtLeast(control, 1), "x");
    EXPECT_EQ(told, toldBefore);
}

// Opening asks the driver for low latency. A pseudo-terminal refuses, as many drivers
// do: the port opens all the same, works, and nothing is said about it.
TEST_F(SerialPortControlTest, OpenAsksForLowLatencyAndARefusalIsHarmless)
{
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { messages << text; });
    EXPECT_EQ(control.lowLatency(), LowLatencyAnswer::NotAvailable);   // nothing asked before the open
    control.open();
    qInstallMessageHandler(previous);

#ifdef Q_OS_LINUX
    EXPECT_EQ(control.lowLatency(), LowLatencyAnswer::Refused);
#endif
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(control.portOpen());
    control.output("\x02ckb0\x04");
    EXPECT_EQ(pty.receive(6), "\x02ckb0\x04");
    ASSERT_TRUE(pty.send("\x02lvr\x04"));
    EXPECT_EQ(inputAtLeast(control, 5), "\x02lvr\x04");
}

TEST(SerialPortControlSelect, PortNumberBelowOneIsRefused)
{
    SerialPortControl control;
    EXPECT_EQ(errorNumberOf([&] { control.setCommPort(0); }), CommError::InvalidPort);
    EXPECT_EQ(errorNumberOf([&] { control.setCommPort(-3); }), CommError::InvalidPort);
}

TEST(SerialPortDevice, EnvironmentNamesTheDeviceElseAPortPresent)
{
    qputenv("REVERTEX_COM3", "/dev/ttyUSB0");
    EXPECT_EQ(SerialPortControl::deviceFor(3), QStringLiteral("/dev/ttyUSB0"));
    qunsetenv("REVERTEX_COM3");

    // Without it, a COM number stands for a device the system lists, or for none:
    // never for a made-up /dev/ttyS name.
    QStringList listed;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        listed << info.systemLocation();
    for (qint16 number : {1, 2, 16}) {
        const QString device = SerialPortControl::deviceFor(number);
        EXPECT_TRUE(device.isEmpty() || listed.contains(device) || device.startsWith(QLatin1String("/dev/ttyS")))
            << device.toStdString();
    }
    const QString unset = SerialPortControl::deviceFor(1);
    qputenv("REVERTEX_COM1", "");   // set but empty counts as not set
    EXPECT_EQ(SerialPortControl::deviceFor(1), unset);
    qunsetenv("REVERTEX_COM1");
}

TEST(SerialPortOpen, ComNumberBeyondThePortsPresentOpensNothing)
{
    constexpr qint16 kFarBeyond = 999;
    SerialPortControl control;
    control.setCommPort(kFarBeyond);
    try {
        control.open();
        ADD_FAILURE() << "opened a port that is not there";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), CommError::InvalidPort);
        EXPECT_EQ(error.description(), QStringLiteral("Cannot open COM999: no such device: no serial port is present "
                                                      "as COM 999 (revertex --list-ports shows them)"));
    }
    EXPECT_FALSE(control.portOpen());
}

#else

TEST(SerialPortDevice, PortNumberNamesTheComPort)
{
    EXPECT_EQ(SerialPortControl::deviceFor(1), QStringLiteral("COM1"));
    EXPECT_EQ(SerialPortControl::deviceFor(16), QStringLiteral("COM16"));
}

#endif

} // namespace
