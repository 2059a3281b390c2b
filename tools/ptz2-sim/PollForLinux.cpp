#include "PollFor.h"

#include <ctime>

int pollFor(pollfd *watched, nfds_t count, Nanos wait)
{
    const timespec limit{static_cast<time_t>(wait / kNanosPerSecond), static_cast<long>(wait % kNanosPerSecond)};
    return ppoll(watched, count, wait < 0 ? nullptr : &limit, nullptr);
}
