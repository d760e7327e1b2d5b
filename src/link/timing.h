#ifndef PELKO_TIMING_H
#define PELKO_TIMING_H

// Quiet time that ends a device answer, in milliseconds. 200 at start, 600
// while a SAVEPARAM line is read, 120 for good once release 2.1.1 or newer has
// been identified.
extern int readTimeout;
// readTimeout as it was before a SAVEPARAM read.
extern int savedReadTimeout;

// The usual quiet time once a device of this release has been identified.
// Releases from 2.1.1 answer promptly: the shorter quiet time holds for the
// rest of the run, later connections included.
int settleQuietTime(float firmwareVersion);

// Every other wait and limit of the link, in one place. They are variables
// rather than constants so that tests can shorten them; PELKO_QUIET_MS
// shortens the quiet times and pauses of a whole process (see timing.cpp).
namespace LinkLimits {
// Quiet time for the read of a line holding "SAVEPARAM".
extern int saveReadTimeoutMs;
// Quiet time once release 2.1.1 or newer has been identified.
extern int fastReadTimeoutMs;
// A device that never pauses must not hold the window for good: one read
// stops after this long or after this many bytes, whichever comes first. The
// longest real answer, the parameter dump, is a few kilobytes: well under half
// a second at 115,200 baud.
extern int maxReadDurationMs;
extern int maxAnswerBytes;
// Pause between "DISCONNECTE" and closing the port.
extern int disconnectWaitMs;
// Pause before the presence check after an unconfirmed "reset", and before
// disconnecting after a factory reset.
extern int toolsWaitMs;
// Minimum time between "reset" and the reconnection.
extern int rebootFloorMs;
// How often a pause looks whether a Stop was asked: a signal handler can only
// set a flag, it cannot wake the event loop.
extern int stopCheckMs;
} // namespace LinkLimits

#endif // PELKO_TIMING_H
