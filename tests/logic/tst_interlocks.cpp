#include "debuglog.h"
#include "formdriver.h"

#include <QComboBox>
#include <QSpinBox>
#include <QtTest>

class InterlocksTest : public QObject
{
    Q_OBJECT

private slots:
    void rangeSliderCapsEveryAccelerationThreshold();
    void inhibitionIsOffOrAtLeastFifty_data();
    void inhibitionIsOffOrAtLeastFifty();
    void joinModeOpensOnlyItsOwnKeys();
    void trackingAndMotionDurationExcludeEachOther();
    void burstModeChoosesTheBurstNumbers();
    void logPeriodFollowsItsLogBox();
    void temperatureAlertFieldsFollowThresholdMode();
    void aliveFramesTradePlacesWithTemperatureUpTo1_9_2_data();
    void aliveFramesTradePlacesWithTemperatureUpTo1_9_2();
    void orientationModesCloseTheSameModeOfTiltAndRotation();
    void orientationWithBothModesClosesTiltAndRotation();
};

static const char *const kThresholds[] = {"xChocGxSup", "xChocGxNeg", "xChocGySup", "xChocGyNeg",
                                          "xChocGzSup", "xChocGzNeg", "xMvtGxSup",  "xMvtGxNeg",
                                          "xMvtGySup",  "xMvtGyNeg",  "xMvtGzSup",  "xMvtGzNeg"};

void InterlocksTest::rangeSliderCapsEveryAccelerationThreshold()
{
    DebugLog log;
    FormDriver form;
    int i = 0;
    for (const char *name : kThresholds) {
        auto *box = form.get<QSpinBox>(name);
        QCOMPARE(box->maximum(), 15999); // the form's own until the slider moves
        box->setValue(i++ % 2 ? 15000 : 1500);
    }
    auto *range = form.get<QSlider>("MPUmaxRange");
    range->setValue(1);
    QVERIFY(log.contains("MPUmaxRange: value changed to 1"));
    i = 0;
    for (const char *name : kThresholds) {
        auto *box = form.get<QSpinBox>(name);
        QCOMPARE(box->maximum(), 2000);
        QCOMPARE(box->value(), i++ % 2 ? 2000 : 1500);
    }
    range->setValue(2);
    QCOMPARE(form.get<QSpinBox>("xMvtGzNeg")->maximum(), 4000);
    range->setValue(4);
    for (const char *name : kThresholds) {
        QCOMPARE(form.get<QSpinBox>(name)->maximum(), 16000);
        QVERIFY(form.get<QSpinBox>(name)->value() <= 2000); // widening gives nothing back
    }
}

void InterlocksTest::inhibitionIsOffOrAtLeastFifty_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("shown");
    QTest::newRow("30 drops to 0") << 150 << 30 << 0;
    QTest::newRow("a step up from 0 jumps to 50") << 0 << 1 << 50;
    QTest::newRow("a step down from 50 drops to 0") << 50 << 49 << 0;
    QTest::newRow("50 stays") << 150 << 50 << 50;
    QTest::newRow("150 stays") << 50 << 150 << 150;
}

void InterlocksTest::inhibitionIsOffOrAtLeastFifty()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, shown);
    FormDriver form("2.2");
    form.click("cbChoc");
    auto *box = form.get<QSpinBox>("xChocInhibition");
    QVERIFY(box->isEnabled());
    box->setValue(from);
    box->setValue(to);
    QCOMPARE(box->value(), shown);
}

void InterlocksTest::joinModeOpensOnlyItsOwnKeys()
{
    DebugLog log;
    FormDriver form;
    const char *abpKeys[] = {"leAppSKEY", "leNwkSKEY", "leNwkID", "leDevADDR"};
    form.click("rbABP");
    QVERIFY(form.checked("rbABP") && !form.checked("rbOTAA"));
    QVERIFY(log.contains("on_rbABP_clicked"));
    for (const char *key : abpKeys)
        QVERIFY2(form.enabled(key), key);
    QVERIFY(!form.enabled("leAppKEY"));

    form.click("rbOTAA");
    QVERIFY(form.checked("rbOTAA") && !form.checked("rbABP"));
    for (const char *key : abpKeys)
        QVERIFY2(!form.enabled(key), key);
    QVERIFY(form.enabled("leAppKEY"));
}

void InterlocksTest::trackingAndMotionDurationExcludeEachOther()
{
    FormDriver form("2.2");
    const char *startStop[] = {"cbMvtLoraAtStartMvt", "cbMvtLoraAtStopMvt", "tMvtLoraAtStartMvt", "tMvtLoraAtStopMvt"};
    form.click("cbMvt");
    QVERIFY(form.enabled("cbMvtTracking") && form.enabled("cbMvtActivity"));
    QVERIFY(!form.enabled("cboMvtTrackingBurstMode"));

    form.click("cbMvtTracking");
    QVERIFY(!form.enabled("cbMvtActivity") && !form.enabled("cbMvtActivityRecap"));
    for (const char *box : startStop)
        QVERIFY2(!form.enabled(box), box);
    QVERIFY(form.enabled("cboMvtTrackingBurstMode") && form.enabled("xMvtTrackingAlertPeriodStillness"));

    form.click("cbMvtTracking");
    QVERIFY(form.enabled("cbMvtActivity") && !form.enabled("cboMvtTrackingBurstMode"));
    for (const char *box : startStop)
        QVERIFY2(form.enabled(box), box);

    form.click("cbMvtActivity");
    QVERIFY(!form.enabled("cbMvtTracking"));
    QVERIFY(form.enabled("cbMvtActivityRecap") && form.enabled("cbMvtActivityAdditionate"));
    QVERIFY(!form.enabled("xMvtActivityResumePeriod"));
    form.click("cbMvtActivityRecap");
    QVERIFY(form.enabled("xMvtActivityResumePeriod") && !form.enabled("cbMvtLoraAtStartMvt"));

    // Motion off: every tracking option closes.
    form.click("cbMvt");
    QVERIFY(!form.enabled("cbMvtTracking") && !form.enabled("cbMvtActivity"));
}

void InterlocksTest::burstModeChoosesTheBurstNumbers()
{
    FormDriver form("2.2");
    form.click("cbMvt");
    form.click("cbMvtTracking");
    auto *burst = form.get<QComboBox>("cboMvtTrackingBurstMode");
    // Mode: none, on motion, on stillness, each movement, each movement repeated.
    const bool motion[] = {false, true, false, true, true};
    const bool stillness[] = {false, false, true, true, true};
    for (int mode : {1, 0, 2, 3, 4}) {
        burst->setCurrentIndex(mode);
        QCOMPARE(form.enabled("cboMvtTrackingBurstNumberMotion"), motion[mode]);
        QCOMPARE(form.enabled("cboMvtTrackingBurstNumberStillness"), stillness[mode]);
    }
}

void InterlocksTest::logPeriodFollowsItsLogBox()
{
    FormDriver form("2.2");
    QVERIFY(form.checked("cbEnableLog") && form.enabled("xNbAliveFrameBeforeLog"));
    form.click("cbEnableLog");
    QVERIFY(!form.enabled("xNbAliveFrameBeforeLog"));
    form.click("cbEnableLog");
    QVERIFY(form.enabled("xNbAliveFrameBeforeLog"));

    form.click("cbChoc");
    QVERIFY(form.enabled("xChocNbAliveFrameBeforeShockLog"));
    form.click("cbChocEnableShockLog");
    QVERIFY(!form.enabled("xChocNbAliveFrameBeforeShockLog"));
    form.click("cbChocEnableShockLog");
    QVERIFY(form.enabled("xChocNbAliveFrameBeforeShockLog"));
}

void InterlocksTest::temperatureAlertFieldsFollowThresholdMode()
{
    FormDriver form("2.2");
    const char *alertFields[] = {"xTempThetaMax",   "xTempThetaMin",        "xTempDeltaTheta",
                                 "xTempFastPeriod", "xTempUltraFastPeriod", "xTempNbExcess"};
    form.click("cbTemp");
    for (const char *field : alertFields)
        QVERIFY2(form.enabled(field), field);
    // Temperature takes the periodic wake-up: no refresh mode beside it.
    QVERIFY(!form.enabled("cbTiltModeRefresh"));
    form.click("cbTilt");
    QVERIFY(!form.enabled("cbTiltModeRefresh"));
    form.click("cbTempModeThreshold");
    for (const char *field : alertFields)
        QVERIFY2(!form.enabled(field), field);
    QVERIFY(form.enabled("xTempSlowPeriod"));
    form.click("cbTempModeThreshold");
    QVERIFY(form.enabled("xTempNbExcess"));
    form.click("cbTemp");
    QVERIFY(form.enabled("cbTiltModeRefresh") && !form.enabled("xTempSlowPeriod"));
}

void InterlocksTest::aliveFramesTradePlacesWithTemperatureUpTo1_9_2_data()
{
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<bool>("framesCount");
    QTest::newRow("unidentified") << QByteArray() << true;
    QTest::newRow("1.9.2") << QByteArray("1.9.2") << true;
    QTest::newRow("1.9.3") << QByteArray("1.9.3") << false;
}

void InterlocksTest::aliveFramesTradePlacesWithTemperatureUpTo1_9_2()
{
    QFETCH(QByteArray, release);
    QFETCH(bool, framesCount);
    DebugLog log;
    FormDriver form(release);
    form.click("cbAliveRefreshMode");
    QVERIFY(log.contains("on_cbAliveRefreshMode_clicked"));
    QVERIFY(!form.enabled("xAlivePeriod") && !form.enabled("xAliveNbSavedValue"));
    QCOMPARE(form.count(), framesCount ? 0 : 1);
    if (!framesCount) {
        form.click("cbAliveRefreshMode");
        QVERIFY(form.enabled("xAlivePeriod"));
        QCOMPARE(form.count(), 1);
        return;
    }
    QVERIFY(form.enabled("cbTemp") && form.enabled("cbVibe"));
    form.click("cbTemp");
    QCOMPARE(form.count(), 1);

    form.click("cbAliveRefreshMode");
    QVERIFY(form.enabled("xAlivePeriod"));
    QVERIFY(form.checked("cbTemp") && !form.enabled("cbTemp"));
    QCOMPARE(form.count(), 1); // the frames in, TEMPERATURE out
    QVERIFY(!form.enabled("cbVibe") && !form.enabled("cbTiltModeRefresh"));

    form.click("cbAliveRefreshMode");
    QVERIFY(form.checked("cbTemp") && form.enabled("cbTemp"));
    QCOMPARE(form.count(), 1);
}

void InterlocksTest::orientationModesCloseTheSameModeOfTiltAndRotation()
{
    FormDriver form("2.2");
    form.click("cbOrient");
    QVERIFY(form.enabled("cbOrientModeRefresh") && form.enabled("cbOrientModeOnMove"));
    form.click("cbTilt");
    QVERIFY(!form.enabled("cbTiltModeRefresh") && !form.enabled("cbTiltModeOnMove"));

    form.click("cbOrientModeRefresh");
    QVERIFY(form.enabled("cbTiltModeRefresh") && !form.enabled("xOrientPeriod"));
    form.click("cbOrientModeOnMove");
    QVERIFY(form.enabled("cbTiltModeOnMove") && form.enabled("xTiltThreshold"));
    QVERIFY(!form.enabled("xOrientThreshold"));

    form.click("cbTiltModeOnMove");
    QVERIFY(!form.enabled("xTiltThreshold"));
    form.click("cbTiltModeOnMove");
    QVERIFY(!form.enabled("cbOrientModeOnMove") && form.enabled("xTiltThreshold"));
    form.click("cbTiltModeRefresh");
    QVERIFY(form.enabled("cbOrientModeRefresh") && !form.enabled("xTiltPeriod"));
}

void InterlocksTest::orientationWithBothModesClosesTiltAndRotation()
{
    FormDriver form("2.2");
    form.click("cbOrient");
    form.click("cbOrientModeOnMove");
    QVERIFY(form.enabled("cbTilt") && form.enabled("cbRotation"));
    form.click("cbOrientModeOnMove");
    QVERIFY(!form.enabled("cbTilt") && !form.enabled("cbRotation"));
    form.click("cbOrientModeRefresh");
    QVERIFY(form.enabled("cbTilt") && form.enabled("cbRotation"));
    QCOMPARE(form.count(), 1);
}

QTEST_MAIN(InterlocksTest)
#include "tst_interlocks.moc"
