#include "ScenarioExpectation.h"

#include "CameraCommands.h"

namespace {

// The wizard waits for the acknowledgement of "ckl0" until more than 31 whole seconds
// have passed; a start delay of that length may already come too late.
constexpr double kWizardStartLimitSeconds = 31;

} // namespace

std::optional<QString> incompleteImageExpected(const SimOptions &options, int expectedLines)
{
    if (options.silent)
        return QStringLiteral("--silent: the camera never acknowledges the download start");
    if (options.ignored.contains(CameraCommands::kDownloadStart))
        return QStringLiteral("--ignore ckl0: the camera never acknowledges the download start");
    // The jitter may add to the start delay.
    if (options.startDelaySeconds + options.jitterMs / 1000.0 >= kWizardStartLimitSeconds)
        return QStringLiteral("--start-delay %1: the wizard gives up on the download start after 31 s")
            .arg(options.startDelaySeconds);
    if (options.ignored.contains(CameraCommands::kLine))
        return QStringLiteral("--ignore ckw: the camera acknowledges no line");
    if (options.vanishAfterLines > 0 && options.vanishAfterLines <= expectedLines)
        return QStringLiteral("--vanish-after-lines %1: the camera goes away at line %1").arg(options.vanishAfterLines);
    if (options.stopAfterLines >= 0 && options.stopAfterLines < expectedLines)
        return QStringLiteral("--stop-after-lines %1: the camera stops acknowledging after %1 lines")
            .arg(options.stopAfterLines);
    return std::nullopt;
}
