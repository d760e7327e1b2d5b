#include "formrules.h"

#include "readback/firmware.h"

#include <algorithm>

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

AlgoAvailability availability(int count, int limit, const AlgoChecks &checked, bool aliveFramesChecked, float version)
{
    AlgoAvailability a;
    if (count < limit) {
        a.shock = Action::Enable;
        if (!checked.motion)
            a.orientation = Action::Enable;
        if (!checked.orientation)
            a.motion = Action::Enable;
        // Up to 1.9.2 the ALIVE frames and TEMPERATURE cannot run together.
        if (Firmware::from1_9_3(version) || !aliveFramesChecked)
            a.temperature = Action::Enable;
        if (!checked.rotation)
            a.tilt = Action::Enable;
        if (!checked.tilt)
            a.rotation = Action::Enable;
        // VIBRATION needs the device to itself.
        a.vibration = count == 0 ? Action::Enable : Action::Disable;
        return a;
    }
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
    return a;
}

Action tiltOrRotationRefresh(const ModeContext &c)
{
    if (Firmware::from1_9_3(c.version)) {
        if (c.temperature || c.vibration)
            return Action::Leave;
        if (c.orientation && c.orientRefresh)
            return Action::Disable;
        return Action::Enable;
    }
    if (c.aliveFrames || c.temperature || c.vibration || c.orientRefresh)
        return Action::Leave;
    return Action::Enable;
}

Action orientationRefresh(const ModeContext &c)
{
    if (Firmware::from1_9_3(c.version)) {
        if (c.temperature || c.vibration)
            return Action::Leave;
        if ((c.tilt && c.tiltRefresh) || (c.rotation && c.rotationRefresh))
            return Action::Disable;
        return Action::Enable;
    }
    if (c.aliveFrames || c.temperature || c.vibration || c.tiltRefresh || c.rotationRefresh)
        return Action::Leave;
    return Action::Enable;
}

Action tiltOnMove(const ModeContext &c)
{
    if (c.motion)
        return Action::Leave;
    if (c.orientation && c.orientOnMove)
        return Action::Disable;
    // Up to 1.9 the firmware cannot watch shocks and tilt on motion together.
    if (c.shock && !Firmware::from1_9_1(c.version))
        return Action::Disable;
    return Action::Enable;
}

Action rotationOnMove(const ModeContext &c)
{
    if (c.shock || c.motion)
        return Action::Leave;
    if (c.orientation && c.orientOnMove)
        return Action::Disable;
    return Action::Enable;
}

Action orientationOnMove(const ModeContext &c)
{
    if (c.shock)
        return Action::Leave;
    if ((c.tilt && c.tiltOnMove) || (c.rotation && c.rotationOnMove))
        return Action::Disable;
    return Action::Enable;
}

int rangeMaxMilliG(int position)
{
    switch (position) {
    case 1:
        return 2000;
    case 2:
        return 4000;
    case 3:
        return 8000;
    case 4:
        return 16000;
    default:
        return 0;
    }
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
