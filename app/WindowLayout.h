#pragma once

#include <vector>

// The window's definition as data: every control with its container, place, size,
// text and initial state, and the timers. The window is built by walking these
// tables; the looks that are not a matter of place and text are set by the window.
namespace WindowLayout {

// Positions and sizes are in twips; 15 twips make one pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) { return twips / kTwipsPerPixel; }

constexpr const char *kWindowName = "frmRevertex";
constexpr const char *kCaption = "Optivant PictureTel Flash Program";
constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 3555;

enum class ControlKind { Picture, Page, Label, DropDown, Button, Line };

struct Control {
    const char *name;
    ControlKind kind;
    const char *container;   // kWindowName for the window itself
    int left, top;           // twips; a line runs from (left, top) to (left + width, top)
    int width, height;
    const char *text;        // caption or label text; nullptr for none
    bool visible;
    bool enabled;
};

// In creation order: every container comes before what it holds.
const std::vector<Control> &controls();

} // namespace WindowLayout
