#include "linktimes.h"

LinkLimits shortLinkTimes(int quietMs, int saveQuietMs)
{
    LinkLimits limits;
    limits.quietMs = limits.fastReadTimeoutMs = quietMs;
    limits.saveReadTimeoutMs = saveQuietMs;
    limits.disconnectWaitMs = 20;
    limits.toolsWaitMs = 100;
    return limits;
}
