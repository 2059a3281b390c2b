#pragma once

#include "cli/NamedPort.h"
#include "link/CommPort.h"

#include <QString>

#include <memory>

// The serial port for one PORT of the command line; null with `error` set when this
// platform cannot reach a port named that way. One file per platform.
std::unique_ptr<CommPort> makeCliPort(const NamedPort &named, QString *error);
