#include "formrules.h"

#include "firmware/releases.h"
#include "model/catalogue.h"

#include <algorithm>
#include <iterator>

namespace FormRules {

int countAfter(int count, int mode, int limit)
{
    if (mode == 2) {
        if (count < limit)
            ++count;
    } else if (mode == 0) {
        if (count >= 1)
            --count;
    }
    return std::clamp(count, 0, std::max(limit, 0));
}

AlgoChecks algoChecks(const std::function<bool(const char *box)> &checked)
{
    const auto &algorithms = Model::kAlgorithms;
    AlgoChecks c;
    c.shock = checked(algorithms[Model::Shock].checkBox);
    c.motion = checked(algorithms[Model::Motion].checkBox);
    c.temperature = checked(algorithms[Model::Temperature].checkBox);
    c.tilt = checked(algorithms[Model::Tilt].checkBox);
    c.rotation = checked(algorithms[Model::Rotation].checkBox);
    c.orientation = checked(algorithms[Model::Orientation].checkBox);
    c.vibration = checked(algorithms[Model::Vibration].checkBox);
    c.aliveFrames = checked("cbAliveRefreshMode");
    return c;
}

int countOf(const AlgoChecks &on, float version, int limit, bool framesCountBefore2_0)
{
    if (on.vibration)
        return limit;
    const bool framesCount =
        on.aliveFrames && !Firmware::opens(version, framesCountBefore2_0 ? Firmware::Feature::AliveFramesUncounted
                                                                         : Firmware::Feature::AliveFramesShareWakeUp);
    return int(on.shock) + int(on.motion) + int(on.temperature) + int(on.tilt) + int(on.rotation) +
           int(on.orientation) + int(framesCount);
}

AlgoAvailability availability(int count, int limit, const AlgoChecks &checked, float version)
{
    // A box kept closed by a partner: an unchecked one closes, a checked one
    // is left so that it can still be switched off.
    auto keptBy = [](bool self, bool blocked) {
        if (!blocked)
            return Action::Enable;
        return self ? Action::Leave : Action::Disable;
    };
    AlgoAvailability a;
    if (count < limit) {
        a.shock = Action::Enable;
        a.orientation = keptBy(checked.orientation, checked.motion);
        a.motion = keptBy(checked.motion, checked.orientation);
        // Up to 1.9.2 the ALIVE frames and TEMPERATURE cannot run together.
        a.temperature =
            keptBy(checked.temperature,
                   checked.aliveFrames && !Firmware::opens(version, Firmware::Feature::AliveFramesShareWakeUp));
        a.tilt = keptBy(checked.tilt, checked.rotation);
        a.rotation = keptBy(checked.rotation, checked.tilt);
        // VIBRATION needs the device to itself.
        a.vibration = count == 0 ? Action::Enable : Action::Disable;
    } else {
        auto closeUnchecked = [](bool isChecked) {
            return isChecked ? Action::Leave : Action::Disable;
        };
        a.shock = closeUnchecked(checked.shock);
        a.motion = closeUnchecked(checked.motion);
        a.temperature = closeUnchecked(checked.temperature);
        a.tilt = closeUnchecked(checked.tilt);
        a.rotation = closeUnchecked(checked.rotation);
        a.orientation = closeUnchecked(checked.orientation);
        a.vibration = closeUnchecked(checked.vibration);
    }
    // Up to 1.9.2 the frames are one of the two: at the limit they may only
    // come in where TEMPERATURE gives them its place.
    const bool framesFit = Firmware::opens(version, Firmware::Feature::AliveFramesShareWakeUp) || checked.aliveFrames ||
                           count < limit || checked.temperature;
    a.aliveFrames = framesFit ? Action::Enable : Action::Disable;
    return a;
}

Action modeOnSwitchOn(const ModeContext &c)
{
    if (c.onMove) {
        if (c.takenByShockOrMotion)
            return Action::Leave;
        return c.rivalHolds ? Action::Disable : Action::Enable;
    }
    // TEMPERATURE and VIBRATION take the periodic wake-up.
    if (c.temperature || c.vibration)
        return Action::Leave;
    if (Firmware::opens(c.version, Firmware::Feature::AliveFramesShareWakeUp))
        return c.rivalHolds ? Action::Disable : Action::Enable;
    // Up to 1.9.2 the box stays as it is beside ALIVE's frames or a rival's
    // ticked refresh box.
    return c.aliveFrames || c.rivalTicked ? Action::Leave : Action::Enable;
}

int rangeMaxMilliG(int position)
{
    return position >= 1 && position <= int(std::size(Upload::kRangesG)) ? Upload::kRangesG[position - 1] * 1000 : 0;
}

int snappedInhibition(int value)
{
    if (value >= 50)
        return value;
    if (value == 1)
        return 50;
    return 0;
}

BurstNumbers burstNumbersFor(int burstModeIndex)
{
    switch (burstModeIndex) {
    case 0:
        return {false, false};
    case 1:
        return {true, false};
    case 2:
        return {false, true};
    default:
        return {true, true};
    }
}

} // namespace FormRules
