#include "link/timing.h"
#include "mainwindow.h"
#include "readback/dumpkeytable.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "golden.h"
#include "linktimes.h"
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

#include <functional>
#include <memory>

// A form value as a user makes it: numbers typed, boxes and radio buttons
// clicked (so that the form logic runs), texts typed.
struct Setting
{
    QString field;
    QVariant value;
};
Q_DECLARE_METATYPE(QList<Setting>)

// What the user sees in a field, whatever its kind.
static QVariant shownIn(QWidget &window, const QString &name)
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

static bool enter(QWidget &window, const Setting &setting)
{
    QObject *o = window.findChild<QObject *>(setting.field);
    if (auto *w = qobject_cast<QAbstractButton *>(o)) {
        if (w->isChecked() != setting.value.toBool())
            w->click();
    } else if (auto *w = qobject_cast<QLineEdit *>(o)) {
        w->setText(setting.value.toString());
    } else if (auto *w = qobject_cast<QDoubleSpinBox *>(o)) {
        w->setValue(setting.value.toDouble());
    } else if (auto *w = qobject_cast<QSpinBox *>(o)) {
        w->setValue(setting.value.toInt());
    } else if (auto *w = qobject_cast<QComboBox *>(o)) {
        w->setCurrentIndex(setting.value.toInt());
    } else if (auto *w = qobject_cast<QSlider *>(o)) {
        w->setValue(setting.value.toInt());
    }
    return shownIn(window, setting.field) == setting.value;
}

static void click(QWidget &window, const char *button)
{
    window.findChild<QPushButton *>(QLatin1String(button))->click();
}

static QByteArray deviceDump(const QList<QByteArray> &lines)
{
    QByteArray dump;
    for (const QByteArray &line : lines)
        dump += line + "\r\n" + QByteArray(1, '\0');
    return dump + "OK\r\n";
}

static const QByteArray kLoRaAnswer =
    "ACK is enabled\r\nADR is disabled\r\nNetwork is PRIVATE\r\nMode : OTAA\r\n"
    "DevEui : 70B3D57ED0001234\r\nAppEui : 0011223344556677\r\n"
    "AppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nNwkSKey : 000102030405060708090A0B0C0D0E0F\r\n"
    "AppSKey : F0E0D0C0B0A090807060504030201000\r\nDevAddr : 26011BDA\r\nNwkID : 000013\r\n"
    "Default_DR : 4\r\nJoinRequestError Timeout : 48h\r\nOK\r\n";

static const QString kMask(26, QLatin1Char('X'));

// The key table is process-wide and keeps its values; every test starts from
// a table that has never seen a dump, in a new window.
class ReadbackWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_window.reset(); }

    void applyingADumpMatchesTheGoldenForm();
    void orientationIsUprightWhileRotationIsOn_data();
    void orientationIsUprightWhileRotationIsOn();
    void aDumpSwitchesOnTheAlgorithmsItNamesOverItsValues();
    void anEmptyDumpSwitchesEveryAlgorithmOffButVibration();
    void readWithoutALinkTellsTheUserToConnect();

    void loRaSettingsDependOnTheRelease_data();
    void loRaSettingsDependOnTheRelease();
    void loRaKeyIsMaskedAndIdentitiesLocked();
    void loRaFieldsMissingFromTheAnswerStayAsTheyWere();
    void loRaWithoutNetworkSentenceKeepsPublicAndLocksTheChoice();

    void aRefusedDumpIsReportedAfterDebugIsSwitchedOffAgain();
    void aConfiguredDeviceReadsBackAsItWasSent_data();
    void aConfiguredDeviceReadsBackAsItWasSent();

private:
    template<typename T>
    T *widget(const char *name)
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    QVariant shown(const QString &name) { return shownIn(*m_window, name); }
    void applyOnly(int key, int value)
    {
        dumpKeyTable[key].decodedValue = value;
        m_window->applyParameters();
    }

    std::unique_ptr<MainWindow> m_window;
};

void ReadbackWindowTest::init()
{
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    m_window.reset(new MainWindow);
}

// Every field of the form as the user sees it: value and whether it is open.
static QStringList formState(QWidget &window)
{
    QStringList lines;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const bool field = qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w) ||
                           qobject_cast<QSlider *>(w) || qobject_cast<QAbstractButton *>(w) ||
                           qobject_cast<QLineEdit *>(w) || qobject_cast<QLabel *>(w);
        if (field)
            lines << QStringLiteral("%1 %2 %3")
                         .arg(w->objectName(), shownIn(window, w->objectName()).toString(),
                              w->isEnabled() ? "on" : "off");
    }
    return lines;
}

void ReadbackWindowTest::applyingADumpMatchesTheGoldenForm()
{
    // Values chosen to reach every conversion: periods in milliseconds,
    // hundredths, ranges, frequencies, burst counts and mode bits.
    const std::function<int(int)> fillings[] = {
        [](int i) { return (i * 7919) % 5000 - 500; },
        [](int i) { return i % 3; },
        [](int i) { return i % 2 ? 7200000 + i * 1001 : -1; },
        [](int i) { return (i * 37) % 64; },
        [](int i) { return 1 << (i % 6); },
    };
    QStringList all;
    int n = 0;
    for (const auto &filling : fillings) {
        for (bool rotation : {false, true}) {
            init();
            widget<QCheckBox>("cbRotation")->setChecked(rotation);
            for (int i = 0; i < kDumpKeyCount; ++i)
                dumpKeyTable[i].decodedValue = filling(i);
            DebugLog log;
            m_window->applyParameters();
            all << QStringLiteral("### filling %1, rotation %2").arg(n).arg(rotation) << formState(*m_window);
            for (const QString &line : log.lines())
                all << "log " + line;
        }
        ++n;
    }
    PELKO_COMPARE_WITH_GOLDEN(all, "applied_forms.txt");
}

void ReadbackWindowTest::orientationIsUprightWhileRotationIsOn_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("rotation");
    QTest::addColumn<bool>("upright");
    QTest::newRow("0 without ROTATION: laid flat") << 0 << false << false;
    QTest::newRow("0 with ROTATION: upright") << 0 << true << true;
    QTest::newRow("non-zero: upright") << 5 << false << true;
}

void ReadbackWindowTest::orientationIsUprightWhileRotationIsOn()
{
    QFETCH(int, value);
    QFETCH(bool, rotation);
    QFETCH(bool, upright);
    widget<QCheckBox>("cbRotation")->setChecked(rotation);
    widget<QRadioButton>("rbPelkoLaidFlat")->setChecked(upright);
    widget<QRadioButton>("rbPelkoStayUpright")->setChecked(!upright);
    applyOnly(KeyPelkoOrientation, value);
    QCOMPARE(widget<QRadioButton>("rbPelkoStayUpright")->isChecked(), upright);
    QCOMPARE(widget<QRadioButton>("rbPelkoLaidFlat")->isChecked(), !upright);
    QCOMPARE(widget<QLabel>("imagePelkoUp")->isEnabled(), upright);
    QCOMPARE(widget<QLabel>("imagePelkoFlat")->isEnabled(), !upright);
}

void ReadbackWindowTest::aDumpSwitchesOnTheAlgorithmsItNamesOverItsValues()
{
    m_window->firmwareVersion = 2.2f;
    widget<QCheckBox>("cbMvt")->setChecked(true);
    m_window->paramDump = deviceDump({
        "------- COMMON -------",
        "Poweroff : allowed",
        "------- ALIVE -------",
        "Algorithm ALIVE enable.",
        "------- CHOC -------",
        "gxSup : 1500",
        "Algorithm SHOCK enable.",
        "------- TILT -------",
        "period : 4000",
        "Algorithm TILT enable.",
    });
    DebugLog log;
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    for (const char *on : {"cbAlive", "cbChoc", "cbTilt", "cbAllowPowerOFF"})
        QVERIFY2(widget<QCheckBox>(on)->isChecked(), on);
    QVERIFY(!widget<QCheckBox>("cbMvt")->isChecked());
    QCOMPARE(shown("xChocGxSup"), QVariant(1500));
    QCOMPARE(shown("xTiltPeriod"), QVariant(4000));
    QVERIFY(widget<QSpinBox>("xChocGxSup")->isEnabled());
    const QStringList lines = log.lines();
    QVERIFY(lines.indexOf("*-------- Disabling algorithm --------*") >= 0);
    QVERIFY(lines.indexOf("*----- Applying detected value to parameters -----*") <
            lines.indexOf("*-------- Enabling algorithm --------*"));
}

void ReadbackWindowTest::anEmptyDumpSwitchesEveryAlgorithmOffButVibration()
{
    applyOnly(KeyShockGxSup, 2500); // from an earlier read
    widget<QSpinBox>("xChocGxSup")->setValue(800);
    for (const char *name : {"cbChoc", "cbTilt", "cbAllowPowerOFF", "cbVibe"})
        widget<QCheckBox>(name)->setChecked(true);
    QCOMPARE(m_window->decodePelkoAlgo(1), -1); // an unknown mode changes nothing
    QVERIFY(widget<QCheckBox>("cbChoc")->isChecked());

    m_window->paramDump.clear();
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    for (const char *off :
         {"cbAlive", "cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient", "cbAllowPowerOFF"})
        QVERIFY2(!widget<QCheckBox>(off)->isChecked(), off);
    QVERIFY(widget<QCheckBox>("cbVibe")->isChecked());
    QCOMPARE(shown("xChocGxSup"), QVariant(2500)); // the earlier read, applied again
}

void ReadbackWindowTest::readWithoutALinkTellsTheUserToConnect()
{
    DialogWatcher dialogs;
    m_window->portReady = false;
    // A button left enabled by mistake must not reach a closed port.
    widget<QPushButton>("readAlgoButton")->setEnabled(true);
    click(*m_window, "readAlgoButton");
    QCOMPARE(dialogs.summary(), QStringLiteral("critical Error 7: Please plug the product, turn it on and "
                                               "connect it to the app before doing anything."));
    QCOMPARE(widget<QTextEdit>("leVersion")->toPlainText(), QStringLiteral("ERROR 7: Product not connected"));
    QVERIFY(widget<QTextEdit>("leVersion")->styleSheet().contains("#ee0000"));
}

void ReadbackWindowTest::loRaSettingsDependOnTheRelease_data()
{
    QTest::addColumn<float>("release");
    QTest::addColumn<int>("dataRate"); // initially 0
    QTest::addColumn<int>("timeout");  // initially 12
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
    QCOMPARE(shown("xLoRaDefaultDR"), QVariant(dataRate));
    QCOMPARE(shown("xJRErrorTimeout"), QVariant(timeout));
    const QList<Setting> expected = {{"rbMessageConfirmed", true},
                                     {"rbMessageUnconfirmed", false},
                                     {"rbADR_OFF", true},
                                     {"rbADR_ON", false},
                                     {"rbPrivateNetwork", true},
                                     {"rbPublicNetwork", false},
                                     {"rbOTAA", true},
                                     {"rbABP", false},
                                     {"leDevEUI", "70B3D57ED0001234"},
                                     {"leAppEUI", "0011223344556677"},
                                     {"leNwkSKEY", "000102030405060708090A0B0C0D0E0F"},
                                     {"leAppSKEY", "F0E0D0C0B0A090807060504030201000"},
                                     {"leDevADDR", "26011BDA"},
                                     {"leNwkID", "000013"}};
    for (const Setting &s : expected)
        QCOMPARE(shown(s.field), s.value);
    QVERIFY(widget<QRadioButton>("rbPrivateNetwork")->isEnabled());
    QVERIFY(!widget<QLineEdit>("leAppSKEY")->isEnabled()); // OTAA has no session keys
}

void ReadbackWindowTest::loRaKeyIsMaskedAndIdentitiesLocked()
{
    m_window->loraAnswer = kLoRaAnswer;
    m_window->decodePelkoLoRa();
    QCOMPARE(shown("leAppKEY"), QVariant(kMask + "CF4F3C"));
    QVERIFY(m_window->devEuiLocked && m_window->appKeyLocked);
    QVERIFY(widget<QLineEdit>("leDevEUI")->isReadOnly());
    QVERIFY(!widget<QLineEdit>("leAppEUI")->isReadOnly());

    // A blank identity is not locked yet stays read-only; text already in a
    // field stays, the device's fills what room is left.
    init();
    widget<QLineEdit>("leDevADDR")->setText("12");
    m_window->loraAnswer = "Mode : ABP\r\nDevEui : 0000000000000000\r\nDevAddr : 26011BDA\r\n"
                           "AppKey : 00000000000000000000000000000000\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QVERIFY(!m_window->devEuiLocked);
    QVERIFY(m_window->appKeyLocked);
    QVERIFY(widget<QLineEdit>("leDevEUI")->isReadOnly());
    QCOMPARE(shown("leAppKEY"), QVariant(kMask + "000000"));
    QCOMPARE(shown("leDevADDR"), QVariant("1226011BDA"));
    QVERIFY(widget<QLineEdit>("leAppSKEY")->isEnabled()); // ABP
    QVERIFY(!widget<QLineEdit>("leAppKEY")->isEnabled());
}

void ReadbackWindowTest::loRaFieldsMissingFromTheAnswerStayAsTheyWere()
{
    m_window->firmwareVersion = 2.2f;
    const QList<Setting> before = {
        {"leAppEUI", "ABC"}, {"leNwkID", "42"}, {"xLoRaDefaultDR", 2}, {"xJRErrorTimeout", 36}};
    for (const Setting &s : before)
        QVERIFY(enter(*m_window, s));
    m_window->loraAnswer = "DevEui : 70B3D57ED0001234\r\nAppEui is not set\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QCOMPARE(shown("leDevEUI"), QVariant("70B3D57ED0001234"));
    for (const Setting &s : before)
        QCOMPARE(shown(s.field), s.value);
    QCOMPARE(shown("leAppKEY"), QVariant(""));
    QCOMPARE(shown("leNwkSKEY"), QVariant(""));
    QVERIFY(!m_window->appKeyLocked);
}

void ReadbackWindowTest::loRaWithoutNetworkSentenceKeepsPublicAndLocksTheChoice()
{
    widget<QRadioButton>("rbPublicNetwork")->setChecked(false);
    widget<QRadioButton>("rbPrivateNetwork")->setChecked(true);
    m_window->loraAnswer = "ACK is disabled ACK is enabled\r\nOK\r\n";
    m_window->decodePelkoLoRa();
    QVERIFY(widget<QRadioButton>("rbPublicNetwork")->isChecked());
    QVERIFY(!widget<QRadioButton>("rbPublicNetwork")->isEnabled());
    QVERIFY(!widget<QRadioButton>("rbPrivateNetwork")->isEnabled());
    QVERIFY(widget<QRadioButton>("rbMessageConfirmed")->isChecked()); // the second sentence wins
}

void ReadbackWindowTest::aRefusedDumpIsReportedAfterDebugIsSwitchedOffAgain()
{
    m_window.reset();
    ShortLinkTimes quick(60, 300);
    SimHarness sim;
    QVERIFY(sim.isReady());
    DialogWatcher dialogs;
    MainWindow window;
    click(window, "startButton");
    sim.device().setFault("DUMP RAM PARAM", SimFault::Refuses);
    sim.device().clearReceived();
    dialogs.clear();
    click(window, "readAlgoButton");
    QCOMPARE(sim.device().receivedLines(), (QList<QByteArray>{"DEBUG 1\r\n", "DUMP RAM PARAM  0\r\n", "DEBUG 0\r\n"}));
    QCOMPARE(dialogs.summary(), QStringLiteral("critical Error 12: Read Pelko config failed ! Please try again."));
    QCOMPARE(window.findChild<QTextEdit *>("leVersion")->toPlainText(),
             QStringLiteral("ERROR 12: Read Pelko config failed"));
}

void ReadbackWindowTest::aConfiguredDeviceReadsBackAsItWasSent_data()
{
    QTest::addColumn<QList<Setting>>("settings");
    // Common and ALIVE settings and the LoRa tab go with every configuration.
    const QList<Setting> common = {{"xNbAliveFrameBeforeLog", 77},
                                   {"xNbSecondBeforeStart", 3},
                                   {"xButtonDelay", 9},
                                   {"rbPelkoStayUpright", true},
                                   {"xAlivePeriod", 3600},
                                   {"xAliveNbSavedValue", 7},
                                   {"rbABP", true},
                                   {"leAppEUI", "A1B2C3D4E5F60718"},
                                   {"leAppSKEY", "F0E0D0C0B0A090807060504030201000"},
                                   {"leNwkSKEY", "000102030405060708090A0B0C0D0E0F"},
                                   {"leNwkID", "00002A"},
                                   {"leDevADDR", "26011BDA"},
                                   {"rbMessageConfirmed", true},
                                   {"rbADR_ON", true},
                                   {"xLoRaDefaultDR", 3},
                                   {"rbPrivateNetwork", true},
                                   {"xJRErrorTimeout", 48}};
    QTest::newRow("SHOCK and TILT") << common + QList<Setting>{{"cbChoc", true},
                                                               {"cbTilt", true},
                                                               {"MPUmaxRange", 3},
                                                               {"cboChocFreq", 8},
                                                               {"xChocGxSup", 1100},
                                                               {"xChocGxNeg", 1200},
                                                               {"xChocGySup", 1300},
                                                               {"xChocGyNeg", 1400},
                                                               {"xChocGzSup", 1500},
                                                               {"xChocGzNeg", 1600},
                                                               {"xChocInhibition", 250},
                                                               {"cbChocRemoveGravity", true},
                                                               {"xChocNbAliveFrameBeforeShockLog", 12},
                                                               {"cbTiltModeOnMove", false},
                                                               {"cbTiltModeAlertZone", true},
                                                               {"cbTiltModeSignedMeasure", true},
                                                               {"cbTiltModeAlertMultiple", true},
                                                               {"xTiltPeriod", 4500},
                                                               {"xTiltThresholdPitch", 30},
                                                               {"xTiltThresholdRoll", 60},
                                                               {"xAlgoPeriod", 900},
                                                               {"cbAllowPowerOFF", false}};
    QTest::newRow("MOTION tracking and TEMPERATURE")
        << common + QList<Setting>{{"cbMvt", true},
                                   {"cbTemp", true},
                                   {"MPUmaxRange", 2},
                                   {"cboMvtFreq", 4},
                                   {"xMvtGxSup", 310},
                                   {"xMvtGxNeg", 320},
                                   {"xMvtGySup", 330},
                                   {"xMvtGyNeg", 340},
                                   {"xMvtGzSup", 350},
                                   {"xMvtGzNeg", 360},
                                   {"xMvtTimerX", 2500},
                                   {"xMvtTimerY", 3500},
                                   {"xMvtSensitivity", 42},
                                   {"cbMvtTracking", true},
                                   {"cboMvtTrackingBurstMode", 3},
                                   {"cboMvtTrackingBurstNumberMotion", 2},
                                   {"cboMvtTrackingBurstNumberStillness", 0},
                                   {"xMvtTrackingFrameNumberBeforeBurst", 20},
                                   {"xMvtTrackingAlertPeriodMotion", 700},
                                   {"xMvtTrackingAlertPeriodStillness", 8000},
                                   {"xTempNbSavedValue", 6},
                                   {"xTempThetaMax", 30.5},
                                   {"xTempThetaMin", -2.5},
                                   {"xTempDeltaTheta", 0.5},
                                   {"xTempSlowPeriod", 60},
                                   {"xTempFastPeriod", 6000},
                                   {"xTempUltraFastPeriod", 2500},
                                   {"xTempNbExcess", 8}};
    QTest::newRow("ROTATION and ORIENTATION")
        << common +
               QList<Setting>{
                   {"cbRotation", true},           {"cbRotationModeOnMove", false},     {"xRotationPeriod", 6000},
                   {"xRotationNbLap", 12},         {"cbRotationResetLapButton", false}, {"cbOrient", true},
                   {"xOrientPeriod", 45},          {"xOrientThreshold", 900},           {"xOrientMesureLength", 7},
                   {"xOrientThresholdPitch", -30}, {"xOrientThresholdRoll", 20},        {"xOrientThresholdYaw", -120}};
    QTest::newRow("VIBRATION alone") << common + QList<Setting>{{"cbVibe", true},
                                                                {"cbVibeOnY", false},
                                                                {"xVibrationPeriod", 120},
                                                                {"xVibrationAmplitudeX", 1100},
                                                                {"xVibrationAmplitudeY", 1200},
                                                                {"xVibrationAmplitudeZ", 1300},
                                                                {"xVibrationFreqMin", 20},
                                                                {"xVibrationFreqMax", 450}};
}

void ReadbackWindowTest::aConfiguredDeviceReadsBackAsItWasSent()
{
    QFETCH(QList<Setting>, settings);
    m_window.reset();
    ShortLinkTimes quick(60, 300);
    SimHarness sim;
    QVERIFY(sim.isReady());
    DialogWatcher dialogs;

    QMap<QString, QVariant> sent;
    {
        MainWindow first;
        click(first, "startButton");
        for (const Setting &setting : settings)
            QVERIFY2(enter(first, setting), qPrintable(setting.field));
        // The form logic may move earlier settings: what counts is what is sent.
        for (const Setting &setting : settings)
            sent.insert(setting.field, shownIn(first, setting.field));
        dialogs.clear();
        click(first, "startButton");
        QVERIFY2(dialogs.sawTitle("Success"), qPrintable(dialogs.summary()));
        click(first, "stopButton");
    }

    // A new window and a table that never saw a dump: what shows came from the device.
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    MainWindow second;
    click(second, "startButton");
    dialogs.clear();
    click(second, "readAlgoButton");
    QVERIFY2(dialogs.seen().isEmpty(), qPrintable(dialogs.summary()));
    QStringList differences;
    for (auto it = sent.constBegin(); it != sent.constEnd(); ++it) {
        // The dump names no sentence for VIBRATION: its box keeps the state
        // this window gave it, only its fields come from the device.
        if (it.key() == QLatin1String("cbVibe"))
            continue;
        const QVariant back = shownIn(second, it.key());
        if (back != it.value())
            differences << QStringLiteral("%1: sent %2, read %3").arg(it.key(), it.value().toString(), back.toString());
    }
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1String("; "))));
    // The identity and key the device already had are kept, the key masked.
    QCOMPARE(shownIn(second, "leDevEUI"), QVariant("70B3D57ED005A1C4"));
    QCOMPARE(shownIn(second, "leAppKEY"), QVariant(kMask + "CF4F3C"));
}

QTEST_MAIN(ReadbackWindowTest)
#include "tst_readback_window.moc"
