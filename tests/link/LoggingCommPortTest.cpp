// The wire log: frames and replies that arrive in pieces are logged whole, each once,
// with their bytes; a failure of the port is logged and still reaches the caller.
#include "link/Frames.h"
#include "link/LoggingCommPort.h"
#include "link/RuntimeError.h"
#include "tests/support/FakeCommPort.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList logLines(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));   // CRLF on Windows
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.mid(line.indexOf(QLatin1String(" ms  ")) + 5);   // the time stamp varies
    return lines;
}

TEST(LoggingCommPort, PiecesAreLoggedAsWholeFramesAndFailuresStillThrow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wire.log"));
    QString error;
    std::shared_ptr<WireLog> log = WireLog::open(path, &error);
    ASSERT_TRUE(log) << error.toStdString();

    auto inner = std::make_unique<FakeCommPort>();
    FakeCommPort &fake = *inner;
    LoggingCommPort port(std::move(inner), log);
    port.setCommPort(3);
    port.open();
    const QByteArray qgt = frameFor(Command::QGt);
    port.output(qgt.left(2));
    port.output(qgt.mid(2));
    port.output(frameFor(Command::ckl0));
    for (int line = 0; line < 2; ++line) {
        port.output(lineFrameHead());
        port.output(QByteArray("\x11\x22", 2));
        port.output(lineFrameTail());
    }
    fake.pendingReads = {QByteArray("\x02lv"), QByteArray("r\x04\x02" "BOOT CBOX 3.45\x04\x02li")};
    EXPECT_EQ(port.input(), QByteArray("\x02lv"));
    EXPECT_EQ(port.input(), QByteArray("r\x04\x02" "BOOT CBOX 3.45\x04\x02li"));
    fake.failWrite = true;
    EXPECT_THROW(port.output(frameFor(Command::ckk)), RuntimeError);
    port.close();

    EXPECT_EQ(fake.wire(), qgt + frameFor(Command::ckl0) + QByteArray("\x02" "ckw\x11\x22\x04\x02" "ckw\x11\x22\x04"));
    EXPECT_EQ(logLines(path), QStringList({
        "COM3  opened: 9600 baud, 8 data bits, no parity, 1 stop bit",
        "COM3  sent 5 bytes: 02 51 47 74 04  STX \"QGt\" EOT",
        "COM3  sent 6 bytes: 02 63 6B 6C 30 04  STX \"ckl0\" EOT",
        "COM3  sent 7 bytes: 02 63 6B 77 11 22 04  STX \"ckw\" line 0 EOT",
        "COM3  sent 7 bytes: 02 63 6B 77 11 22 04  STX \"ckw\" line 1 EOT",
        "COM3  received 5 bytes: 02 6C 76 72 04  STX \"lvr\" EOT (acknowledgement)",
        "COM3  received 16 bytes: 02 42 4F 4F 54 20 43 42 4F 58 20 33 2E 34 35 04  STX \"BOOT CBOX 3.45\" EOT",
        "COM3  write failed: error 8021: Error writing comm device",
        "COM3  received 3 bytes without an EOT: 02 6C 69  STX \"li\"",
        "COM3  closed",
    }));
}

TEST(LoggingCommPort, ALogThatCannotBeWrittenIsRefusedAtOnce)
{
    QString error;
    EXPECT_FALSE(WireLog::open(QStringLiteral("/nonexistent-directory/wire.log"), &error));
    EXPECT_TRUE(error.contains(QLatin1String("/nonexistent-directory/wire.log"))) << error.toStdString();
}

} // namespace
