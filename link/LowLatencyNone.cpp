// POSIX systems other than Linux: no driver request for low latency.
#include "link/LowLatency.h"

LowLatencyAnswer requestLowLatency(SerialHandle handle)
{
    (void)handle;
    return LowLatencyAnswer::NotAvailable;
}
