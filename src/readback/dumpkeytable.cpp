#include "dumpkeytable.h"

// Constant-initialised: the table exists before any code runs and lives until
// the process ends.
DumpKey dumpKeyTable[kDumpKeyCount] = {
    {"COMMON delimiter", "------- COMMON -------", SectionCommon, -1},
    {"pelko_orientation", "pelko_orientation : ", SectionCommon, -1},
    {"alert_repeat_period_s", "alert_repeat_period_s : ", SectionCommon, -1},
    {"enableEventLog", "enableEventLog : ", SectionCommon, -1},
    {"nbAliveFrameBeforeLog", "nbAliveFrameBeforeLog : ", SectionCommon, -1},
    {"nbSecondBeforeStart", "nbSecondBeforeStart : ", SectionCommon, -1},
    {"buttonDelay", "buttonDelay : ", SectionCommon, -1},
    {"MPU delimiter", "------- MPU -------", SectionCommon, -1},
    {"MPU maxRange", "maxRange : ", SectionCommon, -1},
    {"ALIVE delimiter", "------- ALIVE -------", SectionAlive, -1},
    {"ALIVE modeRefresh", "modeRefresh : ", SectionAlive, -1},
    {"ALIVE nbSavedValue", "nbSavedValue : ", SectionAlive, -1},
    {"ALIVE period", "period : ", SectionAlive, -1},
    {"SHOCK delimiter", "------- CHOC -------", SectionShock, -1},
    {"SHOCK freq", "freq : ", SectionShock, -1},
    {"SHOCK gxSup", "gxSup : ", SectionShock, -1},
    {"SHOCK gxInf", "gxInf : ", SectionShock, -1},
    {"SHOCK gySup", "gySup : ", SectionShock, -1},
    {"SHOCK gyInf", "gyInf : ", SectionShock, -1},
    {"SHOCK gzSup", "gzSup : ", SectionShock, -1},
    {"SHOCK gzInf", "gzInf : ", SectionShock, -1},
    {"SHOCK removeGravity", "removeGravity : ", SectionShock, -1},
    {"SHOCK inhibition", "inhibition : ", SectionShock, -1},
    {"SHOCK inhibition off", "inhibition disabled", SectionShock, -1},
    {"SHOCK enableShockLog", "enableShockLog : ", SectionShock, -1},
    {"SHOCK nbAliveFrameBeforeShockLog", "nbAliveFrameBeforeShockLog : ", SectionShock, -1},
    {"MVT delimiter", "------- MVT -------", SectionMvt, -1},
    {"MVT freq", "freq : ", SectionMvt, -1},
    {"MVT sensitivity", "sensitivity : ", SectionMvt, -1},
    {"MVT timerX", "timerX : ", SectionMvt, -1},
    {"MVT timerY", "timerY : ", SectionMvt, -1},
    {"MVT gxSup", "gxSup : ", SectionMvt, -1},
    {"MVT gxInf", "gxInf : ", SectionMvt, -1},
    {"MVT gySup", "gySup : ", SectionMvt, -1},
    {"MVT gyInf", "gyInf : ", SectionMvt, -1},
    {"MVT gzSup", "gzSup : ", SectionMvt, -1},
    {"MVT gzInf", "gzInf : ", SectionMvt, -1},
    {"MVT activity", "activity : ", SectionMvt, -1},
    {"MVT additionateActivity", "additionateActivity : ", SectionMvt, -1},
    {"MVT periodicActivity", "periodicActivity : ", SectionMvt, -1},
    {"MVT activityResumePeriod", "activityResumePeriod : ", SectionMvt, -1},
    {"MVT tracking", "tracking : ", SectionMvt, -1},
    {"MVT burstMode", "burstMode : ", SectionMvt, -1},
    {"MVT motionNbBurst", "motionNbBurst : ", SectionMvt, -1},
    {"MVT stillnessNbBurst", "stillnessNbBurst : ", SectionMvt, -1},
    {"MVT frameNbBeforeNextBurst", "frameNbBeforeNextBurst : ", SectionMvt, -1},
    {"MVT motionPeriod", "motionPeriod : ", SectionMvt, -1},
    {"MVT stillnessPeriod", "stillnessPeriod : ", SectionMvt, -1},
    {"MVT loraAtStartMvt", "loraAtStartMvt : ", SectionMvt, -1},
    {"MVT loraAtStopMvt", "loraAtStopMvt : ", SectionMvt, -1},
    {"TEMP delimiter", "------- TEMP -------", SectionTemp, -1},
    {"TEMP nbSavedValue", "nbSavedValue : ", SectionTemp, -1},
    {"TEMP modeThreshold", "modeThreshold : ", SectionTemp, -1},
    {"TEMP max", "max : ", SectionTemp, -1},
    {"TEMP min", "min : ", SectionTemp, -1},
    {"TEMP delta", "delta : ", SectionTemp, -1},
    {"TEMP period", "period : ", SectionTemp, -1},
    {"TEMP fastPeriod", "fastPeriod : ", SectionTemp, -1},
    {"TEMP ultraFastPeriod", "ultraFastPeriod : ", SectionTemp, -1},
    {"TEMP inhibition", "inhibition : ", SectionTemp, -1},
    {"TILT delimiter", "------- TILT -------", SectionTilt, -1},
    {"TILT mode", "mode : ", SectionTilt, -1},
    {"TILT pitch", "pitch : ", SectionTilt, -1},
    {"TILT roll", "roll : ", SectionTilt, -1},
    {"TILT threshold", "threshold : ", SectionTilt, -1},
    {"TILT multiple alert period", "alert : multiple (period : ", SectionTilt, -1},
    {"TILT period", "period : ", SectionTilt, -1},
    {"ROTATION delimiter", "------- ROTATION -------", SectionRotation, -1},
    {"ROTATION lap", "lap : ", SectionRotation, -1},
    {"ROTATION mode", "mode : ", SectionRotation, -1},
    {"ROTATION threshold", "threshold : ", SectionRotation, -1},
    {"ROTATION period", "period : ", SectionRotation, -1},
    {"ROTATION resetLap", "resetLap : ", SectionRotation, -1},
    {"ORIENTATION delimiter", "------- ORIENTATION -------", SectionOrientation, -1},
    {"ORIENTATION mode", "mode : ", SectionOrientation, -1},
    {"ORIENTATION period", "period : ", SectionOrientation, -1},
    {"ORIENTATION threshold", "threshold : ", SectionOrientation, -1},
    {"ORIENTATION mesureLenght", "mesureLenght : ", SectionOrientation, -1},
    {"ORIENTATION pitch", "pitch : ", SectionOrientation, -1},
    {"ORIENTATION roll", "roll : ", SectionOrientation, -1},
    {"ORIENTATION yaw", "yaw : ", SectionOrientation, -1},
    {"VIBRATION delimiter", "------- VIBRATION -------", SectionVibration, -1},
    {"VIBRATION Axe X", "Axe X : ", SectionVibration, -1},
    {"VIBRATION Axe Y", "Axe Y : ", SectionVibration, -1},
    {"VIBRATION Axe Z", "Axe Z : ", SectionVibration, -1},
    {"VIBRATION period", "period : ", SectionVibration, -1},
    {"VIBRATION amplitude_threshold_x", "amplitude_threshold_x : ", SectionVibration, -1},
    {"VIBRATION amplitude_threshold_y", "amplitude_threshold_y : ", SectionVibration, -1},
    {"VIBRATION amplitude_threshold_z", "amplitude_threshold_z : ", SectionVibration, -1},
    {"VIBRATION freq_max", "freq_max : ", SectionVibration, -1},
    {"VIBRATION freq_min", "freq_min : ", SectionVibration, -1},
    {"END", "\n------- -------- -------\n", SectionCommon, -1},
};

int frequencyIndexForHz(int hz)
{
    // Upper bound in Hz of each list entry from index 3 on ("4" ... "250");
    // anything above the last bound is "500".
    static const int upperBounds[] = {4, 8, 16, 31, 63, 125, 250};
    if (hz <= 2)
        return hz;
    int index = 3;
    for (int bound : upperBounds) {
        if (hz <= bound)
            return index;
        ++index;
    }
    return index;
}

int rangeSliderPositionForG(int g)
{
    switch (g) {
    case 2:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    case 16:
        return 4;
    default:
        return g;
    }
}

int burstNumberIndex(int bursts)
{
    return bursts > 1 ? bursts - 2 : 0;
}
