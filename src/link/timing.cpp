#include "timing.h"

#include <QtGlobal>

namespace {

// The link's times as the device needs them, or all scaled to the quiet time
// PELKO_QUIET_MS names when it is set (from 1 to 200 ms): a simulated device
// on the same machine answers within a millisecond or two, and the tests run
// pelko-provision against one.
int linkTime(int normalMs)
{
    bool ok = false;
    const int quietMs = qEnvironmentVariableIntValue("PELKO_QUIET_MS", &ok);
    return ok && quietMs >= 1 && quietMs < 200 ? qMax(1, normalMs * quietMs / 200) : normalMs;
}

} // namespace

int readTimeout = linkTime(200);
int savedReadTimeout = readTimeout;

namespace LinkLimits {
int saveReadTimeoutMs = linkTime(600);
int fastReadTimeoutMs = linkTime(120);
int maxReadDurationMs = 5000;
int maxAnswerBytes = 64 * 1024;
int disconnectWaitMs = linkTime(500);
int toolsWaitMs = linkTime(500);
int rebootFloorMs = 5000;
} // namespace LinkLimits
