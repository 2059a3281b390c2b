#include "app/WindowLayout.h"

#include "flash/FlashWarning.h"

namespace WindowLayout {

namespace {

constexpr int kPageLeft = 120, kPageTop = 1080, kPageWidth = 4455, kPageHeight = 1575;

} // namespace

const std::vector<Control> &controls()
{
    using K = ControlKind;
    static const std::vector<Control> table = {
        {"Picture3", K::Picture, kWindowName, 0, 0, 4680, 960, nullptr, true, true},
        {"Picture5", K::Picture, "Picture3", 1020, 60, 3615, 855, nullptr, true, true},
        {"Label1", K::Label, "Picture5", 60, 0, 3435, 795,
         "Welcome to the Optivant PictureTel PTZ 2 flash program.", true, true},

        {"frame1", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, true, true},
        {"Label2", K::Label, "frame1", 60, 60, 4335, 1335,
         "This program will check your PictureTel PTZ 2 camera, and will flash the camera so that it may "
         "function correctly with Optivant Moving software. ",
         true, true},

        {"frame2", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, false, true},
        {"Label5", K::Label, "frame2", 120, 120, 4215, 435, "Select the COM port that your camera is using.", true, true},
        {"Label4", K::Label, "frame2", 360, 675, 855, 255, "COM port", true, true},
        {"Combo1", K::DropDown, "frame2", 1260, 660, 915, 315, nullptr, true, true},

        {"frame3", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, false, true},
        {"Label8", K::Label, "frame3", 120, 120, 4215, 1155, "Testing the COM port...", true, true},

        {"frame4a", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, false, true},
        {"lblError", K::Label, "frame4a", 120, 120, 4215, 1335, "Error.", true, true},

        {"frame4", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, false, true},
        {"Label6", K::Label, "frame4", 120, 120, 4215, 1335, kFlashWarning, true, true},

        {"frame5", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, false, true},
        {"Label9", K::Label, "frame5", 60, 180, 4335, 195, "Percent Complete ", true, true},
        {"Picture1", K::Picture, "frame5", 60, 420, 4335, 315, nullptr, true, true},

        {"frame6", K::Page, kWindowName, kPageLeft, kPageTop, kPageWidth, kPageHeight, nullptr, false, true},
        {"Label7", K::Label, "frame6", 120, 120, 4215, 1215,
         "Your camera has been flashed.  Press the Finish button to exit the program.", true, true},

        {"Line1", K::Line, kWindowName, 0, 2760, 4680, 0, nullptr, true, true},
        {"Line2", K::Line, kWindowName, 0, 2760, 4680, 0, nullptr, true, true},
        {"Label10", K::Label, kWindowName, 60, 2820, 4575, 195, "www.optivant.com", true, true},

        {"cmdPrev", K::Button, kWindowName, 1440, 3120, 1035, 375, "&Back", true, false},
        {"cmdNext", K::Button, kWindowName, 2460, 3120, 1035, 375, "&Next", true, true},
        {"cmdCancel", K::Button, kWindowName, 3600, 3120, 1035, 375, "&Cancel", true, true},

        // Image holders: hidden, right of the client area.
        {"Picture4", K::Picture, kWindowName, 4800, 1980, 960, 960, nullptr, false, true},
        {"Picture2", K::Picture, kWindowName, 4740, 1020, 31680, 960, nullptr, false, true},
    };
    return table;
}

} // namespace WindowLayout
