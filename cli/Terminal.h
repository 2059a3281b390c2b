#pragma once

#include <cstdio>

// The console as revertex-cli uses it. One file per platform.
namespace Terminal {

// The stream is a terminal (a console on Windows), not a file or a pipe.
bool isTerminal(std::FILE *stream);

// Lets the terminal act on the escape sequences that redraw the progress lines (on
// Windows a console has to be told); false when it cannot.
bool enableRedraw(std::FILE *stream);

} // namespace Terminal
