#pragma once

#include "tools/pagepics/ScriptedCamera.h"

#include <vector>

// How far the tour takes the window before the picture is taken.
enum class TourGoal {
    Welcome,         // as the window opens
    ComPort,         // Next
    Testing,         // Next, Next, the check's first step and a few turns of the emblem
    CheckOutcome,    // the camera check runs to its end
    DownloadStart,   // ... then Next on the warning page, and the download start runs out
    HalfWay,         // ... then the transfer runs to half of the firmware lines
    Done,            // ... then everything runs to the end
};

// One picture of the README: the file, the camera it needs, how far to go, and the
// page that must be showing when it is taken.
struct PageShot {
    const char *file;
    CameraScript camera;
    const char *versionReport;
    TourGoal goal;
    const char *page;   // the one page shown in the picture
    int ratio = 1;      // device pixels per logical pixel: 2 shows a screen scaled by 2
};

// Every page and every message the wizard can show, in the order a user meets them,
// then the welcome page once more on a screen scaled by 2.
const std::vector<PageShot> &pageShots();
