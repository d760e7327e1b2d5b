#ifndef PELKO_CONSUMPTION_H
#define PELKO_CONSUMPTION_H

#include <QString>
#include <QVector>

#include <optional>

// Battery lifetime of a typical day of the device, from measured figures of
// each kind of event. The figures are the firmware team's measurements and
// are kept in single precision, as are the results: the figures the user sees
// must match the reference calculation digit for digit.

// One measured event: mean current and duration.
struct EnergyRecord
{
    float microAmps = 0.0f;
    float seconds = 0.0f;
    float hours = 0.0f; // seconds / 3600, rounded to single precision

    // Charge of one event, in mAh.
    double charge() const;
};

// The measured figures. Only SF 7 and SF 12 have been measured for every
// record; SF 8 to 11 only for the two ALIVE frames, so the other records keep
// whatever the last SF 7 or SF 12 load wrote.
struct EnergyTable
{
    EnergyRecord aliveAuto;
    EnergyRecord aliveManual;
    EnergyRecord shockFrame;
    EnergyRecord motionSummary;
    EnergyRecord vibrationEmission;
    EnergyRecord fastMotion;
    EnergyRecord slowMotion;
    EnergyRecord tiltMeasure;
    EnergyRecord vibration3Axes;
    EnergyRecord vibration2Axes;
    EnergyRecord vibration1Axis;
    float mpuMicroAmps = 0.0f;
    float mpuHoursPerHz = 0.0f; // active hours per day for each Hz of sampling
    float sleepMicroAmps = 0.0f;
};

// What the user describes on the Calculator tab.
struct ConsumptionInputs
{
    int capacity = 2000; // mAh
    int spreadingFactor = 7;
    int aliveAuto = 0;                                // automatic ALIVE frames per day
    int aliveManual = 0;                              // manual ALIVE frames per day
    int shocks = 0;                                   // shocks sent per day
    QString shockFrequency = QStringLiteral("0,24");  // combo text, Hz
    int fastMotions = 0;                              // 10 s fast motions per hour
    int slowMotions = 0;                              // 10 s slow motions per hour
    int summaries = 0;                                // motion summaries per day
    QString motionFrequency = QStringLiteral("0,24"); // combo text, Hz
    int tiltPeriodMs = 0;                             // 0: no automatic tilt measure
    bool threeAxes = false;                           // vibration measured on 3 axes
    int vibrationPeriod = 10;                         // s between two vibration measures
    int vibrationSends = 0;                           // vibration frames sent per day

    bool operator==(const ConsumptionInputs &o) const;
    bool operator!=(const ConsumptionInputs &o) const { return !(*this == o); }
};

struct ConsumptionResults
{
    // Charge per day, mAh.
    float alive = 0.0f;
    float shock = 0.0f;
    float motion = 0.0f;
    float tilt = 0.0f;
    float vibration = 0.0f;
    float mpu = 0.0f;
    float sleep = 0.0f;
    float activeHours = 0.0f;  // h per day the described activities take
    float tiltHours = 0.0f;    // tilt active time, h per day
    float mpuFrequency = 0.0f; // Hz
    float mean = 0.0f;         // mAh per hour
    float hours = 0.0f;
    float days = 0.0f;
    float years = 0.0f;
    // Percentage of the reference lifetime, 100 for any lifetime beyond it;
    // empty when the lifetime is no number, and the bar keeps what it showed.
    std::optional<int> progress;

    // Activities that take more than a day leave no time asleep: such a day
    // has no sleep, mean, lifetime or bar (all 0 or empty). Compared in single
    // precision, so a day of exactly 24 h summed as 24.0000002 still fits.
    bool dayFits() const { return activeHours <= 24.0f; }
};

// One activity's charge of the day, for a picture of where it goes.
struct DayShare
{
    const char *activity;
    float charge; // mAh, never below 0
};
// ALIVE, SHOCK, MOTION, TILT, VIBRATION, the accelerometer and sleep; none for
// a day the activities over-fill.
QVector<DayShare> dayShares(const ConsumptionResults &r);

class ConsumptionModel
{
public:
    // Integer value of a combo text; "0,24" and anything else that is not a
    // whole number count as 0.
    static int comboValue(const QString &text);
    // Only these spreading factors have every record measured.
    static bool fullyMeasured(int spreadingFactor) { return spreadingFactor == 7 || spreadingFactor == 12; }

    // Writes the records of that spreading factor (see EnergyTable) and the
    // constants, and keeps the battery capacity.
    void load(int spreadingFactor, int capacity);
    // Loads the table for the inputs, then computes the day.
    ConsumptionResults calculate(const ConsumptionInputs &in);

    const EnergyTable &table() const { return m_table; }
    // Tilt active time of the last SF 7 or SF 12 calculation.
    float tiltHours() const { return m_tiltHours; }
    int capacity() const { return m_capacity; }

private:
    EnergyTable m_table;
    float m_tiltHours = 0.0f;
    int m_capacity = 0;
};

#endif // PELKO_CONSUMPTION_H
