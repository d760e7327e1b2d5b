#include "logic/formrules.h"

#include <QtTest>

using namespace FormRules;

class FormRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void countStaysWithinZeroAndTheLimit();
    void refreshModesYieldToOrientationOnlyFrom1_9_3();
    void valuesOutsideTheControlsRangeAreHarmless();
};

void FormRulesTest::countStaysWithinZeroAndTheLimit()
{
    QCOMPARE(countAfter(1, 2, 2), 2);
    QCOMPARE(countAfter(2, 2, 2), 2);
    QCOMPARE(countAfter(0, 0, 2), 0);
    QCOMPARE(countAfter(2, 0, 2), 1);
    QCOMPARE(countAfter(1, 1, 2), 1);
    QCOMPARE(countAfter(7, 1, 2), 2); // whatever was stored
    QCOMPARE(countAfter(-3, 0, 2), 0);

    AlgoChecks checked;
    checked.tilt = true;
    checked.shock = true;
    const AlgoAvailability full = availability(2, 2, checked, 2.2f);
    QCOMPARE(full.tilt, Action::Leave);
    QCOMPARE(full.motion, Action::Disable);
    QCOMPARE(full.vibration, Action::Disable);
    QCOMPARE(full.aliveFrames, Action::Enable); // from 1.9.3 the frames never count
    QCOMPARE(availability(2, 2, checked, 1.92f).aliveFrames, Action::Disable);
    checked.aliveFrames = true;
    const AlgoAvailability one = availability(1, 2, checked, 1.92f);
    QCOMPARE(one.rotation, Action::Disable); // TILT holds it closed
    QCOMPARE(one.temperature, Action::Disable);
    QCOMPARE(availability(1, 2, checked, 1.93f).temperature, Action::Enable);
    QCOMPARE(countOf(checked, 1.92f, 2), 3); // overfull: the frames count up to 1.9.2
    QCOMPARE(countOf(checked, 1.93f, 2), 2);
    QCOMPARE(countOf(checked, 1.93f, 2, true), 3); // as the count starts on a newly identified 1.9.3
}

void FormRulesTest::refreshModesYieldToOrientationOnlyFrom1_9_3()
{
    ModeContext c;
    c.rivalHolds = c.rivalTicked = true;
    c.version = 1.92f;
    QCOMPARE(modeOnSwitchOn(c), Action::Leave);
    c.version = 1.93f;
    QCOMPARE(modeOnSwitchOn(c), Action::Disable);
    c.temperature = true;
    QCOMPARE(modeOnSwitchOn(c), Action::Leave);
    c.onMove = true;
    QCOMPARE(modeOnSwitchOn(c), Action::Disable);
    c.takenByShockOrMotion = true;
    QCOMPARE(modeOnSwitchOn(c), Action::Leave);
}

void FormRulesTest::valuesOutsideTheControlsRangeAreHarmless()
{
    QCOMPARE(rangeMaxMilliG(1), 2000);
    QCOMPARE(rangeMaxMilliG(4), 16000);
    QCOMPARE(rangeMaxMilliG(0), 0);
    QCOMPARE(rangeMaxMilliG(5), 0);
    QCOMPARE(snappedInhibition(-1), 0);
    QCOMPARE(snappedInhibition(65535), 65535);
    QVERIFY(burstNumbersFor(-1).motion && burstNumbersFor(-1).stillness);
}

QTEST_APPLESS_MAIN(FormRulesTest)
#include "tst_formrules.moc"
