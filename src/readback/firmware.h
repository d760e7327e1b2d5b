#ifndef PELKO_FIRMWARE_H
#define PELKO_FIRMWARE_H

#include <QByteArray>

// Firmware releases as the VERSION answer names them, and the feature gates
// that depend on them.
//
// The version is held in single precision. The gates compare it, widened to
// double, with double thresholds, so a release stored as 1.9, 1.91, 1.92, 2.1
// or 2.12 sits just below the decimal of the same digits. Each gate below is
// named after the first release that passes it and keeps the exact comparison
// the device generations were tested against.
namespace Firmware {

struct Release
{
    const char *marker; // text searched in the VERSION answer
    float version;      // what firmwareVersion becomes on a match
};

// In search order; every match overwrites the previous one, so the last wins.
extern const Release kReleases[12];

// The release named by a VERSION answer, or `previous` when none is named.
float identify(const QByteArray &answer, float previous);

// 1.9 and newer: the join-request error time-out is read back.
inline bool from1_9(float v)
{
    return v >= 1.9f;
}
// 1.9.1 and newer (version > 1.9, also "not below 1.9" and "version >= 1.9"):
// orientation, default data rate, the two-command factory reset.
inline bool from1_9_1(float v)
{
    return static_cast<double>(v) > 1.9;
}
// 1.9.2 and newer (version >= 1.91): common alert period, orientation choice,
// TILT alert boxes.
inline bool from1_9_2(float v)
{
    return static_cast<double>(v) >= 1.91;
}
// 1.9.3 and newer (version > 1.92, also version >= 1.92): signed TILT measure;
// ALIVE frames stop counting as an algorithm for the refresh modes.
inline bool from1_9_3(float v)
{
    return static_cast<double>(v) > 1.92;
}
// 2.0 and newer (the one single-precision comparison).
inline bool from2_0(float v)
{
    return v >= 2.0f;
}
// 2.1.1 and newer (version > 2.1): MOTION tracking, 120 ms quiet time.
inline bool from2_1_1(float v)
{
    return static_cast<double>(v) > 2.1;
}
// 2.2 and newer (version > 2.12): event and shock logging.
inline bool from2_2(float v)
{
    return static_cast<double>(v) > 2.12;
}

} // namespace Firmware

#endif // PELKO_FIRMWARE_H
