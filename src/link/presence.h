#ifndef PELKO_PRESENCE_H
#define PELKO_PRESENCE_H

#include "link/serialports.h"

// After "reset" or "poweroff" the device may drop off the bus before it gets
// to answer. Its port still being listed tells a real failure from that.
//
// Traces every port (name and manufacturer) to the debug log and returns
// true when any of them is the device's USB bridge.
bool pelkoPortStillListed(const QList<SerialPortEntry> &ports);

#endif // PELKO_PRESENCE_H
