#pragma once

// The warning shown before a flash begins: on the wizard's warning page (Label6) and
// in revertex-cli's question.
inline constexpr char kFlashWarning[] =
    "Warning: You are about to flash your PictureTel PTZ 2 camera.  Once the process starts, it must be "
    "completed in order for your camera to function properly. If your camera or computer lose power or if "
    "the process does not complete, then your camera may be damaged.";
