#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, read before the toolkit starts so that these work
// without a display. Qt's own options (-platform, -style, ...) are left to Qt.
enum class StartRequest {
    Window,      // the wizard
    ListPorts,   // --list-ports: print what stands behind each COM number, then exit
    Help,        // --help, -h: print the usage, then exit
};

StartRequest startRequestFrom(const QStringList &arguments);   // arguments[0] is the program

// The wizard's own arguments, read once Qt has taken its options out: the firmware
// file named with --firmware FILE (or --firmware=FILE), or as the one file name given
// (what Explorer passes for a file dropped on the program, and a desktop's "Open
// with"). An empty firmwareFile: none named.
struct WizardArguments {
    QString firmwareFile;
    bool fileOnly = false;   // named without --firmware: most likely dropped or opened from a desktop
    QString logFile;         // --log FILE: what goes over the wire is written there; empty: no log
    QString error;   // what is wrong with the command line; empty when nothing is
};

WizardArguments wizardArgumentsFrom(const QStringList &arguments);   // arguments[0] is the program

// The text --help prints.
QString helpText();
