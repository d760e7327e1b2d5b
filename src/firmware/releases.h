#ifndef PELKO_RELEASES_H
#define PELKO_RELEASES_H

#include <QByteArray>
#include <QString>

// Firmware releases as the VERSION answer names them, and what each release
// opens on the form, on the wire and in the tools. A feature opens with one
// release and stays open in every later one.
namespace Firmware {

// In the order of the releases that open them.
enum class Feature {
    None,
    JoinRequestTimeOutReadback, // the LoRa answer's join-request error time-out is read back
    OrientationSetting,         // "MPU orientation" is sent
    DefaultDataRate,            // the default data rate is read back and sent
    TwoCommandFactoryReset,     // the LoRa and algorithm halves reset (and store) separately
    ShockBesideTiltOnMove,      // SHOCK no longer closes TILT's on-move mode
    CommonAlertPeriod,          // the common alert period field
    OrientationChoice,          // the laid flat / stay upright pair
    TiltAlertBoxes,             // TILT's alert-multiple and alert-zone boxes
    SignedTiltMeasure,          // TILT's signed-measure box
    AliveFramesShareWakeUp,     // ALIVE's automatic frames neither count in the form nor hold
                                // TEMPERATURE, VIBRATION and the refresh modes back
    PowerOffBox,                // the allow-power-off box
    AliveFramesUncounted,       // the count starts without ALIVE's frames: on identification and
                                // when VIBRATION goes off
    MotionTracking,             // MOTION tracking and its burst settings
    ShortQuietTime,             // answers end after 120 ms of quiet instead of 200 ms
    EventLog,                   // event log, frames before logging, start and button delays
    ShockLog,                   // shock log and its frames before logging (the last)
};

// How firmwareVersion is compared with a release's threshold. The version is
// held in single precision; the double tests widen it, so a release stored as
// 1.9, 1.91, 1.92, 2.1 or 2.12 sits just below the decimal of the same digits.
// Each release keeps the exact test the device generations were tested with.
enum class Test { SingleAtLeast, DoubleAbove, DoubleAtLeast };

struct Release
{
    const char *marker; // text searched in the VERSION answer
    float version;      // what firmwareVersion becomes on a match
    // The test that lets this release and every later one through, and the
    // features it opens (a release that opens nothing leaves its test unused).
    Test test;
    double threshold;
    Feature opens[4];
};

// In search order, which is also release order; every match overwrites the
// previous one, so the last wins.
extern const Release kReleases[12];

// The release named by a VERSION answer, or `previous` when none is named.
float identify(const QByteArray &answer, float previous);

// The release as a technician writes it ("2.1.1"), or the version's number
// when no release has it.
QString releaseName(float version);

// Whether the version is one of the releases (not 0, before identification).
bool isRelease(float version);

// The version of the release a technician names ("1.9.2", "2.0"), or 0 when
// no release has that name.
float releaseNamed(const QString &name);

// Whether a device of this version (0 while none is identified) has the feature.
bool opens(float version, Feature feature);

} // namespace Firmware

#endif // PELKO_RELEASES_H
