#include "app/DialogPalette.h"

namespace {

struct RoleColour {
    QPalette::ColorRole role;
    QRgb colour;
};

// The Windows system colours of a light desktop, role by role.
const RoleColour kActive[] = {
    {QPalette::Window, qRgb(240, 240, 240)},        // button face
    {QPalette::WindowText, qRgb(0, 0, 0)},
    {QPalette::Base, qRgb(255, 255, 255)},          // window (fields, lists)
    {QPalette::AlternateBase, qRgb(246, 246, 246)},
    {QPalette::Text, qRgb(0, 0, 0)},
    {QPalette::Button, qRgb(240, 240, 240)},
    {QPalette::ButtonText, qRgb(0, 0, 0)},
    {QPalette::BrightText, qRgb(255, 255, 255)},
    {QPalette::Light, qRgb(255, 255, 255)},         // button highlight
    {QPalette::Midlight, qRgb(227, 227, 227)},      // 3-D light
    {QPalette::Mid, qRgb(200, 200, 200)},
    {QPalette::Dark, qRgb(160, 160, 160)},          // button shadow
    {QPalette::Shadow, qRgb(105, 105, 105)},        // 3-D dark shadow
    {QPalette::Highlight, qRgb(0, 120, 215)},
    {QPalette::HighlightedText, qRgb(255, 255, 255)},
    {QPalette::Link, qRgb(0, 102, 204)},
    {QPalette::LinkVisited, qRgb(128, 0, 128)},
    {QPalette::ToolTipBase, qRgb(255, 255, 225)},
    {QPalette::ToolTipText, qRgb(0, 0, 0)},
    {QPalette::PlaceholderText, qRgb(109, 109, 109)},
};

// Disabled texts are the system's grey text; everything else as above.
const RoleColour kDisabled[] = {
    {QPalette::WindowText, qRgb(109, 109, 109)},
    {QPalette::Text, qRgb(109, 109, 109)},
    {QPalette::ButtonText, qRgb(109, 109, 109)},
    {QPalette::Base, qRgb(240, 240, 240)},
    {QPalette::Highlight, qRgb(204, 204, 204)},
};

} // namespace

QPalette dialogPalette()
{
    QPalette palette;
    for (const RoleColour &entry : kActive)
        palette.setColor(entry.role, QColor(entry.colour));   // every group
    for (const RoleColour &entry : kDisabled)
        palette.setColor(QPalette::Disabled, entry.role, QColor(entry.colour));
    return palette;
}
