#include "calc/consumption.h"

#include <QtTest>

namespace {

// What the Calculator tab shows for a figure.
QString shown(float value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

Q_DECLARE_METATYPE(ConsumptionInputs)

class ConsumptionTest : public QObject
{
    Q_OBJECT

private slots:
    void publishedExamplesComeOutDigitForDigit_data();
    void publishedExamplesComeOutDigitForDigit();
    void recordsAndTiltTimeCarryOverBetweenCalculations();
    void mpuRunsAtTheFasterRateOrAt16HzForTilt_data();
    void mpuRunsAtTheFasterRateOrAt16HzForTilt();
    void moreThanADayOfActivityMakesSleepNegative();
    void lifetimeOutsideTheReferenceLeavesTheBarAlone();
};

void ConsumptionTest::publishedExamplesComeOutDigitForDigit_data()
{
    QTest::addColumn<ConsumptionInputs>("inputs");
    // alive, vibration, mpu, sleep, mean, hours, days, years; empty: not published
    QTest::addColumn<QStringList>("figures");
    QTest::addColumn<int>("progress");

    QTest::newRow("start values") << ConsumptionInputs() << QStringList{"0",         "0",       "0.0025344", "0.959539",
                                                                        "0.0400864", "47397.6", "1974.9",    "5.40698"}
                                  << 76;
    ConsumptionInputs threeAxes;
    threeAxes.threeAxes = true;
    QTest::newRow("3 axes measure") << threeAxes << QStringList{"0",        "5.42857", "0.0025344", "0.913825",
                                                                "0.264372", "7186.84", "299.452",   "0.819854"}
                                    << 11;
    ConsumptionInputs sf12;
    sf12.spreadingFactor = 12;
    sf12.aliveAuto = 24;
    QTest::newRow("SF 12, 24 automatic frames")
        << sf12 << QStringList{"0.447673", "0", "0.0025344", "", "", "", "", "3.69256"} << 52;
}

void ConsumptionTest::publishedExamplesComeOutDigitForDigit()
{
    QFETCH(ConsumptionInputs, inputs);
    QFETCH(QStringList, figures);
    QFETCH(int, progress);

    ConsumptionModel model;
    const ConsumptionResults r = model.calculate(inputs);
    QStringList got{shown(r.alive), shown(r.vibration), shown(r.mpu),  shown(r.sleep),
                    shown(r.mean),  shown(r.hours),     shown(r.days), shown(r.years)};
    for (int i = 0; i < figures.size(); ++i) {
        if (figures.at(i).isEmpty())
            got[i].clear();
    }
    QCOMPARE(got, figures);
    QCOMPARE(QStringList({shown(r.shock), shown(r.motion), shown(r.tilt)}), QStringList({"0", "0", "0"}));
    QCOMPARE(r.progress.value_or(-1), progress);
}

void ConsumptionTest::recordsAndTiltTimeCarryOverBetweenCalculations()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.shocks = 36;
    in.spreadingFactor = 12;
    in.tiltPeriodMs = 1000; // 86 400 measures of 6 ms: 0.144 h a day
    ConsumptionResults r = model.calculate(in);
    QCOMPARE(QStringList({shown(r.tiltHours), shown(r.tilt), shown(r.shock)}),
             QStringList({"0.144", "0.504", "0.77805"}));

    // SF 9 measures nothing but ALIVE: the SF 12 shock frame (5.7 s) and the
    // tilt time still count as active hours, though they cost nothing here.
    in.spreadingFactor = 9;
    in.tiltPeriodMs = 0;
    r = model.calculate(in);
    QCOMPARE(model.table().aliveAuto.microAmps, 3620.0f);
    QCOMPARE(QStringList({shown(r.shock), shown(r.tilt), shown(r.tiltHours), shown(r.mpu)}),
             QStringList({"0", "0", "0.144", "0.16896"})); // still 16 Hz for the tilt
    QCOMPARE(shown(r.sleep), QString("0.92124"));          // (24 - 0.144 - 0.768 - 0.057) x 0.04

    // Back at SF 7 the tilt period of 0 clears the tilt time, and the shock
    // frame is the SF 7 one again (3.3 s).
    in.spreadingFactor = 7;
    r = model.calculate(in);
    QCOMPARE(QStringList({shown(r.tiltHours), shown(r.mpuFrequency), shown(r.shock), shown(r.sleep)}),
             QStringList({"0", "0.24", "0.05379", "0.958219"})); // (24 - 0.033 - 0.01152) x 0.04
}

void ConsumptionTest::mpuRunsAtTheFasterRateOrAt16HzForTilt_data()
{
    QTest::addColumn<QString>("motion");
    QTest::addColumn<QString>("shock");
    QTest::addColumn<int>("tiltPeriodMs");
    QTest::addColumn<QString>("mpu");
    QTest::newRow("both at 0,24") << "0,24"
                                  << "0,24" << 0 << "0.0025344";
    QTest::newRow("0,24 and 1") << "0,24"
                                << "1" << 0 << "0.01056";
    QTest::newRow("1 and 0,24") << "1"
                                << "0,24" << 0 << "0.01056";
    QTest::newRow("shock list's 7") << "4"
                                    << "7" << 0 << "0.07392";
    QTest::newRow("motion 500 over shock 250") << "500"
                                               << "250" << 0 << "5.28";
    QTest::newRow("tilt lowers 500 to 16") << "500"
                                           << "0,24" << 60000 << "0.16896";
    QTest::newRow("tilt raises 0,24 to 16") << "0,24"
                                            << "0,24" << 360000 << "0.16896";
}

void ConsumptionTest::mpuRunsAtTheFasterRateOrAt16HzForTilt()
{
    QFETCH(QString, motion);
    QFETCH(QString, shock);
    QFETCH(int, tiltPeriodMs);
    QFETCH(QString, mpu);
    ConsumptionInputs in;
    in.motionFrequency = motion;
    in.shockFrequency = shock;
    in.tiltPeriodMs = tiltPeriodMs;
    ConsumptionModel model;
    QCOMPARE(shown(model.calculate(in).mpu), mpu);
}

void ConsumptionTest::moreThanADayOfActivityMakesSleepNegative()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.fastMotions = 360; // 25.2 h of fast motion a day
    in.slowMotions = 360; // and 36 h of slow motion
    const ConsumptionResults r = model.calculate(in);
    // Nothing is clamped: (22.14 - 1.48846 + 0.0025344) / 24.
    QCOMPARE(QStringList({shown(r.sleep), shown(r.motion), shown(r.mean)}),
             QStringList({"-1.48846", "22.14", "0.860586"}));
}

void ConsumptionTest::lifetimeOutsideTheReferenceLeavesTheBarAlone()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.capacity = 3200; // 8.65 years, beyond the 7.04857 of a full bar
    ConsumptionResults r = model.calculate(in);
    QCOMPARE(shown(r.years), QString("8.65117"));
    QVERIFY(!r.progress.has_value());

    // At SF 10 the motions cost nothing but still fill the day: no usable
    // lifetime, and no bar position.
    in.capacity = 2000;
    in.spreadingFactor = 10;
    in.fastMotions = 360;
    in.slowMotions = 360;
    r = model.calculate(in);
    QVERIFY(r.mean < 0.0f);
    QVERIFY(!r.progress.has_value());
}

QTEST_APPLESS_MAIN(ConsumptionTest)
#include "tst_consumption.moc"
