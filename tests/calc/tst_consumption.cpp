#include "calc/consumption.h"

#include <QtTest>

#include <functional>
#include <tuple>

namespace {

// What the Calculator tab shows for the figures, blank-separated.
QString shown(std::initializer_list<float> values)
{
    QStringList figures;
    for (float value : values)
        figures << QString::number(value, 'g', 6);
    return figures.join(' ');
}

ConsumptionInputs day(const std::function<void(ConsumptionInputs &)> &describe)
{
    ConsumptionInputs in;
    describe(in);
    return in;
}

} // namespace

class ConsumptionTest : public QObject
{
    Q_OBJECT

private slots:
    void typicalDaysComeOutDigitForDigitWithTheMpuAtTheFasterRateOrAt16HzForTilt();
    void recordsAndTiltTimeCarryOverBetweenCalculations();
};

void ConsumptionTest::typicalDaysComeOutDigitForDigitWithTheMpuAtTheFasterRateOrAt16HzForTilt()
{
    // The first three days are the published examples (the third published
    // only its ALIVE, MPU, years and bar). Figures: alive, shock, motion, tilt,
    // vibration, mpu, sleep, mean, hours, days, years, and the active hours of
    // a day that does not fit; then the bar (-1: left alone).
    const std::tuple<const char *, ConsumptionInputs, QString, int> rows[] = {
        {"start values", {}, "0 0 0 0 0 0.0025344 0.959539 0.0400864 47397.6 1974.9 5.40698", 76},
        {"3 axes measure", day([](auto &in) { in.threeAxes = true; }),
         "0 0 0 0 5.42857 0.0025344 0.913825 0.264372 7186.84 299.452 0.819854", 11},
        {"SF 12, 24 automatic frames", day([](auto &in) { in.spreadingFactor = 12, in.aliveAuto = 24; }),
         "0.447673 0 0 0 0 0.0025344 0.95855 0.0586982 32368.9 1348.71 3.69256", 52},
        {"beyond a full bar", day([](auto &in) { in.capacity = 3200; }),
         "0 0 0 0 0 0.0025344 0.959539 0.0400864 75836.2 3159.84 8.65117", 100},
        // 2 ms per sample at 500 Hz fill the day exactly (24.0000002 h summed).
        {"a day of exactly 24 active hours", day([](auto &in) { in.shockFrequency = "500"; }),
         "0 0 0 0 0 5.28 -8.34465e-09 0.22 8636.36 359.848 0.985211", 13},
        // 25.2 + 36 + 0.01152 h: no sleep, no lifetime, no bar.
        {"more than a day of activity", day([](auto &in) { in.fastMotions = in.slowMotions = 360; }),
         "0 0 22.14 0 0 0.0025344 0 0 0 0 0 over 61.2115 h", -1},
        // At SF 10 the motions cost nothing but still fill the day.
        {"more than a day at SF 10",
         day([](auto &in) { in.spreadingFactor = 10, in.fastMotions = in.slowMotions = 360; }),
         "0 0 0 0 0 0.0025344 0 0 0 0 0 over 61.2115 h", -1},
    };
    // One model for all, as the tab keeps it: SF 10 measured no motion and
    // keeps the SF 7 motion records of the day before.
    ConsumptionModel model;
    for (const auto &[what, in, figures, bar] : rows) {
        const ConsumptionResults r = model.calculate(in);
        const QString over = r.dayFits() ? QString() : QStringLiteral(" over %1 h").arg(shown({r.activeHours}));
        QCOMPARE(
            shown({r.alive, r.shock, r.motion, r.tilt, r.vibration, r.mpu, r.sleep, r.mean, r.hours, r.days, r.years}) +
                over,
            figures);
        QVERIFY2(r.progress.value_or(-1) == bar, what);
    }

    // motion and shock sampling, tilt period, MPU charge
    const std::tuple<QString, QString, int, QString> mpuRows[] = {
        {"0,24", "0,24", 0, "0.0025344"},    {"0,24", "1", 0, "0.01056"},
        {"1", "0,24", 0, "0.01056"},         {"4", "7", 0, "0.07392"},
        {"500", "250", 0, "5.28"},           {"500", "0,24", 60000, "0.16896"},
        {"0,24", "0,24", 360000, "0.16896"},
    };
    for (const auto &[motion, shock, tiltPeriodMs, mpu] : mpuRows) {
        ConsumptionInputs in;
        in.motionFrequency = motion;
        in.shockFrequency = shock;
        in.tiltPeriodMs = tiltPeriodMs;
        QCOMPARE(shown({ConsumptionModel().calculate(in).mpu}), mpu);
    }
}

void ConsumptionTest::recordsAndTiltTimeCarryOverBetweenCalculations()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.shocks = 36;
    in.spreadingFactor = 12;
    in.tiltPeriodMs = 1000; // 86 400 measures of 6 ms: 0.144 h a day
    ConsumptionResults r = model.calculate(in);
    QCOMPARE(shown({r.tiltHours, r.tilt, r.shock}), QString("0.144 0.504 0.77805"));

    // SF 9 measures nothing but ALIVE: the SF 12 shock frame (5.7 s) and the
    // tilt time still count as active hours, though they cost nothing here.
    in.spreadingFactor = 9;
    in.tiltPeriodMs = 0;
    r = model.calculate(in);
    QCOMPARE(model.table().aliveAuto.microAmps, 3620.0f);
    // Still 16 Hz for the tilt; sleep is (24 - 0.144 - 0.768 - 0.057) x 0.04.
    QCOMPARE(shown({r.shock, r.tilt, r.tiltHours, r.mpu, r.sleep}), QString("0 0 0.144 0.16896 0.92124"));

    // Back at SF 7 the tilt period of 0 clears the tilt time, and the shock
    // frame is the SF 7 one again (3.3 s): sleep is (24 - 0.033 - 0.01152) x 0.04.
    in.spreadingFactor = 7;
    r = model.calculate(in);
    QCOMPARE(shown({r.tiltHours, r.mpuFrequency, r.shock, r.sleep}), QString("0 0.24 0.05379 0.958219"));
}

QTEST_APPLESS_MAIN(ConsumptionTest)
#include "tst_consumption.moc"
