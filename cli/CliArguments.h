#pragma once

#include "cli/NamedPort.h"

#include <QList>
#include <QString>
#include <QStringList>

// What revertex-cli is asked to do.
enum class CliCommand { Help, Ports, Check, Flash };

struct CliArguments {
    CliCommand command = CliCommand::Help;
    QList<NamedPort> ports;   // in the order given, each once
    QString firmwareFile;    // --firmware FILE; empty: the build's own, if it carries one
    QString logFile;         // --log FILE; empty: no log
    bool force = false;      // --force: flash a camera that reports 3.46 or is not recognised
    bool yes = false;        // --yes: flash without asking
    bool json = false;       // --json: one JSON object per event on standard output
    QString error;           // what is wrong with the command line; empty when nothing is
};

CliArguments cliArgumentsFrom(const QStringList &arguments);   // arguments[0] is the program

// The text --help prints, with the exit status of every outcome.
QString cliHelpText();
