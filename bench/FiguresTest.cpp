// The arithmetic behind the benchmark's figures: the simulator's timing file, the
// order statistics, the wire budget and the command line. The timing itself is never
// tested: a benchmark only reports.
#include "bench/BenchOptions.h"
#include "bench/Distribution.h"
#include "bench/LineTimingFile.h"
#include "bench/WindowsRunFigures.h"
#include "bench/WireBudget.h"
#include "flash/FirmwareImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <numeric>

namespace {

class TimingFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString write(const QByteArray &text)
    {
        const QString path = dir.filePath(QStringLiteral("timing.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return path;
    }
};

TEST_F(TimingFileTest, GapsRunFromEachAcknowledgementToTheNextLine)
{
    LineTimingFile timing;
    ASSERT_TRUE(timing.load(write("# ptz2-sim line timing\n"
                                  "first-line-sent 100.000000\n"
                                  "last-ack 100.300000\n"
                                  "1 99.990000 100.000000\n"
                                  "2 100.100000 100.102000\n"
                                  "3 100.200000 100.205000\n")))
        << timing.error().toStdString();
    EXPECT_NEAR(timing.transferSeconds(), 0.3, 1e-9);
    ASSERT_EQ(timing.lines().size(), 3u);
    // The first line follows the start command's acknowledgement, outside the transfer.
    const std::vector<double> gaps = timing.gapsAfterAcknowledgement();
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_NEAR(gaps[0], 0.002, 1e-9);
    EXPECT_NEAR(gaps[1], 0.005, 1e-9);
}

TEST_F(TimingFileTest, RefusesFilesThatRecordNoWholeTransfer)
{
    LineTimingFile timing;
    EXPECT_FALSE(timing.load(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(timing.load(write("first-line-sent 1.0\nlast-ack -\n1 - 1.0\n")));   // never acknowledged
    EXPECT_FALSE(timing.load(write("first-line-sent 1.0\nlast-ack 2.0\n")));          // no lines
    EXPECT_FALSE(timing.load(write("first-line-sent 1.0\nlast-ack 2.0\n1 0.5 x\n")));  // garbled
    EXPECT_FALSE(timing.error().isEmpty());
}

TEST(DistributionTest, NearestRankPercentiles)
{
    std::vector<double> samples(100);
    std::iota(samples.rbegin(), samples.rend(), 1.0);   // 100 .. 1, unsorted on purpose
    const Distribution d(samples);
    EXPECT_EQ(d.median(), 50);
    EXPECT_EQ(d.percentile(99), 99);
    EXPECT_EQ(d.max(), 100);
    EXPECT_DOUBLE_EQ(d.mean(), 50.5);

    const Distribution one({7.0});
    EXPECT_EQ(one.percentile(99), 7);
    EXPECT_EQ(one.median(), 7);
    EXPECT_EQ(Distribution({}).max(), 0);
}

TEST(WireBudgetTest, CountsFrameAndAcknowledgementBytes)
{
    const WireBudget budget = WireBudget::forLines({QByteArray("abc"), QByteArray("de")});
    EXPECT_EQ(budget.lines, 2);
    EXPECT_EQ(budget.bytesOut, (4 + 3 + 1) + (4 + 2 + 1));
    EXPECT_EQ(budget.bytesBack, 2 * 5);
    EXPECT_DOUBLE_EQ(budget.secondsAt(9600), 25 * 10 / 9600.0);
}

TEST(WireBudgetTest, TheCarriedTestImageNeedsSeventyOneSecondsAtNinetySixHundred)
{
    QFile testImage(QStringLiteral(REVERTEX_BENCH_FIRMWARE_CONTAINER));
    ASSERT_TRUE(testImage.open(QIODevice::ReadOnly));
    const WireBudget budget = WireBudget::forLines(unpackFirmware(testImage.readAll()));
    EXPECT_EQ(budget.lines, 899);
    EXPECT_EQ(budget.bytesOut, 64042);
    EXPECT_EQ(budget.bytesBack, 4495);
    EXPECT_NEAR(budget.secondsAt(9600), 71.39, 0.005);
}

TEST(BenchOptionsTest, QuickRunsAndMistakes)
{
    const BenchOptions all = BenchOptions::parse({});
    EXPECT_TRUE(all.paced && all.unpaced && all.startup);

    const BenchOptions quick = BenchOptions::parse({QStringLiteral("--unpaced-only")});
    EXPECT_TRUE(quick.unpaced);
    EXPECT_FALSE(quick.paced || quick.startup);

    const BenchOptions runs = BenchOptions::parse({QStringLiteral("--startup-only"), QStringLiteral("--startup-runs"), QStringLiteral("3")});
    EXPECT_TRUE(runs.error.isEmpty());
    EXPECT_EQ(runs.startupRuns, 3);
    EXPECT_FALSE(runs.paced || runs.unpaced);

    EXPECT_FALSE(BenchOptions::parse({QStringLiteral("--startup-runs"), QStringLiteral("0")}).error.isEmpty());
    EXPECT_FALSE(BenchOptions::parse({QStringLiteral("--startup-runs")}).error.isEmpty());
    EXPECT_FALSE(BenchOptions::parse({QStringLiteral("--fast")}).error.isEmpty());
    EXPECT_FALSE(BenchOptions::parse({QStringLiteral("--unpaced-only"), QStringLiteral("--paced-only")}).error.isEmpty());

    const BenchOptions windows = BenchOptions::parse({QStringLiteral("--windows"), QStringLiteral("build-windows")});
    EXPECT_TRUE(windows.error.isEmpty());
    EXPECT_EQ(windows.windowsBuild, QStringLiteral("build-windows"));
    EXPECT_FALSE(BenchOptions::parse({QStringLiteral("--windows")}).error.isEmpty());
}

// What the Windows program writes under Wine is read back whole on this side, or not at all.
TEST(WindowsRunFiguresTest, ReadBackAsWrittenAndRefusedWhenCutShort)
{
    WindowsRunFigures written;
    written.failure = QStringLiteral("the flash did not reach\nthe done page");
    written.flashSeconds = 72.125;
    written.flashCpuSeconds = 0.8125;
    written.sequenceTicks = 4877;
    written.floor = {1000.5, 0.031, 3.1e-5};
    const QByteArray text = written.toText();

    WindowsRunFigures read;
    ASSERT_TRUE(WindowsRunFigures::fromText(QByteArray(text).replace("\n", "\r\n"), &read));
    EXPECT_EQ(read.failure, QStringLiteral("the flash did not reach the done page"));
    EXPECT_DOUBLE_EQ(read.flashSeconds, written.flashSeconds);
    EXPECT_DOUBLE_EQ(read.flashCpuSeconds, written.flashCpuSeconds);
    EXPECT_EQ(read.sequenceTicks, written.sequenceTicks);
    EXPECT_DOUBLE_EQ(read.floor.ticksPerSecond, written.floor.ticksPerSecond);
    EXPECT_DOUBLE_EQ(read.floor.cpuShare, written.floor.cpuShare);
    EXPECT_DOUBLE_EQ(read.floor.cpuPerTick, written.floor.cpuPerTick);

    EXPECT_FALSE(WindowsRunFigures::fromText(text.left(text.lastIndexOf("end")), &read));
    EXPECT_FALSE(WindowsRunFigures::fromText(QByteArray(text).replace("flash_seconds 72.125", "flash_seconds x"), &read));
}

} // namespace
