// What the form lets the user tick, and what the fields do in turn, on
// every release: click scripts, a random walk of clicks and reads, and the
// values the form corrects as they are typed.

#include "debuglog.h"
#include "formprobe.h"

#include "firmware/releases.h"
#include "simfirmware.h"
#include "model/catalogue.h"

#include <QComboBox>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QtTest>

// The boxes the limit of two governs, in the order of the window, their bits
// in the algorithm mask, and a field of each, open exactly while it is ticked.
static const char *const kLimitedBoxes[] = {"cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient", "cbVibe"};
static const int kBits[] = {4, 32, 2, 8, 128, 16, 256};
static const char *const kFields[] = {"xChocGxSup",     "xMvtGxSup",           "xTempSlowPeriod", "xTiltThresholdPitch",
                                      "xRotationNbLap", "xOrientMesureLength", "xVibrationPeriod"};

class FormLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void clickScriptsShowWhatTheFormAllows_data();
    void clickScriptsShowWhatTheFormAllows();
    void randomClicksKeepTheFormRules_data();
    void randomClicksKeepTheFormRules();
    void typedValuesAreCorrectedAsTheDeviceNeedsThem();
};

void FormLogicTest::clickScriptsShowWhatTheFormAllows_data()
{
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<QByteArray>("script");
    const auto row = [](const char *name, const char *release, const char *script) {
        QTest::newRow(name) << QByteArray(release) << QByteArray(script);
    };
    row("MOTION and ORIENTATION exclude each other", "2.2",
        "cbMvt -cbOrient +cbChoc cbMvt +cbOrient cbOrient -cbMvt cbOrient +cbMvt =0");
    row("TILT and ROTATION exclude each other", "2.2",
        "cbTilt -cbRotation +cbChoc cbTilt +cbRotation cbRotation -cbTilt cbRotation +cbTilt =0");
    // Releases: what TILT, SHOCK, MOTION and TEMPERATURE open on each.
    row("unidentified", "",
        "-cbTemp cbAliveRefreshMode cbTilt -cbTiltModeAlertZone -cbTiltModeSignedMeasure "
        "-cbTiltModeRefresh +cbTiltModeOnMove cbChoc -cbTiltModeOnMove -cbChocEnableShockLog cbChoc cbTilt cbMvt "
        "-cbMvtTracking");
    row("1.9.1", "1.9.1",
        "cbAliveRefreshMode cbTilt -cbTiltModeAlertMultiple cbChoc +cbTiltModeOnMove "
        "+xTiltThreshold -cbRotationModeOnMove -cbOrientModeOnMove");
    row("1.9.2", "1.9.2",
        "-cbTemp cbAliveRefreshMode +cbTemp cbTilt +cbTiltModeAlertMultiple +cbTiltModeAlertZone "
        "-cbTiltModeSignedMeasure -cbTiltModeRefresh");
    row("1.9.3", "1.9.3",
        "cbChoc cbChoc +cbTemp cbTilt +cbTiltModeSignedMeasure +cbTiltModeRefresh cbChoc !cbChoc "
        "cbTilt -cbTiltModeAlertZone -xTiltPeriod cbMvt -cbMvtTracking");
    row("2.1.1", "2.1.1",
        "cbTilt cbChoc +cbTiltModeOnMove -cbChocEnableShockLog cbChoc cbTilt cbMvt +cbMvtTracking "
        "cbMvt -cbMvtTracking");
    row("2.2", "2.2",
        "cbTilt cbChoc +cbChocEnableShockLog +xChocNbAliveFrameBeforeShockLog -cbRotationModeOnMove "
        "cbChoc +cbTiltModeOnMove -cbChocEnableShockLog");
    row("ORIENTATION lends the range back", "2.2",
        "%4 cbOrient @1 cbOrient @4 %2 cbOrient @1 cbOrient @2 %3 cbOrient %4 cbOrient @3");
    row("ROTATION forces upright only when it had to", "2.2",
        "flat cbRotation up #ORIENT:~Force~Stay~Upright~sense rbPelkoLaidFlat up cbRotation flat cbRotation "
        "cbRotation flat rbPelkoStayUpright cbRotation cbRotation up");
    row("an upright chosen before ROTATION stays", "2.2", "rbPelkoStayUpright cbRotation cbRotation up");
    row("TILT left while ORIENTATION holds both modes keeps ROTATION closed", "2.2",
        "cbTilt cbOrient *cbOrientModeRefresh *cbOrientModeOnMove cbTilt -cbRotation +cbTilt "
        "cbOrient cbTilt cbTilt +cbRotation");
    row("ROTATION left while ORIENTATION holds both modes keeps TILT closed", "2.2",
        "cbRotation cbOrient cbRotation -cbTilt +cbRotation cbOrient cbRotation cbRotation +cbTilt");
    // Sequences that used to leave three algorithms running, or one locked.
    row("(a) frames at the limit stay out", "1.9.2",
        "cbChoc cbAliveRefreshMode cbTilt =2 -cbAliveRefreshMode cbAliveRefreshMode !cbAliveRefreshMode =2");
    row("(b) frames leave before TEMPERATURE comes back", "1.9.2",
        "cbAliveRefreshMode cbTemp cbAliveRefreshMode -cbTemp =1 cbOrient =2 cbAliveRefreshMode *cbTemp +cbTemp =2");
    row("(c) VIBRATION keeps the frames out", "1.9.2",
        "cbAliveRefreshMode cbVibe -cbAliveRefreshMode cbAliveRefreshMode cbAliveRefreshMode *cbVibe +cbVibe =2");
    row("(d) 1.9.3 keeps the frames' place", "1.9.3", "cbAliveRefreshMode =1 -cbVibe");
    row("(f) frames may take TEMPERATURE's place at the limit", "1.9.2",
        "cbAliveRefreshMode cbTemp cbChoc =2 !cbAliveRefreshMode +cbAliveRefreshMode");
    row("(e) an ORIENTATION mode box never reopens at the limit", "2.2",
        "cbOrient cbChoc =2 cbOrientModeRefresh -cbTilt -cbRotation cbOrientModeOnMove -cbTilt -cbRotation "
        "cbOrientModeRefresh cbChoc =1 +cbTilt +cbRotation");
    // Fields that follow their boxes.
    // The LoRa choices are not auto-exclusive: the form holds each pair
    // complementary, whichever side the user clicks.
    for (const char *pair : {"rbOTAA rbABP", "rbPublicNetwork rbPrivateNetwork",
                             "rbMessageUnconfirmed rbMessageConfirmed", "rbADR_OFF rbADR_ON"}) {
        const QStringList side = QString::fromLatin1(pair).split(' ');
        row(qPrintable(side[0] + " and " + side[1] + " flip each other"), "",
            qPrintable(QStringLiteral("*%1 !%2 %1 !%1 *%2 %1 *%1 !%2 %2 *%2 !%1 %2 !%2 *%1").arg(side[0], side[1])));
    }
    row("the join mode opens only its own keys", "",
        "rbABP *rbABP !rbOTAA #on_rbABP_clicked +leAppSKEY +leNwkSKEY +leNwkID +leDevADDR -leAppKEY "
        "rbOTAA *rbOTAA !rbABP -leAppSKEY -leNwkSKEY -leNwkID -leDevADDR +leAppKEY");
    row("tracking and motion durations exclude each other", "2.2",
        "cbMvt +cbMvtTracking +cbMvtActivity -cboMvtTrackingBurstMode cbMvtTracking -cbMvtActivity "
        "-cbMvtActivityRecap -cbMvtLoraAtStartMvt -cbMvtLoraAtStopMvt -tMvtLoraAtStartMvt -tMvtLoraAtStopMvt "
        "+cboMvtTrackingBurstMode +xMvtTrackingAlertPeriodStillness cbMvtTracking +cbMvtActivity "
        "-cboMvtTrackingBurstMode +cbMvtLoraAtStartMvt +cbMvtLoraAtStopMvt +tMvtLoraAtStartMvt +tMvtLoraAtStopMvt "
        "cbMvtActivity -cbMvtTracking +cbMvtActivityRecap +cbMvtActivityAdditionate -xMvtActivityResumePeriod "
        "cbMvtActivityRecap +xMvtActivityResumePeriod +tMvtActivityResumePeriod *cbMvtActivityAdditionate "
        "-cbMvtLoraAtStartMvt -cbMvtLoraAtStopMvt -tMvtLoraAtStartMvt -tMvtLoraAtStopMvt cbMvtActivityRecap "
        "-xMvtActivityResumePeriod !cbMvtActivityAdditionate +cbMvtLoraAtStopMvt cbMvt -cbMvtTracking -cbMvtActivity");
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

void FormLogicTest::clickScriptsShowWhatTheFormAllows()
{
    QFETCH(QByteArray, release);
    QFETCH(QByteArray, script);
    DebugLog log;
    const ShownForm form(release);
    const QByteArray unmet = form.probe.play(script, &log);
    QVERIFY2(unmet.isEmpty(), unmet);
}

void FormLogicTest::randomClicksKeepTheFormRules_data()
{
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<quint32>("seed");
    const char *releases[] = {"", "1.9", "1.9.2", "1.9.3", "2.0", "2.1.1", "2.2"};
    // PELKO_CLICKS_SEED replays one walk that failed.
    quint32 seed = qEnvironmentVariableIsSet("PELKO_CLICKS_SEED") ? qgetenv("PELKO_CLICKS_SEED").toUInt() : 20261207;
    for (const char *release : releases)
        QTest::newRow(*release ? release : "unidentified") << QByteArray(release) << seed++;
}

// The answer of a device of `release` whose flash holds random algorithms and modes.
static QByteArray randomDump(QRandomGenerator &random, const QString &release, int &mask)
{
    SimFirmware device;
    device.setRelease(release);
    const int bits[] = {2, 4, 8, 16, 32, 128};
    mask = 1;
    for (int bit : bits)
        mask |= random.bounded(3) == 0 ? bit : 0;
    device.saved["ALGO"] = QByteArray::number(mask);
    for (const char *mode : {"ALIVE modeRefresh", "TILT modeRefresh", "TILT modeOnMove", "ROTATION modeRefresh",
                             "ROTATION modeOnMove", "ORIENT modeRefresh", "ORIENT modeOnMove"})
        device.saved[mode] = QByteArray::number(random.bounded(2));
    device.handle("DEBUG 1");
    return device.handle("DUMP RAM PARAM").wire();
}

void FormLogicTest::randomClicksKeepTheFormRules()
{
    QFETCH(QByteArray, release);
    QFETCH(quint32, seed);
    const QByteArrayList boxes =
        QByteArray("cbAlive cbChoc cbMvt cbTemp cbTilt cbRotation cbOrient cbVibe "
                   "cbAliveRefreshMode cbTiltModeRefresh cbTiltModeOnMove cbRotationModeRefresh "
                   "cbRotationModeOnMove cbOrientModeRefresh cbOrientModeOnMove")
            .split(' ');
    const char *releases[] = {"1.9", "1.9.2", "1.9.3", "2.0", "2.1.1", "2.2"};
    QRandomGenerator random(seed);
    DebugLog log; // thousands of traces: keep them out of the test output
    ShownForm shown(release);
    MainWindow &window = shown.window;
    const FormProbe &form = shown.probe;
    QByteArray now = release;
    QByteArrayList steps;
    int atLimit = 0;
    int reads = 0;
    for (int i = 0; i < 2500; ++i) {
        const int pick = random.bounded(100);
        if (pick < 4) {
            now = releases[random.bounded(6)];
            QByteArray answer = "Firmware : v" + now + "\r\nOK\r\n";
            window.decodePelkoData("VERSION", answer);
            steps << "connect " + now;
        } else if (pick < 10) {
            int dumped = 0;
            QByteArray dump = randomDump(random, QString::fromLatin1(now.isEmpty() ? "1.9" : now), dumped);
            window.decodePelkoData("DUMP RAM PARAM", dump);
            steps << "read 0x" + QByteArray::number(dumped, 16);
            ++reads;
        } else {
            const QByteArray &box = boxes.at(random.bounded(boxes.size()));
            if (form.enabled(box.constData()))
                form.tick(box.constData());
            steps << box;
        }
        log.clear();

        const QByteArray where = "seed " + QByteArray::number(seed) + " (PELKO_CLICKS_SEED replays it), step " +
                                 QByteArray::number(i) + " after " + steps.mid(qMax(0, steps.size() - 10)).join(' ');
        const bool framesCount = form.checked("cbAliveRefreshMode") &&
                                 !Firmware::opens(window.firmwareVersion, Firmware::Feature::AliveFramesShareWakeUp);
        const int mask = Upload::algorithmMask([&form](const char *name) {
            return Upload::BoxState{form.checked(name), form.enabled(name)};
        });
        int running = 0;
        for (int b = 0; b < 7; ++b) {
            const char *box = kLimitedBoxes[b];
            const bool on = form.checked(box) && form.enabled(box);
            running += on;
            // The mask holds exactly the boxes shown ticked and enabled.
            QVERIFY2(bool(mask & kBits[b]) == on, where + ": " + box);
            QVERIFY2(form.enabled(kFields[b]) == form.checked(box), where + ": " + kFields[b]);
            // A ticked box that cannot be unticked is only one the frames hold back up to 1.9.2.
            const bool heldByFrames = framesCount && form.enabled("cbAliveRefreshMode") &&
                                      (qstrcmp(box, "cbTemp") == 0 || qstrcmp(box, "cbVibe") == 0);
            QVERIFY2(!form.checked(box) || form.enabled(box) || heldByFrames, where + ": " + box + " locked");
        }
        const bool vibration = form.checked("cbVibe") && form.enabled("cbVibe");
        QVERIFY2(!vibration || running == 1, where + ": VIBRATION beside another");
        QVERIFY2(running + int(framesCount) <= 2, where + ": more than two");
        const bool phantom = now == "1.9.3" && !vibration; // the frames' place 1.9.3 keeps, as stated
        // VIBRATION fills the count, even while the frames hold it back up to 1.9.2.
        const int expected = form.checked("cbVibe") ? 2 : running + int(framesCount);
        QVERIFY2(window.activeAlgorithmCount == expected || (phantom && window.activeAlgorithmCount == expected + 1),
                 where + ": count " + QByteArray::number(window.activeAlgorithmCount) + " for " +
                     QByteArray::number(expected));
        QVERIFY2(form.checked("cbAlive"), where);
        atLimit += window.activeAlgorithmCount == 2;
    }
    // The walk must have reached the states the rules are about.
    QVERIFY(atLimit > 100 && reads > 50);
}

void FormLogicTest::typedValuesAreCorrectedAsTheDeviceNeedsThem()
{
    const ShownForm form("2.2");
    QVERIFY(form.probe.play("cbChoc cbMvt cbMvtTracking +xChocInhibition").isEmpty());
    // The shock inhibition is off or at least 50, once typing is over: typed, shown.
    auto *inhibition = form.probe.find<QSpinBox>("xChocInhibition");
    for (const auto &[typed, shown] : {std::pair{30, 0}, {1, 50}, {49, 0}, {150, 150}, {50, 50}}) {
        inhibition->selectAll();
        QTest::keyClicks(inhibition, QString::number(typed));
        QTest::keyClick(inhibition, Qt::Key_Enter);
        QCOMPARE(inhibition->value(), shown);
    }
    // The burst modes (none, on motion, on stillness, each movement, each
    // movement repeated) open the burst numbers they use.
    for (int mode : {1, 0, 2, 3, 4}) {
        form.probe.find<QComboBox>("cboMvtTrackingBurstMode")->setCurrentIndex(mode);
        QCOMPARE(form.probe.enabled("cboMvtTrackingBurstNumberMotion"), mode == 1 || mode > 2);
        QCOMPARE(form.probe.enabled("cboMvtTrackingBurstNumberStillness"), mode > 1);
    }
}

QTEST_MAIN(FormLogicTest)
#include "tst_formlogic.moc"
