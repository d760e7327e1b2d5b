#include "catalogue.h"

#include "model/dumpkeytable.h"
#include "firmware/releases.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace Upload {

namespace {

using Firmware::Feature;

// An algorithm's block: it runs while its box is on, or merely checked for
// those that run while the limit closes their box.
constexpr Step blockOf(Model::AlgorithmIndex index)
{
    const Model::Algorithm &a = Model::kAlgorithms[index];
    return Step(Kind::BlockStart, nullptr, nullptr, a.checkBox)
        .needs(a.runsWhileClosed ? Need::Checked : Need::CheckedAndEnabled)
        .traced(a.trace)
        .with(AlgorithmPart);
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
constexpr Step value(const char *cmd, const char *key, const char *widget, int dump = -1)
{
    return Step(Kind::Value, cmd, key, widget).readBack(dump);
}
constexpr Step box(const char *cmd, const char *key, const char *widget, int dump = -1, int bit = 0)
{
    return Step(Kind::Checked, cmd, key, widget).readBack(dump, bit);
}
constexpr Step item(Kind kind, const char *cmd, const char *key, const char *widget, int dump)
{
    return Step(kind, cmd, key, widget).readBack(dump);
}
constexpr Step seconds(const char *cmd, const char *key, const char *widget, int dump)
{
    return Step(Kind::Seconds, cmd, key, widget).readBack(dump);
}
constexpr Step hundredths(const char *cmd, const char *key, const char *widget, int dump)
{
    return Step(Kind::Hundredths, cmd, key, widget).readBack(dump);
}
// A dump key that sets a widget without a command of its own.
constexpr Step readOnly(Kind kind, const char *widget, int dump, int number = -1)
{
    return Step(kind, nullptr, nullptr, widget).fixedNumber(number).readBack(dump).with(ReadBackOnly);
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
constexpr unsigned opens = OpensWithAlgorithm;
constexpr Need enabled = Need::Enabled;

} // namespace

// The six acceleration thresholds of SHOCK and MOTION: upper and lower, per axis.
// The form calls the lower ones "Neg", the device "Inf".
#define AXIS_THRESHOLDS(cmd, widget, key) /* NOLINT(bugprone-macro-parentheses) */                                     \
    value(cmd, "gxSup", widget "GxSup", key##GxSup).with(opens),                                                       \
        value(cmd, "gxInf", widget "GxNeg", key##GxInf).with(opens),                                                   \
        value(cmd, "gySup", widget "GySup", key##GySup).with(opens),                                                   \
        value(cmd, "gyInf", widget "GyNeg", key##GyInf).with(opens),                                                   \
        value(cmd, "gzSup", widget "GzSup", key##GzSup).with(opens),                                                   \
        value(cmd, "gzInf", widget "GzNeg", key##GzInf).with(opens)

// ROTATION and ORIENTATION: the refresh and on-move modes, each with the
// value it runs on.
#define REFRESH_AND_ON_MOVE(cmd, name, key) /* NOLINT(bugprone-macro-parentheses) */                                   \
    box(cmd, "modeRefresh", "cb" name "ModeRefresh", key##Mode, 1),                                                    \
        box(cmd, "modeOnMove", "cb" name "ModeOnMove", key##Mode, 2),                                                  \
        value(cmd, "period", "x" name "Period", key##Period).needs(checked, "cb" name "ModeRefresh"),                  \
        value(cmd, "threshold", "x" name "Threshold", key##Threshold).needs(checked, "cb" name "ModeOnMove")

const Step kCatalogue[] = {
    // Accelerometer, common parameters and the algorithm mask.
    blockAlways().with(AlgorithmPart),
    Step(Kind::Range, "MPU", "maxRange", "MPUmaxRange")
        .readBack(KeyMpuMaxRange)
        .needs(checked, "cbAlive")
        .with(StopOnFailure)
        .traced("Set MPU maxRange"),
    box("MPU", "orientation", "rbPelkoStayUpright", KeyPelkoOrientation)
        .onlyWith(Feature::OrientationSetting)
        .with(StopOnFailure | UprightUnlessRotating),
    box("ALGO", "enableEventLog", "cbEnableLog", KeyEnableEventLog).onlyWith(Feature::EventLog),
    value("ALGO", "nbAliveFrameBeforeLog", "xNbAliveFrameBeforeLog", KeyNbAliveFrameBeforeLog)
        .onlyWith(Feature::EventLog)
        .needs(checked, "cbEnableLog"),
    value("ALGO", "nbSecondBeforeStart", "xNbSecondBeforeStart", KeyNbSecondBeforeStart).onlyWith(Feature::EventLog),
    value("ALGO", "buttonDelay", "xButtonDelay", KeyButtonDelay).onlyWith(Feature::EventLog),
    Step(Kind::Mask, "ALGO", "", nullptr).with(StopOnFailure),
    blockEnd(),

    // ALIVE runs whenever its box is checked, enabled or not.
    blockOf(Model::Alive),
    box("ALIVE", "modeRefresh", "cbAliveRefreshMode", KeyAliveModeRefresh),
    seconds("ALIVE", "period", "xAlivePeriod", KeyAlivePeriod),
    value("ALIVE", "nbSavedValue", "xAliveNbSavedValue", KeyAliveNbSavedValue),
    blockEnd(10),

    blockOf(Model::Shock),
    item(Kind::Frequency, "CHOC", "freq", "cboChocFreq", KeyShockFreq).with(opens),
    AXIS_THRESHOLDS("CHOC", "xChoc", KeyShock),
    value("CHOC", "inhibition", "xChocInhibition", KeyShockInhibition).with(opens),
    // "inhibition disabled" in the dump: no inhibition at all.
    readOnly(Kind::FixedValue, "xChocInhibition", KeyShockInhibitionOff, 0),
    box("CHOC", "removeGravity", "cbChocRemoveGravity", KeyShockRemoveGravity).with(opens),
    box("CHOC", "enableShockLog", "cbChocEnableShockLog", KeyShockEnableShockLog).onlyWith(Feature::ShockLog),
    value("CHOC", "nbAliveFrameBeforeShockLog", "xChocNbAliveFrameBeforeShockLog", KeyShockNbAliveFrameBeforeShockLog)
        .onlyWith(Feature::ShockLog)
        .needs(checked, "cbChocEnableShockLog"),
    blockEnd(20),

    blockOf(Model::Motion),
    item(Kind::Frequency, "MVT", "freq", "cboMvtFreq", KeyMvtFreq).with(opens),
    AXIS_THRESHOLDS("MVT", "xMvt", KeyMvt),
    progress(25),
    value("MVT", "timerX", "xMvtTimerX", KeyMvtTimerX).with(opens),
    value("MVT", "timerY", "xMvtTimerY", KeyMvtTimerY).with(opens),
    value("MVT", "sensitivity", "xMvtSensitivity", KeyMvtSensitivity).with(opens),
    box("MVT", "loraAtStartMvt", "cbMvtLoraAtStartMvt", KeyMvtLoraAtStartMvt).needs(enabled).with(opens),
    // The start box decides for both: the form enables and disables them together.
    box("MVT", "loraAtStopMvt", "cbMvtLoraAtStopMvt", KeyMvtLoraAtStopMvt)
        .needs(enabled, "cbMvtLoraAtStartMvt")
        .with(opens),
    box("MVT", "activity", "cbMvtActivity", KeyMvtActivity).with(opens),
    box("MVT", "additionateActivity", "cbMvtActivityAdditionate", KeyMvtAdditionateActivity)
        .needs(checked, "cbMvtActivity"),
    box("MVT", "periodicActivity", "cbMvtActivityRecap", KeyMvtPeriodicActivity).needs(checked, "cbMvtActivity"),
    value("MVT", "activityResumePeriod", "xMvtActivityResumePeriod", KeyMvtActivityResumePeriod)
        .needs(checked, "cbMvtActivity"),
    box("MVT", "tracking", "cbMvtTracking", KeyMvtTracking).onlyWith(Feature::MotionTracking),
    item(Kind::Item, "MVT", "burstMode", "cboMvtTrackingBurstMode", KeyMvtBurstMode)
        .onlyWith(Feature::MotionTracking)
        .needs(checked, "cbMvtTracking"),
    item(Kind::BurstCount, "MVT", "motionNbBurst", "cboMvtTrackingBurstNumberMotion", KeyMvtMotionNbBurst)
        .onlyWith(Feature::MotionTracking)
        .needs(checked, "cbMvtTracking"),
    item(Kind::BurstCount, "MVT", "stillnessNbBurst", "cboMvtTrackingBurstNumberStillness", KeyMvtStillnessNbBurst)
        .onlyWith(Feature::MotionTracking)
        .needs(checked, "cbMvtTracking"),
    value("MVT", "frameNbBeforeNextBurst", "xMvtTrackingFrameNumberBeforeBurst", KeyMvtFrameNbBeforeNextBurst)
        .onlyWith(Feature::MotionTracking)
        .needs(checked, "cbMvtTracking"),
    value("MVT", "motionPeriod", "xMvtTrackingAlertPeriodMotion", KeyMvtMotionPeriod)
        .onlyWith(Feature::MotionTracking)
        .needs(checked, "cbMvtTracking"),
    value("MVT", "stillnessPeriod", "xMvtTrackingAlertPeriodStillness", KeyMvtStillnessPeriod)
        .onlyWith(Feature::MotionTracking)
        .needs(checked, "cbMvtTracking"),
    blockEnd(30),

    blockOf(Model::Temperature),
    value("TEMP", "nbSavedValue", "xTempNbSavedValue", KeyTempNbSavedValue).with(opens),
    box("TEMP", "modeThreshold", "cbTempModeThreshold", KeyTempModeThreshold, 2).with(opens),
    hundredths("TEMP", "max", "xTempThetaMax", KeyTempMax),
    hundredths("TEMP", "min", "xTempThetaMin", KeyTempMin),
    hundredths("TEMP", "delta", "xTempDeltaTheta", KeyTempDelta),
    seconds("TEMP", "period", "xTempSlowPeriod", KeyTempPeriod).with(opens),
    value("TEMP", "fastPeriod", "xTempFastPeriod", KeyTempFastPeriod),
    value("TEMP", "ultraFastPeriod", "xTempUltraFastPeriod", KeyTempUltraFastPeriod),
    value("TEMP", "inhibition", "xTempNbExcess", KeyTempInhibition),
    blockEnd(40),

    blockOf(Model::Tilt),
    box("TILT", "modeRefresh", "cbTiltModeRefresh", KeyTiltMode, 1),
    box("TILT", "modeOnMove", "cbTiltModeOnMove", KeyTiltMode, 2),
    box("TILT", "zoneDetection", "cbTiltModeAlertZone", KeyTiltMode, 16).needs(enabled),
    box("TILT", "signedMeasure", "cbTiltModeSignedMeasure", KeyTiltMode, 32).needs(enabled),
    box("TILT", "alertMultiple", "cbTiltModeAlertMultiple", KeyTiltMode, 8).needs(enabled).with(ArmsAlertPeriod),
    value("TILT", "period", "xTiltPeriod", KeyTiltPeriod).needs(checked, "cbTiltModeRefresh"),
    value("TILT", "threshold", "xTiltThreshold", KeyTiltThreshold).needs(checked, "cbTiltModeOnMove"),
    value("TILT", "inhibition", "xTiltInhibition").with(opens),
    value("TILT", "pitch", "xTiltThresholdPitch", KeyTiltPitch).with(opens),
    value("TILT", "roll", "xTiltThresholdRoll", KeyTiltRoll).with(opens),
    // TILT reports the alert period all algorithms share.
    readOnly(Kind::Value, "xAlgoPeriod", KeyTiltMultipleAlertPeriod),
    blockEnd(50),

    blockOf(Model::Rotation),
    REFRESH_AND_ON_MOVE("ROTATION", "Rotation", KeyRotation),
    value("ROTATION", "lap", "xRotationNbLap", KeyRotationLap).with(opens),
    box("ROTATION", "resetLap", "cbRotationResetLapButton", KeyRotationResetLap).with(opens),
    blockEnd(60),

    blockOf(Model::Orientation),
    REFRESH_AND_ON_MOVE("ORIENT", "Orient", KeyOrientation),
    value("ORIENT", "mesureLength", "xOrientMesureLength", KeyOrientationMesureLenght).with(opens),
    value("ORIENT", "pitch", "xOrientThresholdPitch", KeyOrientationPitch).with(opens),
    value("ORIENT", "roll", "xOrientThresholdRoll", KeyOrientationRoll).with(opens),
    value("ORIENT", "yaw", "xOrientThresholdYaw", KeyOrientationYaw).with(opens),
    blockEnd(70),

    // Vibration analysis needs the automatic ALIVE frames off, whatever the
    // form shows; it runs whenever its box is checked, enabled or not.
    blockOf(Model::Vibration),
    fixed("ALIVE", "modeRefresh", 0),
    box("VIBE", "onX", "cbVibeOnX", KeyVibrationAxeX).with(opens),
    box("VIBE", "onY", "cbVibeOnY", KeyVibrationAxeY).with(opens),
    box("VIBE", "onZ", "cbVibeOnZ", KeyVibrationAxeZ).with(opens),
    value("VIBE", "period", "xVibrationPeriod", KeyVibrationPeriod).with(opens),
    value("VIBE", "amplitudeX", "xVibrationAmplitudeX", KeyVibrationAmplitudeX).with(opens),
    value("VIBE", "amplitudeY", "xVibrationAmplitudeY", KeyVibrationAmplitudeY).with(opens),
    value("VIBE", "amplitudeZ", "xVibrationAmplitudeZ", KeyVibrationAmplitudeZ).with(opens),
    value("VIBE", "freqMin", "xVibrationFreqMin", KeyVibrationFreqMin).with(opens),
    value("VIBE", "freqMax", "xVibrationFreqMax", KeyVibrationFreqMax).with(opens),
    blockEnd(),

    blockAlways().with(AlgorithmPart),
    value("ALGO", "alertPeriod", "xAlgoPeriod", KeyAlertRepeatPeriod).with(AlertPeriodPending),
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
    value("LORA SET", "DEFAULT_DR", "xLoRaDefaultDR").onlyWith(Feature::DefaultDataRate),
    progress(96),
    lora("PUBLICNETWORK", "rbPublicNetwork", "1"),
    lora("PUBLICNETWORK", "rbPrivateNetwork", "0"),
    progress(98),
    value("LORA SET", "JRERROR", "xJRErrorTimeout"),
    progress(99),
    fixed("SAVEPARAM", "LORA", 0).with(OnlyWithoutError),
    blockEnd(),
};
#undef AXIS_THRESHOLDS
#undef REFRESH_AND_ON_MOVE

const std::size_t kCatalogueSize = sizeof(kCatalogue) / sizeof(kCatalogue[0]);

const char *const kStartTrace = "*----- Sending parameters to Pelko -----*";
const char *const kSuccessTrace = "*--------------- SUCCESS ---------------*";

const std::array<AlgorithmBit, Model::kAlgorithmCount> kAlgorithmBits = [] {
    std::array<AlgorithmBit, Model::kAlgorithmCount> bits{};
    for (int i = 0; i < Model::kAlgorithmCount; ++i)
        bits[i] = {Model::kAlgorithms[i].bit, Model::kAlgorithms[i].checkBox};
    std::sort(bits.begin(), bits.end(), [](const AlgorithmBit &a, const AlgorithmBit &b) { return a.bit < b.bit; });
    return bits;
}();

int rangeFromSlider(int position)
{
    return position >= 1 && position <= int(std::size(kRangesG)) ? kRangesG[position - 1] : 8;
}

int rangeSliderPositionForG(int g)
{
    for (int position = 1; position <= int(std::size(kRangesG)); ++position)
        if (kRangesG[position - 1] == g)
            return position;
    return g;
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

int secondsFromMilliseconds(int milliseconds)
{
    return milliseconds / 1000;
}

double fromHundredths(int hundredths)
{
    return hundredths / 100.0;
}

double formValue(const Step &step, int deviceValue)
{
    switch (step.kind) {
    case Kind::Value:
    case Kind::Item:
        return deviceValue;
    case Kind::Seconds:
        return secondsFromMilliseconds(deviceValue);
    case Kind::Hundredths:
        return fromHundredths(deviceValue);
    case Kind::Frequency:
        return frequencyIndexForHz(deviceValue);
    case Kind::BurstCount:
        return burstNumberIndex(deviceValue);
    case Kind::Range:
        return rangeSliderPositionForG(deviceValue);
    case Kind::Checked:
        return (step.bit ? (deviceValue & step.bit) : deviceValue) != 0 ? 1 : 0;
    case Kind::FixedValue:
        return step.number;
    default:
        return 0;
    }
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

bool gatePasses(Firmware::Feature gate, float firmwareVersion)
{
    return gate == Firmware::Feature::None || Firmware::opens(firmwareVersion, gate);
}

bool needMet(const Step &step, const FormState &form)
{
    if (step.need == Need::None)
        return true;
    const BoxState state = form(step.conditionWidget());
    switch (step.need) {
    case Need::None:
        return true;
    case Need::Checked:
        return state.checked;
    case Need::Enabled:
        return state.enabled;
    case Need::CheckedAndEnabled:
        return state.checked && state.enabled;
    }
    return false;
}

int algorithmMask(const std::function<BoxState(const char *checkBox)> &boxState)
{
    int mask = 0;
    for (const Model::Algorithm &algorithm : Model::kAlgorithms) {
        const BoxState state = boxState(algorithm.checkBox);
        if (state.checked && state.enabled)
            mask |= algorithm.bit;
    }
    return mask;
}

const QVector<const char *> &fieldsOpenedWith(Model::AlgorithmIndex algorithm)
{
    static const auto all = [] {
        std::array<QVector<const char *>, Model::kAlgorithmCount> fields;
        const char *box = nullptr; // of the block being walked
        for (const Step &step : kCatalogue) {
            if (step.kind == Kind::BlockStart)
                box = step.widget;
            for (int a = 0; a < Model::kAlgorithmCount; ++a)
                if ((step.flags & OpensWithAlgorithm) && box && qstrcmp(box, Model::kAlgorithms[a].checkBox) == 0)
                    fields[a] << step.widget;
        }
        return fields;
    }();
    return all[algorithm];
}

bool isEmptyConfiguration(int mask, bool aliveFramesOn)
{
    return mask == 1 && !aliveFramesOn;
}

QString settingName(const Step &step)
{
    if (step.kind == Kind::Mask)
        return QStringLiteral("algorithms");
    return QLatin1String(Model::groupOfCommand(step.cmd)) + QLatin1Char('.') + QLatin1String(step.key);
}

QString printable(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace Upload
