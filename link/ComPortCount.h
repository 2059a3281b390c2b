#pragma once

#include <QtGlobal>

// The COM port list offers ports 1 to kComPortCount, whatever ports the machine has.
constexpr qint16 kComPortCount = 16;
