#include "flash/TickPacing.h"

#include <algorithm>

namespace TickPacing {

int nextTickMs(const AfterTick &tick, int designedMs)
{
    if (!tick.portTellsArrivals)
        return designedMs;
    if (tick.waiting) {
        if (tick.bytesUnread)
            return kAtOnceMs;
        if (tick.onlyStallLimit)
            return kStallLookMs;
        if (tick.msUntilNextStamp < 0)
            return kIdleTickMs;
        return int(tick.msUntilNextStamp + kAfterStampChangeMs);
    }
    if (tick.waitEnded)
        return kAtOnceMs;
    return designedMs;
}

} // namespace TickPacing
