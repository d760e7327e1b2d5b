#ifndef PELKO_DUMPKEYTABLE_H
#define PELKO_DUMPKEYTABLE_H

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
    int decodedValue; // last value read; -1 while never read
};

constexpr int kDumpKeyCount = 92;

// Indexes into dumpKeyTable, for the keys whose values go into the form.
enum DumpKeyIndex {
    KeyCommonDelimiter = 0,
    KeyPelkoOrientation = 1,
    KeyAlertRepeatPeriod = 2,
    KeyEnableEventLog = 3,
    KeyNbAliveFrameBeforeLog = 4,
    KeyNbSecondBeforeStart = 5,
    KeyButtonDelay = 6,
    KeyMpuDelimiter = 7,
    KeyMpuMaxRange = 8,
    KeyAliveDelimiter = 9,
    KeyAliveModeRefresh = 10,
    KeyAliveNbSavedValue = 11,
    KeyAlivePeriod = 12,
    KeyShockDelimiter = 13,
    KeyShockFreq = 14,
    KeyShockGxSup = 15,
    KeyShockGxInf = 16,
    KeyShockGySup = 17,
    KeyShockGyInf = 18,
    KeyShockGzSup = 19,
    KeyShockGzInf = 20,
    KeyShockRemoveGravity = 21,
    KeyShockInhibition = 22,
    KeyShockInhibitionOff = 23,
    KeyShockEnableShockLog = 24,
    KeyShockNbAliveFrameBeforeShockLog = 25,
    KeyMvtDelimiter = 26,
    KeyMvtFreq = 27,
    KeyMvtSensitivity = 28,
    KeyMvtTimerX = 29,
    KeyMvtTimerY = 30,
    KeyMvtGxSup = 31,
    KeyMvtGxInf = 32,
    KeyMvtGySup = 33,
    KeyMvtGyInf = 34,
    KeyMvtGzSup = 35,
    KeyMvtGzInf = 36,
    KeyMvtActivity = 37,
    KeyMvtAdditionateActivity = 38,
    KeyMvtPeriodicActivity = 39,
    KeyMvtActivityResumePeriod = 40,
    KeyMvtTracking = 41,
    KeyMvtBurstMode = 42,
    KeyMvtMotionNbBurst = 43,
    KeyMvtStillnessNbBurst = 44,
    KeyMvtFrameNbBeforeNextBurst = 45,
    KeyMvtMotionPeriod = 46,
    KeyMvtStillnessPeriod = 47,
    KeyMvtLoraAtStartMvt = 48,
    KeyMvtLoraAtStopMvt = 49,
    KeyTempDelimiter = 50,
    KeyTempNbSavedValue = 51,
    KeyTempModeThreshold = 52,
    KeyTempMax = 53,
    KeyTempMin = 54,
    KeyTempDelta = 55,
    KeyTempPeriod = 56,
    KeyTempFastPeriod = 57,
    KeyTempUltraFastPeriod = 58,
    KeyTempInhibition = 59,
    KeyTiltDelimiter = 60,
    KeyTiltMode = 61,
    KeyTiltPitch = 62,
    KeyTiltRoll = 63,
    KeyTiltThreshold = 64,
    KeyTiltMultipleAlertPeriod = 65,
    KeyTiltPeriod = 66,
    KeyRotationDelimiter = 67,
    KeyRotationLap = 68,
    KeyRotationMode = 69,
    KeyRotationThreshold = 70,
    KeyRotationPeriod = 71,
    KeyRotationResetLap = 72,
    KeyOrientationDelimiter = 73,
    KeyOrientationMode = 74,
    KeyOrientationPeriod = 75,
    KeyOrientationThreshold = 76,
    KeyOrientationMesureLenght = 77,
    KeyOrientationPitch = 78,
    KeyOrientationRoll = 79,
    KeyOrientationYaw = 80,
    KeyVibrationDelimiter = 81,
    KeyVibrationAxeX = 82,
    KeyVibrationAxeY = 83,
    KeyVibrationAxeZ = 84,
    KeyVibrationPeriod = 85,
    KeyVibrationAmplitudeX = 86,
    KeyVibrationAmplitudeY = 87,
    KeyVibrationAmplitudeZ = 88,
    KeyVibrationFreqMax = 89,
    KeyVibrationFreqMin = 90,
    KeyEnd = 91,
};

// One table for the whole process. Values are never reset: a key that a later
// dump lacks keeps what an earlier read found, and is applied again.
extern DumpKey dumpKeyTable[kDumpKeyCount];

// Conversions from dump values to the form's positions.

// Index in the sampling-frequency lists ("0,24", "1", "2", "4", ... "500").
int frequencyIndexForHz(int hz);
// Position of the acceleration-range slider (1..4) for a range in g; values
// other than 2, 4, 8 and 16 are passed through for the slider to clamp.
int rangeSliderPositionForG(int g);
// Index in the burst-number lists ("2", "3", "4").
int burstNumberIndex(int bursts);

#endif // PELKO_DUMPKEYTABLE_H
