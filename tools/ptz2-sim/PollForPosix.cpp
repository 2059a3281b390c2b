#include "PollFor.h"

int pollFor(pollfd *watched, nfds_t count, Nanos wait)
{
    return poll(watched, count, wait < 0 ? -1 : static_cast<int>((wait + kNanosPerMilli - 1) / kNanosPerMilli));
}
