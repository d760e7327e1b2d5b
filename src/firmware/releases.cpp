#include "releases.h"

namespace Firmware {

using F = Feature;
using T = Test;

// clang-format off
const Release kReleases[12] = {
    // VERSION text       version  test of firmwareVersion   what the release opens
    {"1.6",               1.6f,    T::SingleAtLeast, 0.0,    {}},
    {"1.7",               1.7f,    T::SingleAtLeast, 0.0,    {}},
    {"1.8",               1.8f,    T::SingleAtLeast, 0.0,    {}},
    {"1.9",               1.9f,    T::SingleAtLeast, 1.9,    {F::JoinRequestTimeOutReadback}},
    {"1.9.1",             1.91f,   T::DoubleAbove,   1.9,    {F::OrientationSetting, F::DefaultDataRate,
                                                              F::TwoCommandFactoryReset, F::ShockBesideTiltOnMove}},
    {"1.9.2",             1.92f,   T::DoubleAtLeast, 1.91,   {F::CommonAlertPeriod, F::OrientationChoice,
                                                              F::TiltAlertBoxes}},
    {"1.9.3",             1.93f,   T::DoubleAbove,   1.92,   {F::SignedTiltMeasure, F::AliveFramesShareWakeUp}},
    {"Firmware : v2.",    2.0f,    T::SingleAtLeast, 2.0,    {F::PowerOffBox, F::AliveFramesUncounted}},
    {"Firmware : v2.1",   2.1f,    T::SingleAtLeast, 0.0,    {}},
    {"Firmware : v2.1.1", 2.11f,   T::DoubleAbove,   2.1,    {F::MotionTracking, F::ShortQuietTime}},
    {"Firmware : v2.1.2", 2.12f,   T::SingleAtLeast, 0.0,    {}},
    {"Firmware : v2.2",   2.2f,    T::DoubleAbove,   2.12,   {F::EventLog, F::ShockLog}},
};
// clang-format on

float identify(const QByteArray &answer, float previous)
{
    float version = previous;
    for (const Release &release : kReleases) {
        if (answer.contains(release.marker))
            version = release.version;
    }
    return version;
}

namespace {
bool passes(const Release &release, float version)
{
    switch (release.test) {
    case Test::SingleAtLeast:
        return version >= static_cast<float>(release.threshold);
    case Test::DoubleAbove:
        return static_cast<double>(version) > release.threshold;
    case Test::DoubleAtLeast:
        return static_cast<double>(version) >= release.threshold;
    }
    return false;
}
} // namespace

QString releaseName(float version)
{
    for (const Release &release : kReleases) {
        if (release.version == version) {
            // Any 2.x answers "Firmware : v2."; technicians call it 2.0.
            const QString name = QString::fromLatin1(release.marker).remove(QLatin1String("Firmware : v"));
            return name.endsWith(QLatin1Char('.')) ? name + QLatin1Char('0') : name;
        }
    }
    return QString::number(double(version));
}

bool isRelease(float version)
{
    for (const Release &release : kReleases)
        if (release.version == version)
            return true;
    return false;
}

float releaseNamed(const QString &name)
{
    for (const Release &release : kReleases)
        if (releaseName(release.version) == name)
            return release.version;
    return 0.0f;
}

bool opens(float version, Feature feature)
{
    if (feature == Feature::None)
        return false;
    for (const Release &release : kReleases) {
        for (const Feature opened : release.opens) {
            if (opened == feature)
                return passes(release, version);
        }
    }
    return false;
}

} // namespace Firmware
