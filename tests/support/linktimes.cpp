#include "linktimes.h"

#include "link/timing.h"

namespace {
// Every limit of the link, in the order their values are kept.
int *const kLimits[] = {&LinkLimits::quietMs,           &LinkLimits::saveReadTimeoutMs, &LinkLimits::fastReadTimeoutMs,
                        &LinkLimits::maxReadDurationMs, &LinkLimits::maxAnswerBytes,    &LinkLimits::disconnectWaitMs,
                        &LinkLimits::toolsWaitMs,       &LinkLimits::rebootFloorMs};
} // namespace

ShortLinkTimes::ShortLinkTimes(int quietMs, int saveQuietMs)
{
    for (int *limit : kLimits)
        m_saved.append(*limit);
    LinkLimits::quietMs = quietMs;
    LinkLimits::fastReadTimeoutMs = quietMs;
    LinkLimits::saveReadTimeoutMs = saveQuietMs;
    LinkLimits::disconnectWaitMs = 20;
    LinkLimits::toolsWaitMs = 100;
}

ShortLinkTimes::~ShortLinkTimes()
{
    for (int i = 0; i < m_saved.size(); ++i)
        *kLimits[i] = m_saved.at(i);
}
