#ifndef PELKO_TIMING_H
#define PELKO_TIMING_H

// Every wait and limit of the link, in one place, kept by each session for
// its own device. A test shortens those of the session it drives;
// PELKO_QUIET_MS shortens those of every session of a process (see
// timing.cpp).
struct LinkLimits
{
    // Quiet time that ends an answer before a release that answers promptly
    // (2.1.1 or newer) is met, and after.
    int quietMs = 200;
    int fastReadTimeoutMs = 120;
    // Quiet time for the read of a line holding "SAVEPARAM".
    int saveReadTimeoutMs = 600;
    // A device that never pauses must not hold the window for good: one read
    // stops after this long or after this many bytes, whichever comes first.
    // The longest real answer, the parameter dump, is a few kilobytes: well
    // under half a second at 115,200 baud.
    int maxReadDurationMs = 5000;
    int maxAnswerBytes = 64 * 1024;
    // Pause between "DISCONNECTE" and closing the port.
    int disconnectWaitMs = 500;
    // Pause before the presence check after an unconfirmed "reset", and before
    // disconnecting after a factory reset.
    int toolsWaitMs = 500;
    // Minimum time between "reset" and the reconnection.
    int rebootFloorMs = 5000;
    // How often a pause looks whether a Stop was asked: a signal handler can
    // only set a flag, it cannot wake the event loop.
    int stopCheckMs = 20;

    // The device's own times, or those PELKO_QUIET_MS sets for a simulated
    // device on the same machine.
    static LinkLimits ofThisProcess();
};

#endif // PELKO_TIMING_H
