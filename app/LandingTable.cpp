#include "app/LandingTable.h"

#include <stdexcept>

const std::vector<LandingRow> &landingTable()
{
    using B = ButtonChange;
    static const std::vector<LandingRow> table = {
        {Landing::NoResponse, SequenceTimer::CamTest, {Page::Testing}, {Page::Message},
         "No response from the camera. Make sure the cable is attached and that you have selected the correct "
         "COM port.  Press the Back button to reselect a different COM port and try again.",
         B::Enable, B::Keep, B::Keep, nullptr},
        {Landing::PortInUse, SequenceTimer::CamTest, {Page::Testing}, {Page::Message},
         "The COM port seems to be in use by some other program.  Press the Back button to select another COM "
         "port or to try again after you close the program that is using the COM port.  Make sure Optivant "
         "Moving is running.",
         B::Enable, B::Keep, B::Keep, nullptr},
        {Landing::NoFlashNeeded, SequenceTimer::CamTest, {Page::Testing, Page::Warning}, {Page::Message},
         "The attached camera does not need to be flashed.  You can press the Back button to select a different "
         "COM port or you can press the Next button to proceed with flashing the camera.",
         B::Enable, B::Enable, B::Keep, nullptr},
        {Landing::NotPtz2, SequenceTimer::CamTest, {Page::Testing}, {Page::Message},
         "The attached camera doesn't seem to be a PictureTel PTZ 2 camera. Press the Back button to select a "
         "different COM port or press Cancel to exit the program. Pressing the Next button will flash the "
         "device.  Make sure that the attached device is a PictureTel PTZ 2 camera.",
         B::Enable, B::Enable, B::Keep, nullptr},
        {Landing::NeedsFlashing, SequenceTimer::CamTest, {Page::Testing, Page::Message}, {Page::Warning},
         nullptr, B::Enable, B::Enable, B::Keep, nullptr},
        {Landing::CheckFailed, SequenceTimer::CamTest, {}, {}, nullptr, B::Keep, B::Keep, B::Keep, nullptr},
        {Landing::PowerCycle, SequenceTimer::StartDownload, {Page::Progress, Page::Done}, {Page::Message},
         "The power to the camera needs to be turned off then turned back on.  Click on the Cancel button to "
         "exit the program and then try again after a power cycle.",
         B::Disable, B::Disable, B::Enable, nullptr},
        {Landing::Flashed, SequenceTimer::Finish, {Page::Progress}, {Page::Done}, nullptr,
         B::Keep, B::Keep, B::Enable, "&Finish"},
    };
    return table;
}

const LandingRow &landingRow(Landing outcome)
{
    for (const LandingRow &row : landingTable())
        if (row.outcome == outcome)
            return row;
    throw std::logic_error("landing outcome without a row");
}
