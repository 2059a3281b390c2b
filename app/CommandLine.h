#pragma once

#include <QStringList>

// What the command line asks for. Options other than these are Qt's own (-platform,
// -style, ...) and go on to the toolkit untouched.
enum class StartRequest {
    Window,      // the wizard
    ListPorts,   // --list-ports: print what stands behind each COM number, then exit
    Help,        // --help, -h: print the usage, then exit
};

StartRequest startRequestFrom(const QStringList &arguments);   // arguments[0] is the program

// The text --help prints.
QString helpText();
