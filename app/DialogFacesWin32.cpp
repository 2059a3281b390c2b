// Windows has its dialog faces (Wine too has its own): nothing to load.
#include "app/DialogFaces.h"

namespace DialogFaces {

void loadMissing()
{
}

DialogFaceChoice::Platform platform()
{
    return DialogFaceChoice::Platform::Windows;
}

} // namespace DialogFaces
