#include "timing.h"

#include "firmware/releases.h"

#include <QtGlobal>

namespace {

// PELKO_QUIET_MS (1 to 199) replaces the quiet time that ends an answer, for
// a simulated device on the same machine, which answers within a millisecond
// or two: the tests run pelko-provision against one. The quiet time of newer
// releases is then the same, a save's three times as long, and the pauses
// around the link shorter in proportion. Unset, the link keeps the times a
// device needs.
int quietOverride()
{
    bool ok = false;
    const int quietMs = qEnvironmentVariableIntValue("PELKO_QUIET_MS", &ok);
    return ok && quietMs >= 1 && quietMs < 200 ? quietMs : 0;
}

int linkTime(int normalMs, int overriddenMs)
{
    return quietOverride() > 0 ? overriddenMs : normalMs;
}

} // namespace

namespace LinkLimits {
int quietMs = linkTime(200, quietOverride());
int saveReadTimeoutMs = linkTime(600, 3 * quietOverride());
int fastReadTimeoutMs = linkTime(120, quietOverride());
int maxReadDurationMs = 5000;
int maxAnswerBytes = 64 * 1024;
int disconnectWaitMs = linkTime(500, 5 * quietOverride() / 2);
int toolsWaitMs = linkTime(500, 5 * quietOverride() / 2);
int rebootFloorMs = 5000;
int stopCheckMs = 20;
} // namespace LinkLimits

int quietTimeFor(float firmwareVersion)
{
    return Firmware::opens(firmwareVersion, Firmware::Feature::ShortQuietTime) ? LinkLimits::fastReadTimeoutMs
                                                                               : LinkLimits::quietMs;
}
