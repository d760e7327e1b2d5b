#ifndef PELKO_DUMPKEYTABLE_H
#define PELKO_DUMPKEYTABLE_H

#include <array>

// The keys of the device's parameter dump ("DUMP RAM PARAM"), in the order in
// which a dump line is tried against them, with the last value read for each.

// Sections of the dump, in the order the device writes them. A section is
// opened by its delimiter line; the MPU lines belong to COMMON.
enum DumpSection {
    SectionCommon = 0,
    SectionAlive = 1,
    SectionShock = 2,
    SectionMvt = 3,
    SectionTemp = 4,
    SectionTilt = 5,
    SectionRotation = 6,
    SectionOrientation = 7,
    SectionVibration = 8,
};

struct DumpKey
{
    const char *keyName; // identity of the key, used in traces
    const char *label;   // text that precedes the value on the dump line
    int section;
};

// Every key of the dump in the order a line is tried against them: its index
// name, its identity in traces, the label that precedes its value on a dump
// line, and its section. The indexes and the table are both made from this one
// list, so that a key's index is its place in the table.
#define PELKO_DUMP_KEYS(X) /* NOLINT(bugprone-macro-parentheses) */                                                    \
    X(KeyCommonDelimiter, "COMMON delimiter", "------- COMMON -------", SectionCommon)                                 \
    X(KeyPelkoOrientation, "pelko_orientation", "pelko_orientation : ", SectionCommon)                                 \
    X(KeyAlertRepeatPeriod, "alert_repeat_period_s", "alert_repeat_period_s : ", SectionCommon)                        \
    X(KeyEnableEventLog, "enableEventLog", "enableEventLog : ", SectionCommon)                                         \
    X(KeyNbAliveFrameBeforeLog, "nbAliveFrameBeforeLog", "nbAliveFrameBeforeLog : ", SectionCommon)                    \
    X(KeyNbSecondBeforeStart, "nbSecondBeforeStart", "nbSecondBeforeStart : ", SectionCommon)                          \
    X(KeyButtonDelay, "buttonDelay", "buttonDelay : ", SectionCommon)                                                  \
    X(KeyMpuDelimiter, "MPU delimiter", "------- MPU -------", SectionCommon)                                          \
    X(KeyMpuMaxRange, "MPU maxRange", "maxRange : ", SectionCommon)                                                    \
    X(KeyAliveDelimiter, "ALIVE delimiter", "------- ALIVE -------", SectionAlive)                                     \
    X(KeyAliveModeRefresh, "ALIVE modeRefresh", "modeRefresh : ", SectionAlive)                                        \
    X(KeyAliveNbSavedValue, "ALIVE nbSavedValue", "nbSavedValue : ", SectionAlive)                                     \
    X(KeyAlivePeriod, "ALIVE period", "period : ", SectionAlive)                                                       \
    X(KeyShockDelimiter, "SHOCK delimiter", "------- CHOC -------", SectionShock)                                      \
    X(KeyShockFreq, "SHOCK freq", "freq : ", SectionShock)                                                             \
    X(KeyShockGxSup, "SHOCK gxSup", "gxSup : ", SectionShock)                                                          \
    X(KeyShockGxInf, "SHOCK gxInf", "gxInf : ", SectionShock)                                                          \
    X(KeyShockGySup, "SHOCK gySup", "gySup : ", SectionShock)                                                          \
    X(KeyShockGyInf, "SHOCK gyInf", "gyInf : ", SectionShock)                                                          \
    X(KeyShockGzSup, "SHOCK gzSup", "gzSup : ", SectionShock)                                                          \
    X(KeyShockGzInf, "SHOCK gzInf", "gzInf : ", SectionShock)                                                          \
    X(KeyShockRemoveGravity, "SHOCK removeGravity", "removeGravity : ", SectionShock)                                  \
    X(KeyShockInhibition, "SHOCK inhibition", "inhibition : ", SectionShock)                                           \
    X(KeyShockInhibitionOff, "SHOCK inhibition off", "inhibition disabled", SectionShock)                              \
    X(KeyShockEnableShockLog, "SHOCK enableShockLog", "enableShockLog : ", SectionShock)                               \
    X(KeyShockNbAliveFrameBeforeShockLog, "SHOCK nbAliveFrameBeforeShockLog",                                          \
      "nbAliveFrameBeforeShockLog : ", SectionShock)                                                                   \
    X(KeyMvtDelimiter, "MVT delimiter", "------- MVT -------", SectionMvt)                                             \
    X(KeyMvtFreq, "MVT freq", "freq : ", SectionMvt)                                                                   \
    X(KeyMvtSensitivity, "MVT sensitivity", "sensitivity : ", SectionMvt)                                              \
    X(KeyMvtTimerX, "MVT timerX", "timerX : ", SectionMvt)                                                             \
    X(KeyMvtTimerY, "MVT timerY", "timerY : ", SectionMvt)                                                             \
    X(KeyMvtGxSup, "MVT gxSup", "gxSup : ", SectionMvt)                                                                \
    X(KeyMvtGxInf, "MVT gxInf", "gxInf : ", SectionMvt)                                                                \
    X(KeyMvtGySup, "MVT gySup", "gySup : ", SectionMvt)                                                                \
    X(KeyMvtGyInf, "MVT gyInf", "gyInf : ", SectionMvt)                                                                \
    X(KeyMvtGzSup, "MVT gzSup", "gzSup : ", SectionMvt)                                                                \
    X(KeyMvtGzInf, "MVT gzInf", "gzInf : ", SectionMvt)                                                                \
    X(KeyMvtActivity, "MVT activity", "activity : ", SectionMvt)                                                       \
    X(KeyMvtAdditionateActivity, "MVT additionateActivity", "additionateActivity : ", SectionMvt)                      \
    X(KeyMvtPeriodicActivity, "MVT periodicActivity", "periodicActivity : ", SectionMvt)                               \
    X(KeyMvtActivityResumePeriod, "MVT activityResumePeriod", "activityResumePeriod : ", SectionMvt)                   \
    X(KeyMvtTracking, "MVT tracking", "tracking : ", SectionMvt)                                                       \
    X(KeyMvtBurstMode, "MVT burstMode", "burstMode : ", SectionMvt)                                                    \
    X(KeyMvtMotionNbBurst, "MVT motionNbBurst", "motionNbBurst : ", SectionMvt)                                        \
    X(KeyMvtStillnessNbBurst, "MVT stillnessNbBurst", "stillnessNbBurst : ", SectionMvt)                               \
    X(KeyMvtFrameNbBeforeNextBurst, "MVT frameNbBeforeNextBurst", "frameNbBeforeNextBurst : ", SectionMvt)             \
    X(KeyMvtMotionPeriod, "MVT motionPeriod", "motionPeriod : ", SectionMvt)                                           \
    X(KeyMvtStillnessPeriod, "MVT stillnessPeriod", "stillnessPeriod : ", SectionMvt)                                  \
    X(KeyMvtLoraAtStartMvt, "MVT loraAtStartMvt", "loraAtStartMvt : ", SectionMvt)                                     \
    X(KeyMvtLoraAtStopMvt, "MVT loraAtStopMvt", "loraAtStopMvt : ", SectionMvt)                                        \
    X(KeyTempDelimiter, "TEMP delimiter", "------- TEMP -------", SectionTemp)                                         \
    X(KeyTempNbSavedValue, "TEMP nbSavedValue", "nbSavedValue : ", SectionTemp)                                        \
    X(KeyTempModeThreshold, "TEMP modeThreshold", "modeThreshold : ", SectionTemp)                                     \
    X(KeyTempMax, "TEMP max", "max : ", SectionTemp)                                                                   \
    X(KeyTempMin, "TEMP min", "min : ", SectionTemp)                                                                   \
    X(KeyTempDelta, "TEMP delta", "delta : ", SectionTemp)                                                             \
    X(KeyTempPeriod, "TEMP period", "period : ", SectionTemp)                                                          \
    X(KeyTempFastPeriod, "TEMP fastPeriod", "fastPeriod : ", SectionTemp)                                              \
    X(KeyTempUltraFastPeriod, "TEMP ultraFastPeriod", "ultraFastPeriod : ", SectionTemp)                               \
    X(KeyTempInhibition, "TEMP inhibition", "inhibition : ", SectionTemp)                                              \
    X(KeyTiltDelimiter, "TILT delimiter", "------- TILT -------", SectionTilt)                                         \
    X(KeyTiltMode, "TILT mode", "mode : ", SectionTilt)                                                                \
    X(KeyTiltPitch, "TILT pitch", "pitch : ", SectionTilt)                                                             \
    X(KeyTiltRoll, "TILT roll", "roll : ", SectionTilt)                                                                \
    X(KeyTiltThreshold, "TILT threshold", "threshold : ", SectionTilt)                                                 \
    X(KeyTiltMultipleAlertPeriod, "TILT multiple alert period", "alert : multiple (period : ", SectionTilt)            \
    X(KeyTiltPeriod, "TILT period", "period : ", SectionTilt)                                                          \
    X(KeyRotationDelimiter, "ROTATION delimiter", "------- ROTATION -------", SectionRotation)                         \
    X(KeyRotationLap, "ROTATION lap", "lap : ", SectionRotation)                                                       \
    X(KeyRotationMode, "ROTATION mode", "mode : ", SectionRotation)                                                    \
    X(KeyRotationThreshold, "ROTATION threshold", "threshold : ", SectionRotation)                                     \
    X(KeyRotationPeriod, "ROTATION period", "period : ", SectionRotation)                                              \
    X(KeyRotationResetLap, "ROTATION resetLap", "resetLap : ", SectionRotation)                                        \
    X(KeyOrientationDelimiter, "ORIENTATION delimiter", "------- ORIENTATION -------", SectionOrientation)             \
    X(KeyOrientationMode, "ORIENTATION mode", "mode : ", SectionOrientation)                                           \
    X(KeyOrientationPeriod, "ORIENTATION period", "period : ", SectionOrientation)                                     \
    X(KeyOrientationThreshold, "ORIENTATION threshold", "threshold : ", SectionOrientation)                            \
    X(KeyOrientationMesureLenght, "ORIENTATION mesureLenght", "mesureLenght : ", SectionOrientation)                   \
    X(KeyOrientationPitch, "ORIENTATION pitch", "pitch : ", SectionOrientation)                                        \
    X(KeyOrientationRoll, "ORIENTATION roll", "roll : ", SectionOrientation)                                           \
    X(KeyOrientationYaw, "ORIENTATION yaw", "yaw : ", SectionOrientation)                                              \
    X(KeyVibrationDelimiter, "VIBRATION delimiter", "------- VIBRATION -------", SectionVibration)                     \
    X(KeyVibrationAxeX, "VIBRATION Axe X", "Axe X : ", SectionVibration)                                               \
    X(KeyVibrationAxeY, "VIBRATION Axe Y", "Axe Y : ", SectionVibration)                                               \
    X(KeyVibrationAxeZ, "VIBRATION Axe Z", "Axe Z : ", SectionVibration)                                               \
    X(KeyVibrationPeriod, "VIBRATION period", "period : ", SectionVibration)                                           \
    X(KeyVibrationAmplitudeX, "VIBRATION amplitude_threshold_x", "amplitude_threshold_x : ", SectionVibration)         \
    X(KeyVibrationAmplitudeY, "VIBRATION amplitude_threshold_y", "amplitude_threshold_y : ", SectionVibration)         \
    X(KeyVibrationAmplitudeZ, "VIBRATION amplitude_threshold_z", "amplitude_threshold_z : ", SectionVibration)         \
    X(KeyVibrationFreqMax, "VIBRATION freq_max", "freq_max : ", SectionVibration)                                      \
    X(KeyVibrationFreqMin, "VIBRATION freq_min", "freq_min : ", SectionVibration)                                      \
    X(KeyEnd, "END", "\n------- -------- -------\n", SectionCommon)

#define PELKO_DUMP_KEY_INDEX(index, name, label, section) index,
enum DumpKeyIndex { PELKO_DUMP_KEYS(PELKO_DUMP_KEY_INDEX) kDumpKeyCount };
#undef PELKO_DUMP_KEY_INDEX
static_assert(KeyEnd == kDumpKeyCount - 1, "END closes the list");

extern const DumpKey dumpKeyTable[kDumpKeyCount];

// The last value read of every key, -1 while never read. Each device session
// keeps its own and never resets them: a key that a later dump lacks keeps
// what an earlier read found, and is applied again.
using DumpValues = std::array<int, kDumpKeyCount>;
DumpValues unreadDumpValues();

// Conversions from dump values to the form's positions.

// Index in the sampling-frequency lists ("0,24", "1", "2", "4", ... "500").
int frequencyIndexForHz(int hz);
// Index in the burst-number lists ("2", "3", "4").
int burstNumberIndex(int bursts);

#endif // PELKO_DUMPKEYTABLE_H
