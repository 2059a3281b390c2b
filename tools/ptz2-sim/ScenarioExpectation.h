#pragma once

#include "SimOptions.h"

#include <QString>
#include <optional>

// Whether the options make the camera end a download early, so that an incomplete
// image is what the run is meant to show. Returns why ("--vanish-after-lines 100:
// ..."), or nothing when the whole image is expected once a download has started.
std::optional<QString> incompleteImageExpected(const SimOptions &options, int expectedLines);
