// Windows: the system's reason is all there is to tell why a port would not open.
#include "link/OpenFailureCause.h"

OpenFailureFacts gatherOpenFailureFacts(const QString &device, const QString &systemReason)
{
    OpenFailureFacts facts;
    facts.device = device;
    facts.systemReason = systemReason;
    return facts;
}
