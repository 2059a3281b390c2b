#pragma once

#include <QByteArray>

#include <optional>

// The firmware container a build made with -DREVERTEX_FIRMWARE=<file> carries as its
// resource CUSTOM/101 (checked while building, by fwimage embed, with the reader that
// checks a file named when the program starts); none in a build without it, which
// asks for the firmware when it starts. Defined by the library
// revertex_embedded_firmware: a program that calls this links that library.
std::optional<QByteArray> embeddedFirmwareContainer();
