// One whole flash for scripts/soak.sh: the real window offscreen against ptz2-sim with
// the options in REVERTEX_SOAK_SIM (separated by blanks), both given the test firmware
// container. Prints the outcome and the simulated camera's summary, and fails unless
// the outcome is REVERTEX_SOAK_EXPECT, the camera found the protocol kept and, where
// the download completed, the image matching.
#include "tests/e2e/WizardOnSim.h"

#include <cstdio>

namespace {

constexpr int kCheckCapMs = 20000;
constexpr int kDownloadCapMs = 300000;   // a paced flash after a late start takes under two minutes
constexpr int kCameraFinishCapMs = 15000;

class SoakFlash : public WizardOnSim {
protected:
    QString outcome() const
    {
        if (!reports.isEmpty())
            return QStringLiteral("run-time error");
        if (shown("frame6"))
            return QStringLiteral("flashed");
        if (shown("frame4a") && message().startsWith(QStringLiteral("The power to the camera")))
            return QStringLiteral("power cycle");
        return QStringLiteral("none");
    }
};

TEST_F(SoakFlash, EndsAsItsOptionsLeadTo)
{
    start(qEnvironmentVariable("REVERTEX_SOAK_SIM").split(QLatin1Char(' '), Qt::SkipEmptyParts)
          << QStringLiteral("--exit-after-finish"));
    runCheck(0, kCheckCapMs);
    if (shown("frame4a") && get<QPushButton>("cmdNext")->isEnabled())
        click("cmdNext");   // not a PTZ 2, or no need to flash: the user flashes all the same
    runDownload(kDownloadCapMs);

    const QString ended = outcome();
    if (ended == QStringLiteral("flashed")) {
        // "ckk" has no wait of its own, so on a paced line its acknowledgement ends the wait
        // after "cki0n", and the acknowledgements run one behind to the end: the done page
        // may come while the last "ckz0m" is still on the line. The user's Finish comes
        // long after; the camera's own end of the closing script stands in for it here.
        EXPECT_TRUE(sim->waitForExit(kCameraFinishCapMs)) << "the camera never saw the closing script finish";
    }
    const QString summary = simSummary();
    std::printf("outcome: %s\n%s", qPrintable(ended), qPrintable(summary));
    EXPECT_EQ(ended, qEnvironmentVariable("REVERTEX_SOAK_EXPECT"));
    EXPECT_TRUE(summary.contains(QStringLiteral("protocol: clean\n")));
    if (ended == QStringLiteral("flashed")) {
        EXPECT_TRUE(summary.contains(QStringLiteral("image: match\n")));
    }
}

} // namespace
