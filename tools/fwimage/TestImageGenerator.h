#pragma once

#include "tools/fwimage/FirmwareFigures.h"

#include <QByteArray>

// Our own firmware for the simulated camera. It has the shape of the camera's real
// image to the figure (record count, sizes, body lengths, escapes, escaped checksums,
// MCS-51 vector table, version text) so that everything downstream is exercised as
// it will be, but its code bytes are pseudo-random: it must never reach a real
// camera. The output is the same on every run and every platform; the copy kept in
// resources/firmware is this output.
class TestImageGenerator {
public:
    // The figures the generated container has (checked after every generation).
    static FirmwareFigures requiredFigures();

    // The 57,536-byte program image.
    static QByteArray generateImage();

    // The container, with the one trailing zero byte of the real one. Throws
    // std::runtime_error listing every figure that is not met.
    static QByteArray generate();
};
