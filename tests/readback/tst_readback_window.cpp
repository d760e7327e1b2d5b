#include "mainwindow.h"
#include "readback/dumpkeytable.h"

#include "link/timing.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "simharness.h"

#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>

#include <memory>

// The key table is process-wide and keeps its values; every test starts from
// a table that has never seen a dump, in a new window.
class ReadbackWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void valuesAreConvertedToTheFormsUnits_data();
    void valuesAreConvertedToTheFormsUnits();
    void inhibitionOffWinsOverAReportedDuration();
    void tiltModeBitsCheckTheirBoxes_data();
    void tiltModeBitsCheckTheirBoxes();
    void orientationFollowsRotation_data();
    void orientationFollowsRotation();
    void keysNeverReadLeaveTheirFieldsAlone();
    void aDumpSwitchesOnTheAlgorithmsItNames();
    void anEmptyDumpSwitchesEveryAlgorithmOffButVibration();
    void anUnknownDumpModeChangesNothing();
    void readWithoutALinkTellsTheUserToConnect();

    void loRaSettingsDependOnTheRelease_data();
    void loRaSettingsDependOnTheRelease();
    void loRaKeysAreMaskedAndIdentitiesLocked();
    void loRaFieldsMissingFromTheAnswerStayAsTheyWere();
    void loRaTextIsInsertedAtTheCursorUpToTheMaximumLength();
    void loRaWithoutNetworkSentenceKeepsPublicAndLocksTheChoice();

    void aRefusedDumpIsReportedAfterDebugIsSwitchedOffAgain();
    void aConfiguredDeviceReadsBackAsItWasSent_data();
    void aConfiguredDeviceReadsBackAsItWasSent();

private:
    template<typename T>
    T *widget(const char *name)
    {
        T *w = m_window->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QVariant shown(const QString &name);
    void applyOnly(int key, int value);

    std::unique_ptr<MainWindow> m_window;
};

void ReadbackWindowTest::init()
{
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    m_window.reset(new MainWindow);
}

void ReadbackWindowTest::cleanup()
{
    m_window.reset();
}

// What the user sees in a field, whatever its kind.
QVariant ReadbackWindowTest::shown(const QString &name)
{
    QObject *o = m_window->findChild<QObject *>(name);
    if (auto *w = qobject_cast<QDoubleSpinBox *>(o))
        return w->value();
    if (auto *w = qobject_cast<QSpinBox *>(o))
        return w->value();
    if (auto *w = qobject_cast<QComboBox *>(o))
        return w->currentIndex();
    if (auto *w = qobject_cast<QSlider *>(o))
        return w->value();
    if (auto *w = qobject_cast<QAbstractButton *>(o))
        return w->isChecked();
    qFatal("no field %s", qPrintable(name));
    return QVariant();
}

void ReadbackWindowTest::applyOnly(int key, int value)
{
    dumpKeyTable[key].decodedValue = value;
    m_window->applyParameters();
}

void ReadbackWindowTest::valuesAreConvertedToTheFormsUnits_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("ALIVE period ms to s") << int(KeyAlivePeriod) << 7200000 << "xAlivePeriod" << QVariant(7200);
    QTest::newRow("ALIVE period fraction dropped, then minimum")
        << int(KeyAlivePeriod) << 59999 << "xAlivePeriod" << QVariant(60);
    QTest::newRow("TEMP period truncated") << int(KeyTempPeriod) << 30999 << "xTempSlowPeriod" << QVariant(30);
    QTest::newRow("TEMP max hundredths") << int(KeyTempMax) << 2550 << "xTempThetaMax" << QVariant(25.5);
    QTest::newRow("TEMP min negative") << int(KeyTempMin) << -150 << "xTempThetaMin" << QVariant(-1.5);
    QTest::newRow("TEMP delta") << int(KeyTempDelta) << 25 << "xTempDeltaTheta" << QVariant(0.25);
    QTest::newRow("range 2 g") << int(KeyMpuMaxRange) << 2 << "MPUmaxRange" << QVariant(1);
    QTest::newRow("range 8 g") << int(KeyMpuMaxRange) << 8 << "MPUmaxRange" << QVariant(3);
    QTest::newRow("range 16 g") << int(KeyMpuMaxRange) << 16 << "MPUmaxRange" << QVariant(4);
    QTest::newRow("range 3 passes through") << int(KeyMpuMaxRange) << 3 << "MPUmaxRange" << QVariant(3);
    QTest::newRow("range 0 clamped") << int(KeyMpuMaxRange) << 0 << "MPUmaxRange" << QVariant(1);
    QTest::newRow("0 motion bursts") << int(KeyMvtMotionNbBurst) << 0 << "cboMvtTrackingBurstNumberMotion" << QVariant(0);
    QTest::newRow("1 motion burst") << int(KeyMvtMotionNbBurst) << 1 << "cboMvtTrackingBurstNumberMotion" << QVariant(0);
    QTest::newRow("2 motion bursts") << int(KeyMvtMotionNbBurst) << 2 << "cboMvtTrackingBurstNumberMotion" << QVariant(0);
    QTest::newRow("4 motion bursts") << int(KeyMvtMotionNbBurst) << 4 << "cboMvtTrackingBurstNumberMotion" << QVariant(2);
    QTest::newRow("5 motion bursts: no entry") << int(KeyMvtMotionNbBurst) << 5 << "cboMvtTrackingBurstNumberMotion" << QVariant(-1);
    QTest::newRow("3 stillness bursts") << int(KeyMvtStillnessNbBurst) << 3 << "cboMvtTrackingBurstNumberStillness" << QVariant(1);
    QTest::newRow("5 stillness bursts: no entry") << int(KeyMvtStillnessNbBurst) << 5 << "cboMvtTrackingBurstNumberStillness" << QVariant(-1);
    QTest::newRow("burst mode 4") << int(KeyMvtBurstMode) << 4 << "cboMvtTrackingBurstMode" << QVariant(4);
    QTest::newRow("burst mode 9: no entry") << int(KeyMvtBurstMode) << 9 << "cboMvtTrackingBurstMode" << QVariant(-1);
    QTest::newRow("SHOCK 0,24 Hz") << int(KeyShockFreq) << 0 << "cboChocFreq" << QVariant(0);
    QTest::newRow("SHOCK 2 Hz") << int(KeyShockFreq) << 2 << "cboChocFreq" << QVariant(2);
    QTest::newRow("SHOCK 3 Hz rounds up to 4") << int(KeyShockFreq) << 3 << "cboChocFreq" << QVariant(3);
    QTest::newRow("SHOCK 100 Hz rounds up to 125") << int(KeyShockFreq) << 100 << "cboChocFreq" << QVariant(8);
    QTest::newRow("SHOCK 250 Hz") << int(KeyShockFreq) << 250 << "cboChocFreq" << QVariant(9);
    QTest::newRow("SHOCK 400 Hz is 500") << int(KeyShockFreq) << 400 << "cboChocFreq" << QVariant(10);
    QTest::newRow("MOTION 16 Hz") << int(KeyMvtFreq) << 16 << "cboMvtFreq" << QVariant(5);
    QTest::newRow("MOTION 31 Hz") << int(KeyMvtFreq) << 31 << "cboMvtFreq" << QVariant(6);
    QTest::newRow("TEMP threshold mode 1") << int(KeyTempModeThreshold) << 1 << "cbTempModeThreshold" << QVariant(false);
    QTest::newRow("TEMP threshold mode 2") << int(KeyTempModeThreshold) << 2 << "cbTempModeThreshold" << QVariant(true);
    QTest::newRow("TEMP threshold mode 3") << int(KeyTempModeThreshold) << 3 << "cbTempModeThreshold" << QVariant(true);
    QTest::newRow("gravity removal any non-zero") << int(KeyShockRemoveGravity) << 7 << "cbChocRemoveGravity" << QVariant(true);
    QTest::newRow("reset lap off") << int(KeyRotationResetLap) << 0 << "cbRotationResetLapButton" << QVariant(false);
    QTest::newRow("vibration Y off") << int(KeyVibrationAxeY) << 0 << "cbVibeOnY" << QVariant(false);
    QTest::newRow("TILT alert period to the common one")
        << int(KeyTiltMultipleAlertPeriod) << 900 << "xAlgoPeriod" << QVariant(900);
    QTest::newRow("orientation yaw negative") << int(KeyOrientationYaw) << -90 << "xOrientThresholdYaw" << QVariant(-90);
    QTest::newRow("rotation mode 2") << int(KeyRotationMode) << 2 << "cbRotationModeOnMove" << QVariant(true);
    QTest::newRow("orientation mode 2 clears refresh") << int(KeyOrientationMode) << 2 << "cbOrientModeRefresh" << QVariant(false);
}

void ReadbackWindowTest::valuesAreConvertedToTheFormsUnits()
{
    QFETCH(int, key);
    QFETCH(int, value);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    applyOnly(key, value);
    QCOMPARE(shown(field), expected);
    // Applying again gives the same form.
    m_window->applyParameters();
    QCOMPARE(shown(field), expected);
}

void ReadbackWindowTest::inhibitionOffWinsOverAReportedDuration()
{
    dumpKeyTable[KeyShockInhibition].decodedValue = 150;
    applyOnly(KeyShockInhibitionOff, 0);
    QCOMPARE(shown("xChocInhibition"), QVariant(0));

    // Once a dump has said "disabled", later dumps with a duration still end
    // at 0: the values of earlier reads persist.
    init();
    m_window->paramDump = QByteArray("------- CHOC -------\r\n\0inhibition disabled\r\n\0", 45);
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    m_window->paramDump = QByteArray("------- CHOC -------\r\n\0inhibition : 200\r\n\0", 43);
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    QCOMPARE(dumpKeyTable[KeyShockInhibition].decodedValue, 200);
    QCOMPARE(shown("xChocInhibition"), QVariant(0));
}

void ReadbackWindowTest::tiltModeBitsCheckTheirBoxes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<bool>>("checked"); // refresh, on move, multiple, zone, signed
    QTest::newRow("0") << 0 << QList<bool>{false, false, false, false, false};
    QTest::newRow("27") << 27 << QList<bool>{true, true, true, true, false};
    QTest::newRow("4 is unused") << 4 << QList<bool>{false, false, false, false, false};
    QTest::newRow("32") << 32 << QList<bool>{false, false, false, false, true};
    QTest::newRow("63") << 63 << QList<bool>{true, true, true, true, true};
}

void ReadbackWindowTest::tiltModeBitsCheckTheirBoxes()
{
    QFETCH(int, mode);
    QFETCH(QList<bool>, checked);
    const QStringList boxes = {"cbTiltModeRefresh", "cbTiltModeOnMove", "cbTiltModeAlertMultiple",
                               "cbTiltModeAlertZone", "cbTiltModeSignedMeasure"};
    // Start from the opposite of every expected state.
    for (int i = 0; i < boxes.size(); ++i)
        m_window->findChild<QCheckBox *>(boxes[i])->setChecked(!checked[i]);
    applyOnly(KeyTiltMode, mode);
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(shown(boxes[i]).toBool(), checked[i]);
}

void ReadbackWindowTest::orientationFollowsRotation_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("rotation");
    QTest::addColumn<bool>("upright");
    QTest::newRow("0 without ROTATION: laid flat") << 0 << false << false;
    QTest::newRow("0 with ROTATION: upright") << 0 << true << true;
    QTest::newRow("1: upright") << 1 << false << true;
    QTest::newRow("any non-zero: upright") << 5 << false << true;
}

void ReadbackWindowTest::orientationFollowsRotation()
{
    QFETCH(int, value);
    QFETCH(bool, rotation);
    QFETCH(bool, upright);
    widget<QCheckBox>("cbRotation")->setChecked(rotation);
    // The opposite state first.
    widget<QRadioButton>("rbPelkoLaidFlat")->setChecked(upright);
    widget<QRadioButton>("rbPelkoStayUpright")->setChecked(!upright);
    applyOnly(KeyPelkoOrientation, value);
    QCOMPARE(widget<QRadioButton>("rbPelkoStayUpright")->isChecked(), upright);
    QCOMPARE(widget<QRadioButton>("rbPelkoLaidFlat")->isChecked(), !upright);
    QCOMPARE(widget<QLabel>("imagePelkoUp")->isEnabled(), upright);
    QCOMPARE(widget<QLabel>("imagePelkoFlat")->isEnabled(), !upright);
}

void ReadbackWindowTest::keysNeverReadLeaveTheirFieldsAlone()
{
    widget<QSpinBox>("xChocGxSup")->setValue(1234);
    widget<QComboBox>("cboMvtFreq")->setCurrentIndex(7);
    DebugLog log;
    m_window->applyParameters();
    QCOMPARE(shown("xChocGxSup"), QVariant(1234));
    QCOMPARE(shown("cboMvtFreq"), QVariant(7));
    QCOMPARE(log.count("Apply "), 0);
    QVERIFY(log.contains("*----- Applying detected value to parameters -----*"));

    // A value of -1 cannot be told from a key never read.
    applyOnly(KeyShockGxSup, -1);
    QCOMPARE(shown("xChocGxSup"), QVariant(1234));
}

static QByteArray deviceDump(const QList<QByteArray> &lines)
{
    QByteArray dump;
    for (const QByteArray &line : lines)
        dump += line + "\r\n" + QByteArray(1, '\0');
    return dump + "OK\r\n";
}

void ReadbackWindowTest::aDumpSwitchesOnTheAlgorithmsItNames()
{
    m_window->firmwareVersion = 2.2f;
    widget<QCheckBox>("cbAllowPowerOFF")->setChecked(false);
    widget<QCheckBox>("cbMvt")->setChecked(true);
    m_window->paramDump = deviceDump({
        "------- COMMON -------", "pelko_orientation : 0", "Poweroff : allowed",
        "------- MPU -------", "maxRange : 4",
        "------- ALIVE -------", "modeRefresh : 1", "period : 3600000", "Algorithm ALIVE enable.",
        "------- CHOC -------", "freq : 63", "gxSup : 1500", "Algorithm SHOCK enable.",
        "------- TILT -------", "mode : 3", "period : 4000", "Algorithm TILT enable.",
    });
    DebugLog log;
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    QVERIFY(widget<QCheckBox>("cbAlive")->isChecked());
    QVERIFY(widget<QCheckBox>("cbChoc")->isChecked());
    QVERIFY(widget<QCheckBox>("cbTilt")->isChecked());
    QVERIFY(!widget<QCheckBox>("cbMvt")->isChecked());
    QVERIFY(widget<QCheckBox>("cbAllowPowerOFF")->isChecked());
    QCOMPARE(shown("xAlivePeriod"), QVariant(3600));
    QCOMPARE(shown("MPUmaxRange"), QVariant(2));
    QCOMPARE(shown("cboChocFreq"), QVariant(7));
    QCOMPARE(shown("xChocGxSup"), QVariant(1500));
    QCOMPARE(shown("xTiltPeriod"), QVariant(4000));
    // The fields of a switched-on algorithm are editable.
    QVERIFY(widget<QSpinBox>("xChocGxSup")->isEnabled());
    QVERIFY(log.contains("*-------- Disabling algorithm --------*"));
    QVERIFY(log.contains("*-------- Enabling algorithm --------*"));
    QVERIFY(log.lines().indexOf(QRegularExpression(".*Applying detected value.*"))
            < log.lines().indexOf(QRegularExpression(".*Enabling algorithm.*")));
}

void ReadbackWindowTest::anEmptyDumpSwitchesEveryAlgorithmOffButVibration()
{
    applyOnly(KeyShockGxSup, 2500); // from an earlier read
    widget<QSpinBox>("xChocGxSup")->setValue(800);
    for (const char *name : {"cbChoc", "cbTilt", "cbAllowPowerOFF", "cbVibe"})
        widget<QCheckBox>(name)->setChecked(true);
    m_window->paramDump.clear();
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    for (const char *name : {"cbAlive", "cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient",
                             "cbAllowPowerOFF"})
        QVERIFY2(!widget<QCheckBox>(name)->isChecked(), name);
    QVERIFY(widget<QCheckBox>("cbVibe")->isChecked());
    // The earlier read is applied again.
    QCOMPARE(shown("xChocGxSup"), QVariant(2500));
}

void ReadbackWindowTest::anUnknownDumpModeChangesNothing()
{
    widget<QCheckBox>("cbChoc")->setChecked(true);
    m_window->paramDump = deviceDump({"------- CHOC -------", "gxSup : 1500", "Algorithm SHOCK enable."});
    QCOMPARE(m_window->decodePelkoAlgo(1), -1);
    QVERIFY(widget<QCheckBox>("cbAlive")->isChecked());
    QVERIFY(widget<QCheckBox>("cbChoc")->isChecked());
    QCOMPARE(dumpKeyTable[KeyShockGxSup].decodedValue, -1);
}

void ReadbackWindowTest::readWithoutALinkTellsTheUserToConnect()
{
    DialogWatcher dialogs;
    DebugLog log;
    m_window->portReady = false;
    widget<QCheckBox>("cbChoc")->setChecked(true);
    // A button left enabled by mistake must not reach a closed port.
    widget<QPushButton>("readAlgoButton")->setEnabled(true);
    widget<QPushButton>("readAlgoButton")->click();
    QCOMPARE(dialogs.seen().size(), 1);
    QCOMPARE(dialogs.seen().at(0).kind, QStringLiteral("critical"));
    QCOMPARE(dialogs.seen().at(0).title, QStringLiteral("Error 7"));
    QCOMPARE(dialogs.seen().at(0).text,
             QStringLiteral("Please plug the product, turn it on and connect it to the app before doing anything."));
    QCOMPARE(widget<QTextEdit>("leVersion")->toPlainText(), QStringLiteral("ERROR 7: Product not connected"));
    QVERIFY(widget<QTextEdit>("leVersion")->styleSheet().contains("#ee0000"));
    QVERIFY(log.contains("ERROR 7: port com is not ready: Product not connected"));
    QVERIFY(widget<QCheckBox>("cbChoc")->isChecked());
}

static const QByteArray kLoRaAnswer =
    "ACK is enabled\r\n"
    "ADR is disabled\r\n"
    "Network is PRIVATE\r\n"
    "Mode : OTAA\r\n"
    "DevEui : 70B3D57ED0001234\r\n"
    "AppEui : 0011223344556677\r\n"
    "AppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\n"
    "NwkSKey : 000102030405060708090A0B0C0D0E0F\r\n"
    "AppSKey : F0E0D0C0B0A090807060504030201000\r\n"
    "DevAddr : 26011BDA\r\n"
    "NwkID : 000013\r\n"
    "Default_DR : 4\r\n"
    "JoinRequestError Timeout : 48h\r\n"
    "OK\r\n";

void ReadbackWindowTest::loRaSettingsDependOnTheRelease_data()
{
    QTest::addColumn<float>("release");
    QTest::addColumn<int>("dataRate");
    QTest::addColumn<int>("timeout");
    // Initial values: data rate 0, time-out 12.
    QTest::newRow("1.8 reads neither") << 1.8f << 0 << 12;
    QTest::newRow("1.9 reads the time-out") << 1.9f << 0 << 48;
    QTest::newRow("1.9.1 reads both") << 1.91f << 4 << 48;
    QTest::newRow("2.2 reads both") << 2.2f << 4 << 48;
}

void ReadbackWindowTest::loRaSettingsDependOnTheRelease()
{
    QFETCH(float, release);
    QFETCH(int, dataRate);
    QFETCH(int, timeout);
    m_window->firmwareVersion = release;
    m_window->loraAnswer = kLoRaAnswer;
    QCOMPARE(m_window->decodePelkoLoRa(), 0);
    QCOMPARE(widget<QSpinBox>("xLoRaDefaultDR")->value(), dataRate);
    QCOMPARE(widget<QSpinBox>("xJRErrorTimeout")->value(), timeout);
    // The rest does not depend on the release.
    QVERIFY(widget<QRadioButton>("rbMessageConfirmed")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbMessageUnconfirmed")->isChecked());
    QVERIFY(widget<QRadioButton>("rbADR_OFF")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbADR_ON")->isChecked());
    QVERIFY(widget<QRadioButton>("rbPrivateNetwork")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbPublicNetwork")->isChecked());
    QVERIFY(widget<QRadioButton>("rbPrivateNetwork")->isEnabled());
    QVERIFY(widget<QRadioButton>("rbOTAA")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbABP")->isChecked());
    QCOMPARE(widget<QLineEdit>("leDevEUI")->text(), QStringLiteral("70B3D57ED0001234"));
    QCOMPARE(widget<QLineEdit>("leAppEUI")->text(), QStringLiteral("0011223344556677"));
    QCOMPARE(widget<QLineEdit>("leNwkSKEY")->text(), QStringLiteral("000102030405060708090A0B0C0D0E0F"));
    QCOMPARE(widget<QLineEdit>("leAppSKEY")->text(), QStringLiteral("F0E0D0C0B0A090807060504030201000"));
    QCOMPARE(widget<QLineEdit>("leDevADDR")->text(), QStringLiteral("26011BDA"));
    QCOMPARE(widget<QLineEdit>("leNwkID")->text(), QStringLiteral("000013"));
    // OTAA: the session keys are not editable.
    QVERIFY(!widget<QLineEdit>("leAppSKEY")->isEnabled());
    QVERIFY(!widget<QLineEdit>("leNwkSKEY")->isEnabled());
}

void ReadbackWindowTest::loRaKeysAreMaskedAndIdentitiesLocked()
{
    m_window->firmwareVersion = 2.2f;
    m_window->loraAnswer = kLoRaAnswer;
    m_window->decodePelkoLoRa();
    QCOMPARE(widget<QLineEdit>("leAppKEY")->text(), QString(26, QLatin1Char('X')) + QStringLiteral("CF4F3C"));
    QVERIFY(m_window->devEuiLocked);
    QVERIFY(m_window->appKeyLocked);
    QVERIFY(widget<QLineEdit>("leDevEUI")->isReadOnly());
    QVERIFY(widget<QLineEdit>("leAppKEY")->isReadOnly());
    QVERIFY(!widget<QLineEdit>("leAppEUI")->isReadOnly());

    // A blank identity is not locked, yet stays read-only; the AppKey mask
    // always locks the key.
    init();
    m_window->loraAnswer = "Mode : ABP\r\nDevEui : 0000000000000000\r\n"
                           "AppKey : 00000000000000000000000000000000\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QVERIFY(!m_window->devEuiLocked);
    QVERIFY(m_window->appKeyLocked);
    QVERIFY(widget<QLineEdit>("leDevEUI")->isReadOnly());
    QCOMPARE(widget<QLineEdit>("leAppKEY")->text(), QString(26, QLatin1Char('X')) + QStringLiteral("000000"));
    // ABP: the session keys are editable, the AppKey is not.
    QVERIFY(widget<QLineEdit>("leAppSKEY")->isEnabled());
    QVERIFY(widget<QLineEdit>("leNwkSKEY")->isEnabled());
    QVERIFY(!widget<QLineEdit>("leAppKEY")->isEnabled());
}

void ReadbackWindowTest::loRaFieldsMissingFromTheAnswerStayAsTheyWere()
{
    m_window->firmwareVersion = 2.2f;
    widget<QLineEdit>("leAppEUI")->setText("ABC");
    widget<QLineEdit>("leNwkID")->setText("42");
    widget<QSpinBox>("xLoRaDefaultDR")->setValue(2);
    widget<QSpinBox>("xJRErrorTimeout")->setValue(36);
    // Every label missing but DevEui: no field may be filled from elsewhere.
    m_window->loraAnswer = "DevEui : 70B3D57ED0001234\r\nAppEui is not set\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QCOMPARE(widget<QLineEdit>("leDevEUI")->text(), QStringLiteral("70B3D57ED0001234"));
    QCOMPARE(widget<QLineEdit>("leAppEUI")->text(), QStringLiteral("ABC"));
    QCOMPARE(widget<QLineEdit>("leNwkID")->text(), QStringLiteral("42"));
    QCOMPARE(widget<QLineEdit>("leAppKEY")->text(), QString());
    QCOMPARE(widget<QLineEdit>("leNwkSKEY")->text(), QString());
    QCOMPARE(widget<QSpinBox>("xLoRaDefaultDR")->value(), 2);
    QCOMPARE(widget<QSpinBox>("xJRErrorTimeout")->value(), 36);
    QVERIFY(!m_window->appKeyLocked);
}

void ReadbackWindowTest::loRaTextIsInsertedAtTheCursorUpToTheMaximumLength()
{
    // The fields are normally cleared on disconnection; a field that still
    // holds text keeps it, and the device's text fills what room is left.
    widget<QLineEdit>("leDevEUI")->setText("12");
    widget<QLineEdit>("leDevEUI")->setReadOnly(true);
    m_window->loraAnswer = "DevEui : 70B3D57ED0001234\r\nDevAddr : 26011BDA0000\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QCOMPARE(widget<QLineEdit>("leDevEUI")->text(), QStringLiteral("1270B3D57ED00012"));
    QCOMPARE(widget<QLineEdit>("leDevADDR")->text(), QStringLiteral("26011BDA"));
}

void ReadbackWindowTest::loRaWithoutNetworkSentenceKeepsPublicAndLocksTheChoice()
{
    widget<QRadioButton>("rbPublicNetwork")->setChecked(false);
    widget<QRadioButton>("rbPrivateNetwork")->setChecked(true);
    widget<QRadioButton>("rbMessageConfirmed")->setChecked(true);
    m_window->loraAnswer = "ACK is disabled ACK is enabled\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QVERIFY(widget<QRadioButton>("rbPublicNetwork")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbPublicNetwork")->isEnabled());
    QVERIFY(!widget<QRadioButton>("rbPrivateNetwork")->isEnabled());
    // Both sentences: the second wins.
    QVERIFY(widget<QRadioButton>("rbMessageConfirmed")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbMessageUnconfirmed")->isChecked());
}

// Quiet times shortened for the dialogue with the simulated device; the time
// itself is not what these tests check.
class ShortQuietTimes
{
public:
    ShortQuietTimes()
        : m_read(readTimeout), m_saved(savedReadTimeout), m_save(LinkLimits::saveReadTimeoutMs),
          m_fast(LinkLimits::fastReadTimeoutMs), m_disconnect(LinkLimits::disconnectWaitMs)
    {
        readTimeout = 60;
        LinkLimits::fastReadTimeoutMs = 60;
        LinkLimits::saveReadTimeoutMs = 300;
        LinkLimits::disconnectWaitMs = 20;
    }
    ~ShortQuietTimes()
    {
        readTimeout = m_read;
        savedReadTimeout = m_saved;
        LinkLimits::saveReadTimeoutMs = m_save;
        LinkLimits::fastReadTimeoutMs = m_fast;
        LinkLimits::disconnectWaitMs = m_disconnect;
    }
    ShortQuietTimes(const ShortQuietTimes &) = delete;
    ShortQuietTimes &operator=(const ShortQuietTimes &) = delete;

private:
    int m_read, m_saved, m_save, m_fast, m_disconnect;
};

// A form setting as a user makes it: numbers typed, boxes and radio buttons
// clicked (so that the form logic runs), texts typed.
struct Setting
{
    QString field;
    QVariant value;
};
Q_DECLARE_METATYPE(QList<Setting>)

static QVariant fieldValue(MainWindow &window, const QString &name)
{
    QObject *o = window.findChild<QObject *>(name);
    if (auto *w = qobject_cast<QLineEdit *>(o))
        return w->text();
    if (auto *w = qobject_cast<QDoubleSpinBox *>(o))
        return w->value();
    if (auto *w = qobject_cast<QSpinBox *>(o))
        return w->value();
    if (auto *w = qobject_cast<QComboBox *>(o))
        return w->currentIndex();
    if (auto *w = qobject_cast<QSlider *>(o))
        return w->value();
    if (auto *w = qobject_cast<QAbstractButton *>(o))
        return w->isChecked();
    return QStringLiteral("no field %1").arg(name);
}

static bool applySetting(MainWindow &window, const Setting &setting)
{
    QObject *o = window.findChild<QObject *>(setting.field);
    if (auto *w = qobject_cast<QAbstractButton *>(o)) {
        if (w->isChecked() != setting.value.toBool()) {
            if (!w->isEnabled())
                return false;
            w->click();
        }
        return w->isChecked() == setting.value.toBool();
    }
    if (auto *w = qobject_cast<QLineEdit *>(o))
        w->setText(setting.value.toString());
    else if (auto *w = qobject_cast<QDoubleSpinBox *>(o))
        w->setValue(setting.value.toDouble());
    else if (auto *w = qobject_cast<QSpinBox *>(o))
        w->setValue(setting.value.toInt());
    else if (auto *w = qobject_cast<QComboBox *>(o))
        w->setCurrentIndex(setting.value.toInt());
    else if (auto *w = qobject_cast<QSlider *>(o))
        w->setValue(setting.value.toInt());
    else
        return false;
    return fieldValue(window, setting.field) == setting.value;
}

static void click(MainWindow &window, const char *button)
{
    window.findChild<QPushButton *>(QLatin1String(button))->click();
}

void ReadbackWindowTest::aConfiguredDeviceReadsBackAsItWasSent_data()
{
    QTest::addColumn<QList<Setting>>("settings");

    // Common and ALIVE settings and the LoRa tab go with every configuration.
    const QList<Setting> common = {
        {"xNbAliveFrameBeforeLog", 77}, {"xNbSecondBeforeStart", 3}, {"xButtonDelay", 9},
        {"rbPelkoStayUpright", true}, {"xAlivePeriod", 3600}, {"xAliveNbSavedValue", 7},
        {"rbABP", true}, {"leAppEUI", "A1B2C3D4E5F60718"},
        {"leAppSKEY", "F0E0D0C0B0A090807060504030201000"},
        {"leNwkSKEY", "000102030405060708090A0B0C0D0E0F"}, {"leNwkID", "00002A"},
        {"leDevADDR", "26011BDA"}, {"rbMessageConfirmed", true}, {"rbADR_ON", true},
        {"xLoRaDefaultDR", 3}, {"rbPrivateNetwork", true}, {"xJRErrorTimeout", 48},
    };

    QTest::newRow("SHOCK and TILT")
        << common + QList<Setting>{
               {"cbChoc", true}, {"cbTilt", true}, {"MPUmaxRange", 3},
               {"cboChocFreq", 8}, {"xChocGxSup", 1100}, {"xChocGxNeg", 1200}, {"xChocGySup", 1300},
               {"xChocGyNeg", 1400}, {"xChocGzSup", 1500}, {"xChocGzNeg", 1600},
               {"xChocInhibition", 250}, {"cbChocRemoveGravity", true}, {"cbChocEnableShockLog", true},
               {"xChocNbAliveFrameBeforeShockLog", 12},
               {"cbTiltModeRefresh", true}, {"cbTiltModeOnMove", false}, {"cbTiltModeAlertZone", true},
               {"cbTiltModeSignedMeasure", true}, {"cbTiltModeAlertMultiple", true},
               {"xTiltPeriod", 4500}, {"xTiltThresholdPitch", 30}, {"xTiltThresholdRoll", 60},
               {"xAlgoPeriod", 900}, {"cbAllowPowerOFF", false}};
    QTest::newRow("MOTION tracking and TEMPERATURE")
        << common + QList<Setting>{
               {"cbMvt", true}, {"cbTemp", true}, {"MPUmaxRange", 2},
               {"cboMvtFreq", 4}, {"xMvtGxSup", 310}, {"xMvtGxNeg", 320}, {"xMvtGySup", 330},
               {"xMvtGyNeg", 340}, {"xMvtGzSup", 350}, {"xMvtGzNeg", 360}, {"xMvtTimerX", 2500},
               {"xMvtTimerY", 3500}, {"xMvtSensitivity", 42},
               {"cbMvtTracking", true}, {"cboMvtTrackingBurstMode", 3},
               {"cboMvtTrackingBurstNumberMotion", 2}, {"cboMvtTrackingBurstNumberStillness", 0},
               {"xMvtTrackingFrameNumberBeforeBurst", 20}, {"xMvtTrackingAlertPeriodMotion", 700},
               {"xMvtTrackingAlertPeriodStillness", 8000},
               {"xTempNbSavedValue", 6}, {"cbTempModeThreshold", true}, {"xTempThetaMax", 30.5},
               {"xTempThetaMin", -2.5}, {"xTempDeltaTheta", 0.5}, {"xTempSlowPeriod", 60},
               {"xTempFastPeriod", 6000}, {"xTempUltraFastPeriod", 2500}, {"xTempNbExcess", 8},
               {"cbEnableLog", true}, {"cbAllowPowerOFF", true}};
    QTest::newRow("ROTATION and ORIENTATION")
        << common + QList<Setting>{
               {"cbRotation", true}, {"cbRotationModeOnMove", false}, {"xRotationPeriod", 6000},
               {"xRotationNbLap", 12}, {"cbRotationResetLapButton", false},
               {"cbOrient", true}, {"cbOrientModeOnMove", true}, {"xOrientPeriod", 45},
               {"xOrientThreshold", 900}, {"xOrientMesureLength", 7}, {"xOrientThresholdPitch", -30},
               {"xOrientThresholdRoll", 20}, {"xOrientThresholdYaw", -120}, {"MPUmaxRange", 1}};
}

void ReadbackWindowTest::aConfiguredDeviceReadsBackAsItWasSent()
{
    QFETCH(QList<Setting>, settings);
    m_window.reset();
    ShortQuietTimes quick;
    SimHarness sim;
    QVERIFY(sim.isReady());
    DialogWatcher dialogs;

    QMap<QString, QVariant> sent;
    {
        MainWindow first;
        click(first, "startButton");
        QCOMPARE(first.findChild<QPushButton *>("startButton")->text(), QStringLiteral("Start"));
        for (const Setting &setting : settings) {
            QVERIFY2(applySetting(first, setting), qPrintable(setting.field));
            sent.insert(setting.field, fieldValue(first, setting.field));
        }
        // Settings made later may move earlier ones (the form logic): what
        // counts is what the form shows when it is sent.
        for (const Setting &setting : settings)
            sent.insert(setting.field, fieldValue(first, setting.field));
        dialogs.clear();
        click(first, "startButton");
        QVERIFY2(dialogs.sawTitle("Success"), qPrintable(dialogs.summary()));
        click(first, "stopButton");
    }

    // A new window and a table that has never seen a dump: whatever shows
    // now came from the device.
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    MainWindow second;
    click(second, "startButton");
    QCOMPARE(second.findChild<QPushButton *>("startButton")->text(), QStringLiteral("Start"));
    dialogs.clear();
    click(second, "readAlgoButton");
    QVERIFY2(dialogs.seen().isEmpty(), qPrintable(dialogs.summary()));

    QStringList differences;
    for (auto it = sent.constBegin(); it != sent.constEnd(); ++it) {
        const QVariant back = fieldValue(second, it.key());
        if (back != it.value())
            differences << QStringLiteral("%1: sent %2, read %3").arg(it.key(), it.value().toString(), back.toString());
    }
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1String("; "))));
    // The identity and key the device already had stay shown, the key masked.
    QCOMPARE(fieldValue(second, "leDevEUI"), QVariant(QStringLiteral("70B3D57ED005A1C4")));
    QCOMPARE(fieldValue(second, "leAppKEY"), QVariant(QString(26, QLatin1Char('X')) + QStringLiteral("CF4F3C")));
}

void ReadbackWindowTest::aRefusedDumpIsReportedAfterDebugIsSwitchedOffAgain()
{
    m_window.reset();
    ShortQuietTimes quick;
    SimHarness sim;
    QVERIFY(sim.isReady());
    DialogWatcher dialogs;
    MainWindow window;
    click(window, "startButton");
    QVERIFY(window.findChild<QPushButton *>("readAlgoButton")->isEnabled());
    sim.device().setFault("DUMP RAM PARAM", SimFault::Refuses);
    sim.device().clearReceived();
    dialogs.clear();
    DebugLog log;
    click(window, "readAlgoButton");

    QCOMPARE(sim.device().receivedLines(),
             (QList<QByteArray>{"DEBUG 1\r\n", "DUMP RAM PARAM  0\r\n", "DEBUG 0\r\n"}));
    QCOMPARE(dialogs.seen().size(), 1);
    QCOMPARE(dialogs.seen().at(0).kind, QStringLiteral("critical"));
    QCOMPARE(dialogs.seen().at(0).title, QStringLiteral("Error 12"));
    QCOMPARE(dialogs.seen().at(0).text, QStringLiteral("Read Pelko config failed ! Please try again."));
    QCOMPARE(window.findChild<QTextEdit *>("leVersion")->toPlainText(),
             QStringLiteral("ERROR 12: Read Pelko config failed"));
    QVERIFY(window.findChild<QTextEdit *>("leVersion")->styleSheet().contains("#ee0000"));
    QVERIFY(log.contains("ERROR when sending command 'DUMP RAM PARAM'"));
    QVERIFY(!log.contains("ERROR when sending command 'DEBUG"));
}

QTEST_MAIN(ReadbackWindowTest)
#include "tst_readback_window.moc"
