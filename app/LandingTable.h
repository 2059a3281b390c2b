#pragma once

#include "link/WizardSurface.h"

#include <vector>

// The seven pages of the wizard, named by what they show.
enum class Page {
    Welcome,   // frame1
    ComPort,   // frame2
    Testing,   // frame3
    Message,   // frame4a
    Warning,   // frame4
    Progress,  // frame5
    Done,      // frame6
};

// What a landing does to one button.
enum class ButtonChange { Keep, Enable, Disable };

// One row of the landing table: how a sequence's outcome leaves the window. Every
// row also restores the still emblem (switching the busy animation off).
struct LandingRow {
    Landing outcome;
    SequenceTimer timerOff;        // the sequence's own timer
    std::vector<Page> hide;        // hidden first, in this order
    std::vector<Page> show;        // then shown
    const char *message;           // new lblError text; nullptr keeps the text
    ButtonChange back, next, cancel;
    const char *cancelCaption;     // new cmdCancel caption; nullptr keeps it
};

const std::vector<LandingRow> &landingTable();

// The row of one outcome; every Landing value has exactly one.
const LandingRow &landingRow(Landing outcome);
