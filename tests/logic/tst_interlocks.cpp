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
    void burstModeChoosesTheBurstNumbers();
    void clickScriptsShowWhatTheFieldsFollow_data();
    void clickScriptsShowWhatTheFieldsFollow();
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

void InterlocksTest::clickScriptsShowWhatTheFieldsFollow_data()
{
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<QByteArray>("script");
    const auto row = [](const char *name, const char *release, const char *script) {
        QTest::newRow(name) << QByteArray(release) << QByteArray(script);
    };
    row("the join mode opens only its own keys", "",
        "rbABP *rbABP !rbOTAA #on_rbABP_clicked +leAppSKEY +leNwkSKEY +leNwkID +leDevADDR -leAppKEY "
        "rbOTAA *rbOTAA !rbABP -leAppSKEY -leNwkSKEY -leNwkID -leDevADDR +leAppKEY");
    row("tracking and motion durations exclude each other", "2.2",
        "cbMvt +cbMvtTracking +cbMvtActivity -cboMvtTrackingBurstMode cbMvtTracking -cbMvtActivity "
        "-cbMvtActivityRecap -cbMvtLoraAtStartMvt -cbMvtLoraAtStopMvt -tMvtLoraAtStartMvt -tMvtLoraAtStopMvt "
        "+cboMvtTrackingBurstMode +xMvtTrackingAlertPeriodStillness cbMvtTracking +cbMvtActivity "
        "-cboMvtTrackingBurstMode +cbMvtLoraAtStartMvt +cbMvtLoraAtStopMvt +tMvtLoraAtStartMvt +tMvtLoraAtStopMvt "
        "cbMvtActivity -cbMvtTracking +cbMvtActivityRecap +cbMvtActivityAdditionate -xMvtActivityResumePeriod "
        "cbMvtActivityRecap +xMvtActivityResumePeriod -cbMvtLoraAtStartMvt cbMvt -cbMvtTracking -cbMvtActivity");
    row("log periods follow their log boxes", "2.2",
        "*cbEnableLog +xNbAliveFrameBeforeLog cbEnableLog -xNbAliveFrameBeforeLog cbEnableLog "
        "+xNbAliveFrameBeforeLog cbChoc +xChocNbAliveFrameBeforeShockLog cbChocEnableShockLog "
        "-xChocNbAliveFrameBeforeShockLog cbChocEnableShockLog +xChocNbAliveFrameBeforeShockLog");
    row("temperature alert fields follow the threshold mode", "2.2",
        "cbTemp +xTempThetaMax +xTempThetaMin +xTempDeltaTheta +xTempFastPeriod +xTempUltraFastPeriod +xTempNbExcess "
        "-cbTiltModeRefresh cbTilt -cbTiltModeRefresh cbTempModeThreshold -xTempThetaMax -xTempThetaMin "
        "-xTempDeltaTheta -xTempFastPeriod -xTempUltraFastPeriod -xTempNbExcess +xTempSlowPeriod "
        "cbTempModeThreshold +xTempNbExcess cbTemp +cbTiltModeRefresh -xTempSlowPeriod");
    for (const char *release : {"", "1.9.2"})
        row(qPrintable(QByteArray("ALIVE frames trade places with TEMPERATURE on ") + release), release,
            "cbAliveRefreshMode #on_cbAliveRefreshMode_clicked -xAlivePeriod -xAliveNbSavedValue =0 +cbTemp +cbVibe "
            "cbTemp =1 cbAliveRefreshMode +xAlivePeriod *cbTemp -cbTemp =1 -cbVibe -cbTiltModeRefresh "
            "cbAliveRefreshMode *cbTemp +cbTemp =1");
    row("ALIVE frames count no more from 1.9.3", "1.9.3",
        "cbAliveRefreshMode -xAlivePeriod =1 cbAliveRefreshMode +xAlivePeriod =1");
    row("ORIENTATION's modes close the same mode of TILT", "2.2",
        "cbOrient +cbOrientModeRefresh +cbOrientModeOnMove cbTilt -cbTiltModeRefresh -cbTiltModeOnMove "
        "cbOrientModeRefresh +cbTiltModeRefresh -xOrientPeriod cbOrientModeOnMove +cbTiltModeOnMove +xTiltThreshold "
        "-xOrientThreshold cbTiltModeOnMove -xTiltThreshold cbTiltModeOnMove -cbOrientModeOnMove +xTiltThreshold "
        "cbTiltModeRefresh +cbOrientModeRefresh -xTiltPeriod");
    row("ORIENTATION with both modes closes TILT and ROTATION", "2.2",
        "cbOrient cbOrientModeOnMove +cbTilt +cbRotation cbOrientModeOnMove -cbTilt -cbRotation cbOrientModeRefresh "
        "+cbTilt +cbRotation =1");
}

void InterlocksTest::clickScriptsShowWhatTheFieldsFollow()
{
    QFETCH(QByteArray, release);
    QFETCH(QByteArray, script);
    DebugLog log;
    FormDriver form(release);
    const QByteArray unmet = form.play(script, &log);
    QVERIFY2(unmet.isEmpty(), unmet);
}

QTEST_MAIN(InterlocksTest)
#include "tst_interlocks.moc"
