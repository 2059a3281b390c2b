#include "tools/pagepics/PageShot.h"

namespace {

// What a camera that needs the carried firmware reports, and one that already has it.
const char *const kOlderCamera = "PTZ2 BOOT 1.07 CBOX 3.45";
const char *const kCurrentCamera = "PTZ2 BOOT 1.07 CBOX 3.46";
// Some other device on the line: it answers, but with no PTZ 2 version report.
const char *const kOtherDevice = "VCAM 2.10";

} // namespace

const std::vector<PageShot> &pageShots()
{
    using C = CameraScript;
    using G = TourGoal;
    static const std::vector<PageShot> shots = {
        {"welcome.png", C::Answers, kOlderCamera, G::Welcome, "frame1"},
        {"com-port.png", C::Answers, kOlderCamera, G::ComPort, "frame2"},
        {"testing.png", C::Answers, kOlderCamera, G::Testing, "frame3"},
        {"message-no-response.png", C::Silent, "", G::CheckOutcome, "frame4a"},
        {"message-port-in-use.png", C::PortBusy, "", G::CheckOutcome, "frame4a"},
        {"message-no-flash-needed.png", C::Answers, kCurrentCamera, G::CheckOutcome, "frame4a"},
        {"message-not-ptz2.png", C::Answers, kOtherDevice, G::CheckOutcome, "frame4a"},
        {"warning.png", C::Answers, kOlderCamera, G::CheckOutcome, "frame4"},
        {"message-power-cycle.png", C::IgnoresDownloadStart, kOlderCamera, G::DownloadStart, "frame4a"},
        {"progress.png", C::Answers, kOlderCamera, G::HalfWay, "frame5"},
        {"done.png", C::Answers, kOlderCamera, G::Done, "frame6"},
        {"welcome@2x.png", C::Answers, kOlderCamera, G::Welcome, "frame1", 2},
    };
    return shots;
}
