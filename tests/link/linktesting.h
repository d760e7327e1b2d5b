#ifndef PELKO_LINKTESTING_H
#define PELKO_LINKTESTING_H

#include "link/serialports.h"
#include "link/timing.h"
#include "simharness.h"

#include <memory>

#include <QtTest>


// Shorter quiet times and waits for tests whose subject is not the time
// itself; everything is put back when the test ends.
class ShortLinkTimes
{
public:
    ShortLinkTimes()
        : m_read(readTimeout), m_saved(savedReadTimeout), m_save(LinkLimits::saveReadTimeoutMs),
          m_fast(LinkLimits::fastReadTimeoutMs), m_duration(LinkLimits::maxReadDurationMs),
          m_bytes(LinkLimits::maxAnswerBytes), m_disconnect(LinkLimits::disconnectWaitMs)
    {
        readTimeout = 100;
        LinkLimits::fastReadTimeoutMs = 100;
        LinkLimits::saveReadTimeoutMs = 400;
        LinkLimits::disconnectWaitMs = 20;
    }
    ~ShortLinkTimes()
    {
        readTimeout = m_read;
        savedReadTimeout = m_saved;
        LinkLimits::saveReadTimeoutMs = m_save;
        LinkLimits::fastReadTimeoutMs = m_fast;
        LinkLimits::maxReadDurationMs = m_duration;
        LinkLimits::maxAnswerBytes = m_bytes;
        LinkLimits::disconnectWaitMs = m_disconnect;
    }
    ShortLinkTimes(const ShortLinkTimes &) = delete;
    ShortLinkTimes &operator=(const ShortLinkTimes &) = delete;

private:
    int m_read, m_saved, m_save, m_fast, m_duration, m_bytes, m_disconnect;
};

// True when the host itself lists a port that looks like the device, which
// would take the place of the simulated one.
inline bool hostListsADevice()
{
    const bool had = qEnvironmentVariableIsSet(kExtraPortsVariable);
    const QByteArray saved = qgetenv(kExtraPortsVariable);
    qunsetenv(kExtraPortsVariable);
    bool found = false;
    for (const SerialPortEntry &entry : availableSerialPorts())
        found = found || isPelkoManufacturer(entry.manufacturer);
    if (had)
        qputenv(kExtraPortsVariable, saved);
    return found;
}

#endif // PELKO_LINKTESTING_H
