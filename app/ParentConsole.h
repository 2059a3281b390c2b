#pragma once

// A Windows program of the window kind starts without a console: the options and the
// refusal of a file named on the command line answer in the console of the command
// prompt that started them, when there is one. A stream already redirected stays so.
// Elsewhere a program keeps the terminal it was started from, and this does nothing.
// ParentConsoleWin32.cpp or ParentConsolePosix.cpp, as the build chooses.
void useParentConsole();
