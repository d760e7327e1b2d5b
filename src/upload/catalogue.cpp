#include "catalogue.h"

#include "firmware/releases.h"

#include <cmath>
#include <limits>

namespace Upload {

namespace {

constexpr Step blockIf(Need need, const char *checkBox, const char *trace)
{
    return Step(Kind::BlockStart, nullptr, nullptr, checkBox).needs(need).traced(trace);
}
constexpr Step blockAlways()
{
    return Step(Kind::BlockStart, nullptr, nullptr, nullptr);
}
constexpr Step blockEnd(int progressAfter = -1)
{
    return Step(Kind::BlockEnd, nullptr, nullptr, nullptr).fixedNumber(progressAfter);
}
constexpr Step progress(int percent)
{
    return Step(Kind::Progress, nullptr, nullptr, nullptr).fixedNumber(percent);
}
constexpr Step value(const char *cmd, const char *key, const char *widget)
{
    return Step(Kind::Value, cmd, key, widget);
}
constexpr Step box(const char *cmd, const char *key, const char *widget)
{
    return Step(Kind::Checked, cmd, key, widget);
}
constexpr Step item(const char *cmd, const char *key, const char *widget)
{
    return Step(Kind::Item, cmd, key, widget);
}
constexpr Step seconds(const char *cmd, const char *key, const char *widget)
{
    return Step(Kind::Seconds, cmd, key, widget);
}
constexpr Step hundredths(const char *cmd, const char *key, const char *widget)
{
    return Step(Kind::Hundredths, cmd, key, widget);
}
constexpr Step fixed(const char *cmd, const char *key, int number)
{
    return Step(Kind::FixedValue, cmd, key, nullptr).fixedNumber(number);
}
// LoRa choices: each radio button of a pair sends its own text when checked.
constexpr Step lora(const char *key, const char *radio, const char *text)
{
    return Step(Kind::FixedText, "LORA SET", key, radio).fixedText(text).needs(Need::Checked);
}
constexpr Step loraText(const char *key, const char *lineEdit)
{
    return Step(Kind::Text, "LORA SET", key, lineEdit).with(NonEmptyText);
}

constexpr Need checked = Need::Checked;
constexpr Need enabled = Need::Enabled;
constexpr Need checkedAndEnabled = Need::CheckedAndEnabled;

} // namespace

const Step kCatalogue[] = {
    // Accelerometer, common parameters and the algorithm mask.
    blockAlways().with(AlgorithmPart),
    Step(Kind::Range, "MPU", "maxRange", "MPUmaxRange")
        .needs(checked, "cbAlive")
        .with(StopOnFailure)
        .traced("Set MPU maxRange"),
    box("MPU", "orientation", "rbPelkoStayUpright").onlyFrom(Gate::From1_9_1).with(StopOnFailure),
    box("ALGO", "enableEventLog", "cbEnableLog").onlyFrom(Gate::From2_2),
    value("ALGO", "nbAliveFrameBeforeLog", "xNbAliveFrameBeforeLog")
        .onlyFrom(Gate::From2_2)
        .needs(checked, "cbEnableLog"),
    value("ALGO", "nbSecondBeforeStart", "xNbSecondBeforeStart").onlyFrom(Gate::From2_2),
    value("ALGO", "buttonDelay", "xButtonDelay").onlyFrom(Gate::From2_2),
    Step(Kind::Mask, "ALGO", "", nullptr).with(StopOnFailure),
    blockEnd(),

    // ALIVE runs whenever its box is checked, enabled or not.
    blockIf(checked, "cbAlive", "Algo Alive Actif").with(AlgorithmPart),
    box("ALIVE", "modeRefresh", "cbAliveRefreshMode"),
    seconds("ALIVE", "period", "xAlivePeriod"),
    value("ALIVE", "nbSavedValue", "xAliveNbSavedValue"),
    blockEnd(10),

    blockIf(checkedAndEnabled, "cbChoc", "Algo Choc Actif").with(AlgorithmPart),
    item("CHOC", "freq", "cboChocFreq"),
    value("CHOC", "gxSup", "xChocGxSup"),
    value("CHOC", "gxInf", "xChocGxNeg"),
    value("CHOC", "gySup", "xChocGySup"),
    value("CHOC", "gyInf", "xChocGyNeg"),
    value("CHOC", "gzSup", "xChocGzSup"),
    value("CHOC", "gzInf", "xChocGzNeg"),
    value("CHOC", "inhibition", "xChocInhibition"),
    box("CHOC", "removeGravity", "cbChocRemoveGravity"),
    box("CHOC", "enableShockLog", "cbChocEnableShockLog").onlyFrom(Gate::From2_2),
    value("CHOC", "nbAliveFrameBeforeShockLog", "xChocNbAliveFrameBeforeShockLog")
        .onlyFrom(Gate::From2_2)
        .needs(checked, "cbChocEnableShockLog"),
    blockEnd(20),

    blockIf(checkedAndEnabled, "cbMvt", "Algo Mouvement Actif").with(AlgorithmPart),
    item("MVT", "freq", "cboMvtFreq"),
    value("MVT", "gxSup", "xMvtGxSup"),
    value("MVT", "gxInf", "xMvtGxNeg"),
    value("MVT", "gySup", "xMvtGySup"),
    value("MVT", "gyInf", "xMvtGyNeg"),
    value("MVT", "gzSup", "xMvtGzSup"),
    value("MVT", "gzInf", "xMvtGzNeg"),
    progress(25),
    value("MVT", "timerX", "xMvtTimerX"),
    value("MVT", "timerY", "xMvtTimerY"),
    value("MVT", "sensitivity", "xMvtSensitivity"),
    box("MVT", "loraAtStartMvt", "cbMvtLoraAtStartMvt").needs(enabled),
    // The start box decides for both: the form enables and disables them together.
    box("MVT", "loraAtStopMvt", "cbMvtLoraAtStopMvt").needs(enabled, "cbMvtLoraAtStartMvt"),
    box("MVT", "activity", "cbMvtActivity"),
    box("MVT", "additionateActivity", "cbMvtActivityAdditionate").needs(checked, "cbMvtActivity"),
    box("MVT", "periodicActivity", "cbMvtActivityRecap").needs(checked, "cbMvtActivity"),
    value("MVT", "activityResumePeriod", "xMvtActivityResumePeriod").needs(checked, "cbMvtActivity"),
    box("MVT", "tracking", "cbMvtTracking").onlyFrom(Gate::From2_1_1),
    item("MVT", "burstMode", "cboMvtTrackingBurstMode").onlyFrom(Gate::From2_1_1).needs(checked, "cbMvtTracking"),
    item("MVT", "motionNbBurst", "cboMvtTrackingBurstNumberMotion")
        .onlyFrom(Gate::From2_1_1)
        .needs(checked, "cbMvtTracking"),
    item("MVT", "stillnessNbBurst", "cboMvtTrackingBurstNumberStillness")
        .onlyFrom(Gate::From2_1_1)
        .needs(checked, "cbMvtTracking"),
    value("MVT", "frameNbBeforeNextBurst", "xMvtTrackingFrameNumberBeforeBurst")
        .onlyFrom(Gate::From2_1_1)
        .needs(checked, "cbMvtTracking"),
    value("MVT", "motionPeriod", "xMvtTrackingAlertPeriodMotion")
        .onlyFrom(Gate::From2_1_1)
        .needs(checked, "cbMvtTracking"),
    value("MVT", "stillnessPeriod", "xMvtTrackingAlertPeriodStillness")
        .onlyFrom(Gate::From2_1_1)
        .needs(checked, "cbMvtTracking"),
    blockEnd(30),

    blockIf(checkedAndEnabled, "cbTemp", "Algo Température Actif").with(AlgorithmPart),
    value("TEMP", "nbSavedValue", "xTempNbSavedValue"),
    box("TEMP", "modeThreshold", "cbTempModeThreshold"),
    hundredths("TEMP", "max", "xTempThetaMax"),
    hundredths("TEMP", "min", "xTempThetaMin"),
    hundredths("TEMP", "delta", "xTempDeltaTheta"),
    seconds("TEMP", "period", "xTempSlowPeriod"),
    value("TEMP", "fastPeriod", "xTempFastPeriod"),
    value("TEMP", "ultraFastPeriod", "xTempUltraFastPeriod"),
    value("TEMP", "inhibition", "xTempNbExcess"),
    blockEnd(40),

    blockIf(checkedAndEnabled, "cbTilt", "Algo Inclinaison Actif").with(AlgorithmPart),
    box("TILT", "modeRefresh", "cbTiltModeRefresh"),
    box("TILT", "modeOnMove", "cbTiltModeOnMove"),
    box("TILT", "zoneDetection", "cbTiltModeAlertZone").needs(enabled),
    box("TILT", "signedMeasure", "cbTiltModeSignedMeasure").needs(enabled),
    box("TILT", "alertMultiple", "cbTiltModeAlertMultiple").needs(enabled).with(ArmsAlertPeriod),
    value("TILT", "period", "xTiltPeriod").needs(checked, "cbTiltModeRefresh"),
    value("TILT", "threshold", "xTiltThreshold").needs(checked, "cbTiltModeOnMove"),
    value("TILT", "inhibition", "xTiltInhibition"),
    value("TILT", "pitch", "xTiltThresholdPitch"),
    value("TILT", "roll", "xTiltThresholdRoll"),
    blockEnd(50),

    blockIf(checkedAndEnabled, "cbRotation", "Algo Rotation Actif").with(AlgorithmPart),
    box("ROTATION", "modeRefresh", "cbRotationModeRefresh"),
    box("ROTATION", "modeOnMove", "cbRotationModeOnMove"),
    value("ROTATION", "period", "xRotationPeriod").needs(checked, "cbRotationModeRefresh"),
    value("ROTATION", "threshold", "xRotationThreshold").needs(checked, "cbRotationModeOnMove"),
    value("ROTATION", "lap", "xRotationNbLap"),
    box("ROTATION", "resetLap", "cbRotationResetLapButton"),
    blockEnd(60),

    blockIf(checkedAndEnabled, "cbOrient", "Algo Orientation Actif").with(AlgorithmPart),
    box("ORIENT", "modeRefresh", "cbOrientModeRefresh"),
    box("ORIENT", "modeOnMove", "cbOrientModeOnMove"),
    value("ORIENT", "period", "xOrientPeriod").needs(checked, "cbOrientModeRefresh"),
    value("ORIENT", "threshold", "xOrientThreshold").needs(checked, "cbOrientModeOnMove"),
    value("ORIENT", "mesureLength", "xOrientMesureLength"),
    value("ORIENT", "pitch", "xOrientThresholdPitch"),
    value("ORIENT", "roll", "xOrientThresholdRoll"),
    value("ORIENT", "yaw", "xOrientThresholdYaw"),
    blockEnd(70),

    // Vibration analysis needs the automatic ALIVE frames off, whatever the
    // form shows; it runs whenever its box is checked, enabled or not.
    blockIf(checked, "cbVibe", "Algo Vibration Actif").with(AlgorithmPart),
    fixed("ALIVE", "modeRefresh", 0),
    box("VIBE", "onX", "cbVibeOnX"),
    box("VIBE", "onY", "cbVibeOnY"),
    box("VIBE", "onZ", "cbVibeOnZ"),
    value("VIBE", "period", "xVibrationPeriod"),
    value("VIBE", "amplitudeX", "xVibrationAmplitudeX"),
    value("VIBE", "amplitudeY", "xVibrationAmplitudeY"),
    value("VIBE", "amplitudeZ", "xVibrationAmplitudeZ"),
    value("VIBE", "freqMin", "xVibrationFreqMin"),
    value("VIBE", "freqMax", "xVibrationFreqMax"),
    blockEnd(),

    blockAlways().with(AlgorithmPart),
    value("ALGO", "alertPeriod", "xAlgoPeriod").with(AlertPeriodPending),
    box("ALGO", "poweroff", "cbAllowPowerOFF").needs(enabled),
    fixed("SAVEPARAM", "ALGO", 0).with(OnlyWithoutError),
    blockEnd(),

    // LoRa network settings.
    blockAlways(),
    progress(80),
    lora("OTAA", "rbOTAA", "1"),
    lora("OTAA", "rbABP", "0"),
    loraText("DEVEUI", "leDevEUI").with(DevEuiUnlocked),
    progress(82),
    loraText("APPEUI", "leAppEUI"),
    loraText("APPKEY", "leAppKEY").with(AppKeyUnlocked | NotMaskedKey),
    progress(84),
    loraText("APPSKEY", "leAppSKEY").needs(checked, "rbABP"),
    progress(85).needs(checked, "rbABP"),
    loraText("NWKSKEY", "leNwkSKEY").needs(checked, "rbABP"),
    progress(86).needs(checked, "rbABP"),
    loraText("NWKID", "leNwkID").needs(checked, "rbABP"),
    progress(88).needs(checked, "rbABP"),
    loraText("DEVADDR", "leDevADDR").needs(checked, "rbABP"),
    progress(90),
    lora("ACK", "rbMessageConfirmed", "1"),
    lora("ACK", "rbMessageUnconfirmed", "0"),
    progress(92),
    lora("ADR", "rbADR_ON", "1"),
    lora("ADR", "rbADR_OFF", "0"),
    progress(94),
    value("LORA SET", "DEFAULT_DR", "xLoRaDefaultDR").onlyFrom(Gate::From1_9_1),
    progress(96),
    lora("PUBLICNETWORK", "rbPublicNetwork", "1"),
    lora("PUBLICNETWORK", "rbPrivateNetwork", "0"),
    progress(98),
    value("LORA SET", "JRERROR", "xJRErrorTimeout"),
    progress(99),
    fixed("SAVEPARAM", "LORA", 0).with(OnlyWithoutError),
    blockEnd(),
};

const std::size_t kCatalogueSize = sizeof(kCatalogue) / sizeof(kCatalogue[0]);

const char *const kStartTrace = "*----- Sending parameters to Pelko -----*";
const char *const kSuccessTrace = "*--------------- SUCCESS ---------------*";

const AlgorithmBit kAlgorithmBits[8] = {
    {1, "cbAlive"},   {2, "cbTemp"}, {4, "cbChoc"},       {8, "cbTilt"},
    {16, "cbOrient"}, {32, "cbMvt"}, {128, "cbRotation"}, {256, "cbVibe"},
};

int rangeFromSlider(int position)
{
    switch (position) {
    case 1:
        return 2;
    case 2:
        return 4;
    case 3:
        return 8;
    case 4:
        return 16;
    default:
        return 8;
    }
}

int secondsToMilliseconds(qint64 seconds)
{
    constexpr qint64 most = std::numeric_limits<int>::max() / 1000;
    constexpr qint64 least = std::numeric_limits<int>::min() / 1000;
    if (seconds > most)
        return std::numeric_limits<int>::max();
    if (seconds < least)
        return std::numeric_limits<int>::min();
    return static_cast<int>(seconds * 1000);
}

int toHundredths(double degrees)
{
    // The field shows two decimals. Narrowed to single precision as the
    // device keeps it, 0.70 is 0.69999999: rounding to the nearest hundredth
    // (not cutting the fraction) sends what the user sees, and a value read
    // back and written again stays the same.
    const double hundredths = static_cast<double>(static_cast<float>(degrees)) * 100.0;
    if (std::isnan(hundredths))
        return 0;
    const double rounded = std::round(hundredths);
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

int itemValue(const QString &item)
{
    bool ok = false;
    const int number = item.toInt(&ok, 10);
    return ok ? number : 0;
}

bool isMaskedAppKey(const QString &text)
{
    return text.contains(QLatin1String("XXXXXXXXXXXXXX"), Qt::CaseSensitive);
}

bool isSendableText(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

bool gatePasses(Gate gate, float firmwareVersion)
{
    switch (gate) {
    case Gate::None:
        return true;
    case Gate::From1_9_1:
        return Firmware::opens(firmwareVersion, Firmware::Feature::OrientationSetting); // and the default data rate
    case Gate::From2_1_1:
        return Firmware::opens(firmwareVersion, Firmware::Feature::MotionTracking);
    case Gate::From2_2:
        return Firmware::opens(firmwareVersion, Firmware::Feature::EventLog); // and the shock log
    }
    return false;
}

int algorithmMask(const std::function<BoxState(const char *checkBox)> &boxState)
{
    int mask = 0;
    for (const AlgorithmBit &algorithm : kAlgorithmBits) {
        const BoxState state = boxState(algorithm.checkBox);
        if (state.checked && state.enabled)
            mask |= algorithm.bit;
    }
    return mask;
}

bool isEmptyConfiguration(int mask, bool aliveFramesOn)
{
    return mask == 1 && !aliveFramesOn;
}

} // namespace Upload
