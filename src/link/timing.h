#ifndef PELKO_TIMING_H
#define PELKO_TIMING_H

// The usual quiet time that ends an answer of a device of this release, in
// milliseconds: 200, or 120 from release 2.1.1, which answers promptly. A
// save's answer is awaited longer (600). Each session keeps the shorter one
// once it has met such a release.
int quietTimeFor(float firmwareVersion);

// Every other wait and limit of the link, in one place. They are variables
// rather than constants so that tests can shorten them; PELKO_QUIET_MS
// shortens the quiet times and pauses of a whole process (see timing.cpp).
namespace LinkLimits {
// Quiet time that ends an answer before a release that answers promptly is met.
extern int quietMs;
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
