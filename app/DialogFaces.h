#pragma once

#include "app/DialogFaceChoice.h"

// What the dialog font takes from the system it runs on: DialogFacesPosix.cpp or
// DialogFacesWin32.cpp, as the build chooses.
namespace DialogFaces {

// Makes the dialog faces this system lacks available to this program, where it can.
void loadMissing();

// Which list of faces DialogFaceChoice picks from here.
DialogFaceChoice::Platform platform();

} // namespace DialogFaces
