#include "timing.h"

#include <QtGlobal>

LinkLimits LinkLimits::ofThisProcess()
{
    // PELKO_QUIET_MS (1 to 199) replaces the quiet time that ends an answer,
    // for a simulated device on the same machine, which answers within a
    // millisecond or two: the tests run pelko-provision against one. The quiet
    // time of newer releases is then the same, a save's three times as long,
    // and the pauses around the link shorter in proportion. Unset, the link
    // keeps the times a device needs.
    LinkLimits limits;
    bool ok = false;
    const int quietMs = qEnvironmentVariableIntValue("PELKO_QUIET_MS", &ok);
    if (ok && quietMs >= 1 && quietMs < 200) {
        limits.quietMs = limits.fastReadTimeoutMs = quietMs;
        limits.saveReadTimeoutMs = 3 * quietMs;
        limits.disconnectWaitMs = limits.toolsWaitMs = 5 * quietMs / 2;
    }
    return limits;
}
