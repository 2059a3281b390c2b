#pragma once

#include "SimTime.h"

#include <poll.h>

// poll() with a wait in nanoseconds (negative: no limit), as finely as the system allows:
// PollForLinux.cpp (ppoll, to the nanosecond) or PollForPosix.cpp (poll, in milliseconds
// rounded up, so pacing may be a little late, never early), as the build chooses.
int pollFor(pollfd *watched, nfds_t count, Nanos wait);
