#ifndef PELKO_LINKTESTING_H
#define PELKO_LINKTESTING_H

#include "link/serialports.h"
#include "link/timing.h"
#include "linktimes.h"
#include "simharness.h"

#include <memory>

#include <QtTest>

// True when the host itself lists a port that looks like the device, which
// would take the place of the simulated one. Asked while no harness lists
// its device.
inline bool hostListsADevice()
{
    for (const SerialPortEntry &entry : availableSerialPorts())
        if (isPelkoManufacturer(entry.manufacturer))
            return true;
    return false;
}

#endif // PELKO_LINKTESTING_H
