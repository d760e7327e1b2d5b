#include "calc/consumption.h"

namespace {

// Reference lifetime that fills the progress bar: 100 % is 7.04857 years.
constexpr double kReferenceYears = 7.04857;
// Share of the nominal capacity the device can actually draw.
constexpr double kUsableShare = 0.95;

EnergyRecord record(float microAmps, float seconds)
{
    EnergyRecord r;
    r.microAmps = microAmps;
    r.seconds = seconds;
    r.hours = static_cast<float>(static_cast<double>(seconds) / 3600.0);
    return r;
}

struct AliveFigures
{
    float autoMicroAmps, autoSeconds, manualMicroAmps, manualSeconds;
};

// ALIVE frames measured at SF 7 to SF 12.
constexpr AliveFigures kAlive[6] = {
    {2540.0f, 2.6f, 1700.0f, 4.17f}, {2550.0f, 2.6f, 1750.0f, 4.18f},   {3620.0f, 2.81f, 2510.0f, 4.2f},
    {6330.0f, 2.9f, 4010.0f, 4.67f}, {10130.0f, 3.44f, 7430.0f, 4.74f}, {18100.0f, 3.71f, 12450.0f, 5.5f},
};

} // namespace

double EnergyRecord::charge() const
{
    return static_cast<double>(microAmps) / 1000.0 * static_cast<double>(hours);
}

bool ConsumptionInputs::operator==(const ConsumptionInputs &o) const
{
    return capacity == o.capacity && spreadingFactor == o.spreadingFactor && aliveAuto == o.aliveAuto &&
           aliveManual == o.aliveManual && shocks == o.shocks && shockFrequency == o.shockFrequency &&
           fastMotions == o.fastMotions && slowMotions == o.slowMotions && summaries == o.summaries &&
           motionFrequency == o.motionFrequency && tiltPeriodMs == o.tiltPeriodMs && threeAxes == o.threeAxes &&
           vibrationPeriod == o.vibrationPeriod && vibrationSends == o.vibrationSends;
}

QVector<DayShare> dayShares(const ConsumptionResults &r)
{
    if (!r.dayFits())
        return {};
    // A day of exactly 24 active hours may sum to a hair below no sleep.
    const auto share = [](const char *activity, float charge) {
        return DayShare{activity, qMax(0.0f, charge)};
    };
    return {share("ALIVE", r.alive), share("SHOCK", r.shock),         share("MOTION", r.motion),
            share("TILT", r.tilt),   share("VIBRATION", r.vibration), share("accelerometer", r.mpu),
            share("sleep", r.sleep)};
}

int ConsumptionModel::comboValue(const QString &text)
{
    return text.trimmed().toInt(); // 0 when the text is not a whole number
}

void ConsumptionModel::load(int spreadingFactor, int capacity)
{
    EnergyTable &t = m_table;
    if (spreadingFactor >= 7 && spreadingFactor <= 12) {
        const AliveFigures &a = kAlive[spreadingFactor - 7];
        t.aliveAuto = record(a.autoMicroAmps, a.autoSeconds);
        t.aliveManual = record(a.manualMicroAmps, a.manualSeconds);
    }
    if (spreadingFactor == 7) {
        t.shockFrame = record(1630.0f, 3.3f);
        t.motionSummary = record(2050.0f, 2.4f);
        t.vibrationEmission = record(0.0f, 0.0f);
    } else if (spreadingFactor == 12) {
        t.shockFrame = record(13650.0f, 5.7f);
        t.motionSummary = record(14550.0f, 5.3f);
        t.vibrationEmission = record(15000.0f, 5.0f);
    }
    if (fullyMeasured(spreadingFactor)) {
        // The same at both ends of the range: no radio involved.
        t.fastMotion = record(650.0f, 10.5f);
        t.slowMotion = record(160.0f, 15.0f);
        t.tiltMeasure = record(3500.0f, 0.006f);
        t.vibration3Axes = record(4750.0f, 0.5f);
        t.vibration2Axes = record(4625.0f, 0.5f);
        t.vibration1Axis = record(4500.0f, 0.5f);
    }
    t.mpuMicroAmps = 220.0f;
    t.mpuHoursPerHz = 0.048f; // 2 ms per sample: 172.8 s per day per Hz
    t.sleepMicroAmps = 40.0f;
    m_capacity = capacity;
}

ConsumptionResults ConsumptionModel::calculate(const ConsumptionInputs &in)
{
    load(in.spreadingFactor, in.capacity);
    const EnergyTable &t = m_table;
    ConsumptionResults r;

    const double na = in.aliveAuto;
    const double nm = in.aliveManual;
    const double ns = in.shocks;
    const double nf = in.fastMotions;
    const double nw = in.slowMotions;
    const double nr = in.summaries;
    const double nv = in.vibrationSends;
    const double axes3 = in.threeAxes ? 1.0 : 0.0;
    // A measure takes the 1-axis duration on top of the period.
    const double vibrationCycle = in.vibrationPeriod + static_cast<double>(t.vibration1Axis.seconds);

    r.alive = static_cast<float>(nm * t.aliveManual.charge() + na * t.aliveAuto.charge());

    if (fullyMeasured(in.spreadingFactor)) {
        r.shock = static_cast<float>(ns * t.shockFrame.charge());
        r.motion = static_cast<float>(nr * t.motionSummary.charge() + 24.0 * nf * t.fastMotion.charge() +
                                      24.0 * nw * t.slowMotion.charge());
        // 86 400 000 / Pt measures a day, each lasting the tilt measure.
        m_tiltHours = in.tiltPeriodMs != 0
                          ? static_cast<float>(24000.0 / in.tiltPeriodMs * static_cast<double>(t.tiltMeasure.seconds))
                          : 0.0f;
        r.tilt = static_cast<float>(static_cast<double>(m_tiltHours) * t.tiltMeasure.microAmps / 1000.0);
        r.vibration = static_cast<float>(
            axes3 * (86400.0 / vibrationCycle * t.vibration3Axes.charge() + nv * t.vibrationEmission.charge()));
    }
    // SF 8 to 11: nothing measured for these, and the tilt time of the last
    // fully measured calculation stands.
    r.tiltHours = m_tiltHours;

    // The MPU runs at the faster of the two algorithms' rates; the tilt
    // measure needs it at 16 Hz.
    const int fastest = qMax(comboValue(in.motionFrequency), comboValue(in.shockFrequency));
    float frequency = fastest == 0 ? 0.24f : static_cast<float>(fastest);
    if (m_tiltHours != 0.0f)
        frequency = 16.0f;
    r.mpuFrequency = frequency;
    const double f = frequency;

    r.mpu = static_cast<float>(static_cast<double>(t.mpuMicroAmps) / 1000.0 * f * t.mpuHoursPerHz);

    // Every activity counts with the table's current records, whatever the
    // spreading factor.
    const double activeHours = na * t.aliveAuto.hours + nm * t.aliveManual.hours + ns * t.shockFrame.hours +
                               24.0 * nf * t.fastMotion.hours + 24.0 * nw * t.slowMotion.hours +
                               nr * t.motionSummary.hours + static_cast<double>(m_tiltHours) +
                               axes3 * 86400.0 * t.vibration3Axes.hours / vibrationCycle +
                               nv * t.vibrationEmission.hours + static_cast<double>(t.mpuHoursPerHz) * f;

    r.activeHours = static_cast<float>(activeHours);
    if (!r.dayFits())
        return r;
    r.sleep = static_cast<float>((24.0 - activeHours) * t.sleepMicroAmps / 1000.0);

    const double total = static_cast<double>(r.sleep) + r.alive + r.shock + r.motion + r.tilt + r.vibration + r.mpu;
    r.mean = static_cast<float>(total / 24.0);
    r.hours = static_cast<float>(kUsableShare * m_capacity / r.mean);
    r.days = static_cast<float>(r.hours / 24.0);
    r.years = static_cast<float>(r.days / 365.25);

    // Checked before truncating: a lifetime beyond the reference (or without
    // end, when nothing is consumed) fills the bar rather than reaching the
    // integer conversion.
    const double percent = r.years / kReferenceYears * 100.0;
    if (percent >= 100.0)
        r.progress = 100;
    else if (percent > -1.0)
        r.progress = static_cast<int>(percent);
    return r;
}
