#pragma once

#include <cstdint>

// Times inside the simulator: nanoseconds of CLOCK_MONOTONIC, the same clock other
// processes on the machine read, so a benchmark can line its own stamps up with ours.
using Nanos = std::int64_t;

constexpr Nanos kNanosPerSecond = 1000000000;
constexpr Nanos kNanosPerMilli = 1000000;
constexpr Nanos kNever = INT64_MAX;

// An 8N1 line carries a start bit, eight data bits and a stop bit per byte.
constexpr int kBitsPerByte = 10;

Nanos monotonicNow();

// Time one byte occupies on the line at this baud rate, rounded up so that pacing
// never delivers early; 0 when pacing is off.
Nanos byteTimeAt(int baud);

double toSeconds(Nanos t);
