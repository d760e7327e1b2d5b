#include "linktimes.h"

#include "link/timing.h"

ShortLinkTimes::ShortLinkTimes(int quietMs, int saveQuietMs) :
    m_read(readTimeout),
    m_saved(savedReadTimeout),
    m_save(LinkLimits::saveReadTimeoutMs),
    m_fast(LinkLimits::fastReadTimeoutMs),
    m_duration(LinkLimits::maxReadDurationMs),
    m_bytes(LinkLimits::maxAnswerBytes),
    m_disconnect(LinkLimits::disconnectWaitMs),
    m_tools(LinkLimits::toolsWaitMs),
    m_floor(LinkLimits::rebootFloorMs)
{
    readTimeout = quietMs;
    LinkLimits::fastReadTimeoutMs = quietMs;
    LinkLimits::saveReadTimeoutMs = saveQuietMs;
    LinkLimits::disconnectWaitMs = 20;
    LinkLimits::toolsWaitMs = 100;
}

ShortLinkTimes::~ShortLinkTimes()
{
    readTimeout = m_read;
    savedReadTimeout = m_saved;
    LinkLimits::saveReadTimeoutMs = m_save;
    LinkLimits::fastReadTimeoutMs = m_fast;
    LinkLimits::maxReadDurationMs = m_duration;
    LinkLimits::maxAnswerBytes = m_bytes;
    LinkLimits::disconnectWaitMs = m_disconnect;
    LinkLimits::toolsWaitMs = m_tools;
    LinkLimits::rebootFloorMs = m_floor;
}
