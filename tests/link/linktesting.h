#ifndef PELKO_LINKTESTING_H
#define PELKO_LINKTESTING_H

#include "link/serialports.h"
#include "link/timing.h"
#include "linktimes.h"
#include "simharness.h"

#include <memory>

#include <QtTest>

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
