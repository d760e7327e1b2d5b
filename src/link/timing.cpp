#include "timing.h"

#include "firmware/releases.h"

int readTimeout = 200;
int savedReadTimeout = 200;

namespace LinkLimits {
int saveReadTimeoutMs = 600;
int fastReadTimeoutMs = 120;
int maxReadDurationMs = 5000;
int maxAnswerBytes = 64 * 1024;
int disconnectWaitMs = 500;
int toolsWaitMs = 500;
int rebootFloorMs = 5000;
} // namespace LinkLimits

int settleQuietTime(float firmwareVersion)
{
    if (Firmware::opens(firmwareVersion, Firmware::Feature::ShortQuietTime))
        readTimeout = LinkLimits::fastReadTimeoutMs;
    return readTimeout;
}
