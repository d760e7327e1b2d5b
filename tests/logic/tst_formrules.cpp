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
    const AlgoAvailability full = availability(2, 2, checked, false, 2.2f);
    QCOMPARE(full.tilt, Action::Leave);
    QCOMPARE(full.motion, Action::Disable);
    QCOMPARE(full.vibration, Action::Disable);
    const AlgoAvailability one = availability(1, 2, checked, true, 1.92f);
    QCOMPARE(one.rotation, Action::Leave); // TILT holds it closed
    QCOMPARE(one.temperature, Action::Leave);
    QCOMPARE(availability(1, 2, checked, true, 1.93f).temperature, Action::Enable);
}

void FormRulesTest::refreshModesYieldToOrientationOnlyFrom1_9_3()
{
    ModeContext c;
    c.orientation = true;
    c.orientRefresh = true;
    c.version = 1.92f;
    QCOMPARE(tiltOrRotationRefresh(c), Action::Leave);
    c.version = 1.93f;
    QCOMPARE(tiltOrRotationRefresh(c), Action::Disable);
    c.temperature = true;
    QCOMPARE(tiltOrRotationRefresh(c), Action::Leave);

    ModeContext s;
    s.shock = true;
    s.version = 1.9f;
    QCOMPARE(tiltOnMove(s), Action::Disable);
    s.version = 1.91f;
    QCOMPARE(tiltOnMove(s), Action::Enable);
    QCOMPARE(rotationOnMove(s), Action::Leave);
    QCOMPARE(orientationOnMove(s), Action::Leave);
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
