#include "calc/consumption.h"

#include <QtTest>

namespace {

// What the Calculator tab shows for a figure.
QString shown(float value)
{
    return QString::number(value, 'g', 6);
}

ConsumptionInputs startValues()
{
    return ConsumptionInputs();
}

} // namespace

Q_DECLARE_METATYPE(ConsumptionInputs)

class ConsumptionTest : public QObject
{
    Q_OBJECT

private slots:
    void publishedExamplesComeOutDigitForDigit_data();
    void publishedExamplesComeOutDigitForDigit();
    void spreadingFactorsWithoutMeasuresKeepTheLastFullLoad();
    void recordsAndTiltTimeCarryOverBetweenCalculations();
    void mpuRunsAtTheFasterOfBothRates_data();
    void mpuRunsAtTheFasterOfBothRates();
    void automaticTiltForcesTheMpuTo16Hz();
    void moreThanADayOfActivityMakesSleepNegative();
    void lifetimeBeyondTheReferenceLeavesTheBarAlone();
};

void ConsumptionTest::publishedExamplesComeOutDigitForDigit_data()
{
    QTest::addColumn<ConsumptionInputs>("inputs");
    // alive, vibration, mpu, sleep, mean, hours, days, years; empty: not published
    QTest::addColumn<QStringList>("figures");
    QTest::addColumn<int>("progress");

    QTest::newRow("start values") << startValues()
                                  << QStringList{"0", "0", "0.0025344", "0.959539", "0.0400864", "47397.6", "1974.9",
                                                 "5.40698"}
                                  << 76;

    ConsumptionInputs threeAxes;
    threeAxes.threeAxes = true;
    QTest::newRow("3 axes measure") << threeAxes
                                    << QStringList{"0", "5.42857", "0.0025344", "0.913825", "0.264372", "7186.84",
                                                   "299.452", "0.819854"}
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
    QStringList got{shown(r.alive), shown(r.vibration), shown(r.mpu), shown(r.sleep),
                    shown(r.mean), shown(r.hours), shown(r.days), shown(r.years)};
    for (int i = 0; i < figures.size(); ++i) {
        if (figures.at(i).isEmpty())
            got[i].clear();
    }
    QCOMPARE(got, figures);
    QCOMPARE(shown(r.shock), QString("0"));
    QCOMPARE(shown(r.motion), QString("0"));
    QCOMPARE(shown(r.tilt), QString("0"));
    QVERIFY(r.progress.has_value());
    QCOMPARE(*r.progress, progress);
}

void ConsumptionTest::spreadingFactorsWithoutMeasuresKeepTheLastFullLoad()
{
    ConsumptionModel model;
    model.load(0, 2000);
    QCOMPARE(model.table().aliveAuto.microAmps, 0.0f);
    QCOMPARE(model.table().sleepMicroAmps, 40.0f);
    QCOMPARE(model.table().mpuMicroAmps, 220.0f);

    model.load(12, 3200);
    model.load(9, 2000);
    QCOMPARE(model.table().aliveAuto.microAmps, 3620.0f);
    QCOMPARE(model.table().aliveManual.seconds, 4.2f);
    QCOMPARE(model.table().shockFrame.microAmps, 13650.0f);
    QCOMPARE(model.table().vibrationEmission.seconds, 5.0f);
    QCOMPARE(model.capacity(), 2000);

    model.load(13, 1600); // no such column: only the constants and the capacity
    QCOMPARE(model.table().aliveAuto.microAmps, 3620.0f);
    QCOMPARE(model.capacity(), 1600);

    model.load(7, 2000);
    QCOMPARE(model.table().shockFrame.microAmps, 1630.0f);
    QCOMPARE(model.table().vibrationEmission.microAmps, 0.0f);
    QCOMPARE(model.table().aliveAuto.hours, static_cast<float>(2.6f / 3600.0));
}

void ConsumptionTest::recordsAndTiltTimeCarryOverBetweenCalculations()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.shocks = 36;

    in.spreadingFactor = 12;
    in.tiltPeriodMs = 1000; // 86 400 measures of 6 ms: 0.144 h a day
    ConsumptionResults r = model.calculate(in);
    QCOMPARE(shown(r.tiltHours), QString("0.144"));
    QCOMPARE(shown(r.tilt), QString("0.504"));
    QCOMPARE(shown(r.shock), QString("0.77805"));
    QCOMPARE(r.mpuFrequency, 16.0f);

    // SF 9 measures nothing but ALIVE: the SF 12 shock frame (5.7 s) and the
    // tilt time still count as active hours, though they cost nothing here.
    in.spreadingFactor = 9;
    in.tiltPeriodMs = 0;
    r = model.calculate(in);
    QCOMPARE(shown(r.shock), QString("0"));
    QCOMPARE(shown(r.tilt), QString("0"));
    QCOMPARE(shown(r.tiltHours), QString("0.144"));
    QCOMPARE(r.mpuFrequency, 16.0f);
    QCOMPARE(shown(r.mpu), QString("0.16896"));
    QCOMPARE(shown(r.sleep), QString("0.92124")); // (24 - 0.144 - 0.768 - 0.057) x 0.04

    // Back at SF 7 the tilt period of 0 clears the tilt time.
    in.spreadingFactor = 7;
    r = model.calculate(in);
    QCOMPARE(r.tiltHours, 0.0f);
    QCOMPARE(shown(r.mpuFrequency), QString("0.24"));
    QCOMPARE(shown(r.shock), QString("0.05379"));
    QCOMPARE(shown(r.sleep), QString("0.958219")); // (24 - 0.033 - 0.01152) x 0.04
}

void ConsumptionTest::mpuRunsAtTheFasterOfBothRates_data()
{
    QTest::addColumn<QString>("motion");
    QTest::addColumn<QString>("shock");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("mpu");
    QTest::newRow("both at 0,24") << "0,24" << "0,24" << "0.24" << "0.0025344";
    QTest::newRow("0,24 and 1") << "0,24" << "1" << "1" << "0.01056";
    QTest::newRow("1 and 0,24") << "1" << "0,24" << "1" << "0.01056";
    QTest::newRow("shock list's 7") << "4" << "7" << "7" << "0.07392";
    QTest::newRow("motion 500 over shock 250") << "500" << "250" << "500" << "5.28";
}

void ConsumptionTest::mpuRunsAtTheFasterOfBothRates()
{
    QFETCH(QString, motion);
    QFETCH(QString, shock);
    QFETCH(QString, frequency);
    QFETCH(QString, mpu);
    ConsumptionInputs in;
    in.motionFrequency = motion;
    in.shockFrequency = shock;
    ConsumptionModel model;
    const ConsumptionResults r = model.calculate(in);
    QCOMPARE(shown(r.mpuFrequency), frequency);
    QCOMPARE(shown(r.mpu), mpu);
}

void ConsumptionTest::automaticTiltForcesTheMpuTo16Hz()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.tiltPeriodMs = 60000;
    in.motionFrequency = "500";
    in.shockFrequency = "0,24";
    ConsumptionResults r = model.calculate(in);
    QCOMPARE(r.mpuFrequency, 16.0f);
    QCOMPARE(shown(r.tiltHours), QString("0.0024"));

    in.motionFrequency = "0,24";
    r = model.calculate(in);
    QCOMPARE(r.mpuFrequency, 16.0f);
}

void ConsumptionTest::moreThanADayOfActivityMakesSleepNegative()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.fastMotions = 360; // 25.2 h of fast motion a day
    in.slowMotions = 360; // and 36 h of slow motion
    const ConsumptionResults r = model.calculate(in);
    QCOMPARE(shown(r.sleep), QString("-1.48846"));
    QCOMPARE(shown(r.motion), QString("22.14"));
    // Nothing is clamped: the negative sleep lowers the mean, (22.14 - 1.48846 + 0.0025344) / 24.
    QCOMPARE(shown(r.mean), QString("0.860586"));
}

void ConsumptionTest::lifetimeBeyondTheReferenceLeavesTheBarAlone()
{
    ConsumptionModel model;
    ConsumptionInputs in;
    in.capacity = 3200; // 8.65 years, beyond the 7.04857 of a full bar
    ConsumptionResults r = model.calculate(in);
    QCOMPARE(shown(r.years), QString("8.65117"));
    QVERIFY(!r.progress.has_value());

    // A day whose activity outweighs it gives no usable lifetime either.
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
