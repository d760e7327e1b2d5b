#include "calc/configurationday.h"

#include <QtGlobal>

namespace ConfigurationDay {

namespace {

// The calculator's automatic TILT period goes no further.
constexpr int kLongestTiltPeriodMs = 360000;
constexpr int kMostAliveFrames = 1440;

struct Reader
{
    const QVariantMap &form;
    bool has(const char *widget) const { return form.contains(QLatin1String(widget)); }
    bool on(const char *widget) const { return form.value(QLatin1String(widget)).toBool(); }
    int number(const char *widget) const { return form.value(QLatin1String(widget)).toInt(); }
    QString text(const char *widget) const { return form.value(QLatin1String(widget)).toString(); }
};

// A sampling rate of the form as the calculator's list names it: its SHOCK
// list calls the 8 Hz item "7", and the calculator reads the item's text.
QString sampling(const Reader &r, const char *box, const char *rate, const char *name, bool shockList, Day &day)
{
    if (!r.on(box)) {
        day.filled << QStringLiteral("%1 sampling 0,24 Hz (%1 off)").arg(QLatin1String(name));
        return QStringLiteral("0,24");
    }
    QString hz = r.text(rate);
    if (shockList && hz == QLatin1String("8")) {
        day.filled << QStringLiteral("SHOCK sampling 7 Hz (SHOCK's rate, 8 Hz: the calculator's list has no 8)");
        return QStringLiteral("7");
    }
    day.filled << QStringLiteral("%1 sampling %2 Hz (%1's rate)").arg(QLatin1String(name), hz);
    return hz;
}

} // namespace

Day fromForm(const QVariantMap &form, const ConsumptionInputs &user)
{
    const Reader r{form};
    Day day;
    day.inputs = user;
    ConsumptionInputs &in = day.inputs;

    if (r.has("xLoRaDefaultDR")) {
        // EU868: DR0 is SF 12 ... DR5 is SF 7.
        const int dr = qBound(0, r.number("xLoRaDefaultDR"), 5);
        in.spreadingFactor = 12 - dr;
        // With ADR on, the network moves the data rate from there.
        day.filled << QStringLiteral("SF %1 (default data rate DR%2%3)")
                          .arg(in.spreadingFactor)
                          .arg(dr)
                          .arg(r.on("rbADR_ON") ? QStringLiteral("; ADR on: the network may move it") : QString());
    } else {
        day.left << QStringLiteral("spreading factor");
    }

    // The VIBRATION block switches ALIVE's automatic frames off, whatever
    // ALIVE's box says.
    if (!r.on("cbAliveRefreshMode") || r.on("cbVibe")) {
        in.aliveAuto = 0;
        day.filled << (r.on("cbVibe") ? QStringLiteral("no automatic ALIVE frame (VIBRATION turns them off)")
                                      : QStringLiteral("no automatic ALIVE frame (ALIVE's automatic frames off)"));
    } else {
        const int period = qMax(1, r.number("xAlivePeriod"));
        in.aliveAuto = qBound(0, qRound(86400.0 / period), kMostAliveFrames);
        day.filled << QStringLiteral("%1 automatic ALIVE frames a day (ALIVE period %2 s%3)")
                          .arg(in.aliveAuto)
                          .arg(period)
                          .arg(86400 % period ? QStringLiteral(", rounded") : QString());
    }

    in.shockFrequency = sampling(r, "cbChoc", "cboChocFreq", "SHOCK", true, day);
    in.motionFrequency = sampling(r, "cbMvt", "cboMvtFreq", "MOTION", false, day);

    if (!r.on("cbTilt") || !r.on("cbTiltModeRefresh")) {
        in.tiltPeriodMs = 0;
        day.filled << (r.on("cbTilt") ? QStringLiteral("no TILT period (TILT's automatic measure off)")
                                      : QStringLiteral("no TILT period (TILT off)"));
    } else {
        const int period = r.number("xTiltPeriod");
        in.tiltPeriodMs = qMin(period, kLongestTiltPeriodMs);
        day.filled << (period > kLongestTiltPeriodMs
                           ? QStringLiteral("TILT every %1 ms (TILT's period, %2 ms: the calculator's longest)")
                                 .arg(in.tiltPeriodMs)
                                 .arg(period)
                           : QStringLiteral("TILT every %1 ms (TILT's period)").arg(period));
    }

    const int axes = int(r.on("cbVibeOnX")) + int(r.on("cbVibeOnY")) + int(r.on("cbVibeOnZ"));
    in.threeAxes = r.on("cbVibe") && axes > 0;
    if (!in.threeAxes) {
        day.filled << (r.on("cbVibe") ? QStringLiteral("no VIBRATION measure (no axis chosen)")
                                      : QStringLiteral("no VIBRATION measure (VIBRATION off)"));
    } else {
        in.vibrationPeriod = r.number("xVibrationPeriod");
        // The calculator knows the 3-axes measure only; fewer axes cost a little less.
        day.filled << QStringLiteral("VIBRATION every %1 s on 3 axes (VIBRATION's period%2)")
                          .arg(in.vibrationPeriod)
                          .arg(axes < 3 ? QStringLiteral("; its %1 axes counted as 3").arg(axes) : QString());
    }

    day.left << QStringLiteral("battery capacity") << QStringLiteral("manual ALIVE frames") << QStringLiteral("shocks")
             << QStringLiteral("fast and slow motions") << QStringLiteral("summaries")
             << QStringLiteral("vibration frames");
    return day;
}

QString describe(const Day &day)
{
    return QStringLiteral("From the configuration: %1. Left as you set them: %2.")
        .arg(day.filled.join(QLatin1String("; ")), day.left.join(QLatin1String(", ")));
}

QString fieldWords(const QString &widget)
{
    static const QVariantMap words{
        {QStringLiteral("cbAliveRefreshMode"), QStringLiteral("ALIVE's automatic frames")},
        {QStringLiteral("xAlivePeriod"), QStringLiteral("the ALIVE period")},
        {QStringLiteral("cbChoc"), QStringLiteral("whether SHOCK runs")},
        {QStringLiteral("cboChocFreq"), QStringLiteral("SHOCK's rate")},
        {QStringLiteral("cbMvt"), QStringLiteral("whether MOTION runs")},
        {QStringLiteral("cboMvtFreq"), QStringLiteral("MOTION's rate")},
        {QStringLiteral("cbTilt"), QStringLiteral("whether TILT runs")},
        {QStringLiteral("cbTiltModeRefresh"), QStringLiteral("TILT's automatic measure")},
        {QStringLiteral("xTiltPeriod"), QStringLiteral("TILT's period")},
        {QStringLiteral("cbVibe"), QStringLiteral("whether VIBRATION runs")},
        {QStringLiteral("cbVibeOnX"), QStringLiteral("VIBRATION's X axis")},
        {QStringLiteral("cbVibeOnY"), QStringLiteral("VIBRATION's Y axis")},
        {QStringLiteral("cbVibeOnZ"), QStringLiteral("VIBRATION's Z axis")},
        {QStringLiteral("xVibrationPeriod"), QStringLiteral("VIBRATION's period")},
        {QStringLiteral("xLoRaDefaultDR"), QStringLiteral("the default data rate")},
    };
    return words.value(widget).toString();
}

QString lifetimes(const ConsumptionResults &onDevice, const ConsumptionResults &withChanges)
{
    const auto years = [](const ConsumptionResults &r) {
        if (!r.dayFits())
            return QStringLiteral("no lifetime (more than a day of activity)");
        // Tenths of a year are as far as an estimate of this kind goes.
        return QStringLiteral("%1 years")
            .arg(QString::number(r.years, r.years < 1.0f ? 'g' : 'f', r.years < 1.0f ? 2 : 1));
    };
    return QStringLiteral("On the Pelko: %1; with these changes: %2.").arg(years(onDevice), years(withChanges));
}

} // namespace ConfigurationDay
