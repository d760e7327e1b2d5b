// What the window does with each answer it is handed: the console echo, the
// status box after VERSION and the features each release opens, the LoRa tab
// and the Algos tab filled from what the device reported.

#include "link/timing.h"
#include "mainwindow.h"
#include "readback/dumpkeytable.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "golden.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>
#include <tuple>

namespace {

QByteArray versionAnswer(const QByteArray &release)
{
    return "\x1b[32mFirmware : v" + release + "\x1b[0m\r\nOK\r\n>";
}

// What the user sees in a field, whatever its kind.
QVariant shownIn(QWidget &window, const QString &name)
{
    QObject *o = window.findChild<QObject *>(name);
    if (auto *w = qobject_cast<QLineEdit *>(o))
        return w->text();
    if (qobject_cast<QAbstractSpinBox *>(o) || qobject_cast<QSlider *>(o))
        return o->property("value");
    if (auto *w = qobject_cast<QComboBox *>(o))
        return w->currentIndex();
    if (auto *w = qobject_cast<QAbstractButton *>(o))
        return w->isChecked();
    return QStringLiteral("no field %1").arg(name);
}

// Every field under `area` as the user sees it: value, whether it is open and
// whether it takes typing.
QStringList formState(QWidget &window, QWidget &area)
{
    QStringList lines;
    for (QWidget *w : area.findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const bool field = qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w) ||
                           qobject_cast<QSlider *>(w) || qobject_cast<QAbstractButton *>(w) ||
                           qobject_cast<QLineEdit *>(w) || qobject_cast<QLabel *>(w);
        const auto *edit = qobject_cast<QLineEdit *>(w);
        if (field)
            lines << QStringLiteral("%1 %2 %3%4")
                         .arg(w->objectName(), shownIn(window, w->objectName()).toString(),
                              w->isEnabled() ? "on" : "off", edit && edit->isReadOnly() ? " read-only" : "");
    }
    return lines;
}

const QByteArray kLoRaAnswer =
    "ACK is enabled\r\nADR is disabled\r\nNetwork is PRIVATE\r\nMode : OTAA\r\n"
    "DevEui : 70B3D57ED0001234\r\nAppEui : 0011223344556677\r\n"
    "AppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nNwkSKey : 000102030405060708090A0B0C0D0E0F\r\n"
    "AppSKey : F0E0D0C0B0A090807060504030201000\r\nDevAddr : 26011BDA\r\nNwkID : 000013\r\n"
    "Default_DR : 4\r\nJoinRequestError Timeout : 48h\r\nOK\r\n";

} // namespace

// The key table is process-wide and keeps its values; every test starts from
// a table that has never seen a dump, in a new window.
class ReadbackWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void versionAnswerIsEchoedAndShownOnGreenOrError6OnRed();
    void releaseOpensItsFeaturesAndAnOlderOneClosesNone();
    void onlyAcceptedSettingsAndDumpsReachTheirDecoders();

    void applyingADumpMatchesTheGoldenForm();
    void decodingLoRaAnswersMatchesTheGoldenTab();
    void aDumpTicksTheAlgorithmsItNamesAndNoOther();
    void readWithoutALinkTellsTheUserToConnect();

private:
    std::unique_ptr<MainWindow> m_window;
};

void ReadbackWindowTest::init()
{
    readTimeout = 200;
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    m_window.reset(new MainWindow);
}

void ReadbackWindowTest::cleanup()
{
    m_window.reset();
    readTimeout = 200;
}

void ReadbackWindowTest::versionAnswerIsEchoedAndShownOnGreenOrError6OnRed()
{
    // answer, release known before, release after, text shown (none: error 6)
    const std::tuple<QByteArray, float, float, QString> rows[] = {
        {versionAnswer("2.2"), 0.0f, 2.2f, "Firmware : v2.2\nOK\n>"},
        {"<i>Firmware : v2.2</i>\r\nOK\r\n>", 0.0f, 2.2f, "<i>Firmware : v2.2</i>\nOK\n>"},
        {"Firmware : vX\r\nOK\r\n>", 2.2f, 2.2f, "Firmware : vX\nOK\n>"},
        {"", 1.8f, 1.8f, ""},
    };
    for (auto [answer, before, after, shown] : rows) {
        MainWindow window;
        const FormProbe form(window);
        form.find<QTextEdit>("consoleOutput")->setPlainText(QStringLiteral("before\n"));
        window.firmwareVersion = before;
        window.decodePelkoData("VERSION", answer);
        QCOMPARE(form.find<QTextEdit>("consoleOutput")->toPlainText(), "before\n" + shown);
        QCOMPARE(form.statusShown(),
                 shown.isEmpty() ? statusOf(Error::NoVersion) : shown + QStringLiteral(" [%1]").arg(StatusStyle::ok));
        QCOMPARE(window.firmwareVersion, after);
    }
}

void ReadbackWindowTest::releaseOpensItsFeaturesAndAnOlderOneClosesNone()
{
    // Opened by: the common alert period (1.9.2), tilt alert boxes (1.9.2,
    // with TILT), signed measure (1.9.3, with TILT), power-off (2.0), tracking
    // (2.1.1, the box with MOTION), logging (2.2).
    const QList<QList<const char *>> features{{"xAlgoPeriod", "tAlgoPeriod", "rbPelkoLaidFlat", "rbPelkoStayUpright"},
                                              {"cbTiltModeAlertMultiple", "cbTiltModeAlertZone"},
                                              {"cbTiltModeSignedMeasure"},
                                              {"cbAllowPowerOFF", "tAllowPowerOFF"},
                                              {"tMvtTracking", "cbMvtTracking"},
                                              {"tEnableLog", "tNbAliveFrameBeforeLog", "tNbSecondBeforeStart",
                                               "tButtonDelay", "cbEnableLog", "xNbAliveFrameBeforeLog",
                                               "xNbSecondBeforeStart", "xButtonDelay", "tChocEnableShockLog",
                                               "tChocNbAliveFrameBeforeShockLog"}};
    // release, feature groups opened, quiet time, ALIVE's frames counted
    // (from 2.0 on they stop counting); the ticked algorithm counts beside them
    const std::tuple<QByteArray, int, int, int> rows[] = {
        {"1.9.1", 0, 200, 1}, {"1.9.2", 2, 200, 1}, {"1.9.3", 3, 200, 1}, {"2.0", 4, 200, 0},
        {"2.1", 4, 200, 0},   {"2.1.1", 5, 120, 0}, {"2.1.2", 5, 120, 0}, {"2.2", 6, 120, 0}};
    for (auto [release, opened, quietTime, counted] : rows) {
        for (const bool tilt : {true, false}) { // TILT alone, then MOTION alone
            MainWindow window;
            const FormProbe form(window);
            form.find<QCheckBox>("cbTilt")->setChecked(tilt);
            form.find<QCheckBox>("cbMvt")->setChecked(!tilt);
            QByteArray answer = versionAnswer(release), older = "Firmware : v1.8\r\nOK\r\n>";
            window.decodePelkoData("VERSION", answer);
            QCOMPARE(readTimeout, quietTime);
            QCOMPARE(window.activeAlgorithmCount, counted + 1);
            for (int pass = 0; pass < 2; ++pass) {
                for (int group = 0; group < features.size(); ++group) {
                    for (const char *name : features.at(group)) {
                        const bool needed = qstrcmp(name, "cbMvtTracking") == 0 ? !tilt
                                            : (group == 1 || group == 2)        ? tilt
                                                                                : true;
                        QVERIFY2(form.enabled(name) == (group < opened && needed), release + " " + name);
                    }
                }
                window.decodePelkoData("VERSION", older);
            }
            QCOMPARE(window.firmwareVersion, 1.8f);
        }
    }
}

void ReadbackWindowTest::onlyAcceptedSettingsAndDumpsReachTheirDecoders()
{
    // command, answer, kept for its decoder
    const std::tuple<QByteArray, QByteArray, bool> rows[] = {
        {"LORA GET", "Mode : OTAA\r\nOK\r\n>", true},
        {"DUMP RAM PARAM", QByteArray("------- COMMON -------\r\n\0OK\r\n>", 31), true},
        {"DUMP RAM PARAM", "NOK\r\n>", false},
        {"DUMP RAM PARAM", QByteArray("------- CHOC -------\r\n\0gxSup : 70", 33), false},
        {"LORA GET", "Mode : ABP\r\nNOK\r\n>", false},
        {"LORA GET", "Mode : ABP\r\nDevEui : 70B3", false},
        {"LORA SET", "Mode : ABP\r\nOK\r\n>", false},
    };
    for (auto [cmd, answer, kept] : rows) {
        MainWindow window;
        const FormProbe form(window);
        form.find<QCheckBox>("cbChoc")->setChecked(true);
        window.activeAlgorithmCount = 2;
        const QByteArray given = answer;
        window.decodePelkoData(cmd, answer);
        QCOMPARE(cmd == "LORA GET" ? window.loraAnswer : window.paramDump, kept ? given : QByteArray());
        QVERIFY(window.loraAnswer.isEmpty() || window.paramDump.isEmpty());
        if (!kept) { // a refused or broken answer leaves the form as it was
            QVERIFY(form.find<QCheckBox>("cbChoc")->isChecked());
            QVERIFY(form.find<QRadioButton>("rbOTAA")->isChecked());
            QCOMPARE(window.activeAlgorithmCount, 2);
        }
    }
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
        [](int) { return 0; }, // a sensor laid flat, unless ROTATION keeps it upright
    };
    QStringList all;
    int n = 0;
    for (const auto &filling : fillings) {
        for (bool rotation : {false, true}) {
            init();
            FormProbe(*m_window).find<QCheckBox>("cbRotation")->setChecked(rotation);
            for (int i = 0; i < kDumpKeyCount; ++i)
                dumpKeyTable[i].decodedValue = filling(i);
            DebugLog log;
            m_window->applyParameters();
            all << QStringLiteral("### filling %1, rotation %2").arg(n).arg(rotation)
                << formState(*m_window, *m_window);
            for (const QString &line : log.lines())
                all << "log " + line;
        }
        ++n;
    }
    PELKO_COMPARE_WITH_GOLDEN(all, "applied_forms.txt");
}

void ReadbackWindowTest::decodingLoRaAnswersMatchesTheGoldenTab()
{
    // release, what the user typed before, the answer; the rows show the
    // release gates of the data rate and time-out, the masked key, identities
    // locked or kept, typed text kept in front of the device's, fields the
    // answer leaves out, and a device that names no network.
    const std::tuple<float, QList<QPair<const char *, QVariant>>, QByteArray> rows[] = {
        {1.8f, {}, kLoRaAnswer},
        {1.9f, {}, kLoRaAnswer},
        {1.91f, {}, kLoRaAnswer},
        {2.2f, {}, kLoRaAnswer},
        {2.2f,
         {{"leDevADDR", "12"}},
         "Mode : ABP\r\nDevEui : 0000000000000000\r\nDevAddr : 26011BDA\r\n"
         "AppKey : 00000000000000000000000000000000\r\nOK\r\n"},
        {2.2f,
         {{"leAppEUI", "ABC"}, {"leNwkID", "42"}, {"xLoRaDefaultDR", 2}, {"xJRErrorTimeout", 36}},
         "DevEui : 70B3D57ED0001234\r\nAppEui is not set\r\nOK\r\n"},
        {2.2f, {{"rbPrivateNetwork", true}}, "ACK is disabled ACK is enabled\r\nOK\r\n"},
    };
    QStringList all;
    int row = 0;
    for (const auto &[release, typed, answer] : rows) {
        init();
        m_window->firmwareVersion = release;
        QStringList typing;
        for (const auto &[name, value] : typed) {
            QWidget *w = FormProbe(*m_window).find<QWidget>(name);
            w->metaObject()->userProperty().write(w, value);
            typing << name + QStringLiteral("=") + value.toString();
        }
        m_window->loraAnswer = answer;
        QCOMPARE(m_window->decodePelkoLoRa(), 0);
        all << QStringLiteral("### row %1: release %2, typed %3").arg(++row).arg(double(release)).arg(typing.join(' '))
            << QStringLiteral("locked DevEUI %1 AppKEY %2").arg(m_window->devEuiLocked).arg(m_window->appKeyLocked)
            << formState(*m_window, *FormProbe(*m_window).find<QWidget>("tab_LORA"));
    }
    PELKO_COMPARE_WITH_GOLDEN(all, "decoded_lora.txt");
}

void ReadbackWindowTest::aDumpTicksTheAlgorithmsItNamesAndNoOther()
{
    const auto ticked = [this] {
        const FormProbe form(*m_window);
        QStringList on;
        for (const char *name :
             {"cbAlive", "cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient", "cbVibe", "cbAllowPowerOFF"})
            if (form.find<QCheckBox>(name)->isChecked())
                on << name;
        return on.join(' ');
    };
    const FormProbe form(*m_window);
    m_window->firmwareVersion = 2.2f;
    form.find<QCheckBox>("cbMvt")->setChecked(true);
    m_window->paramDump = QByteArray("------- COMMON -------\r\n_Poweroff : allowed\r\n_------- ALIVE -------\r\n_"
                                     "Algorithm ALIVE enable.\r\n_------- CHOC -------\r\n_gxSup : 1500\r\n_"
                                     "Algorithm SHOCK enable.\r\n_------- TILT -------\r\n_period : 4000\r\n_"
                                     "Algorithm TILT enable.\r\n_OK\r\n")
                              .replace('_', '\0');
    QCOMPARE(m_window->decodePelkoAlgo(1), -1); // an unknown mode changes nothing
    QCOMPARE(ticked(), QStringLiteral("cbAlive cbMvt cbAllowPowerOFF"));
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    QCOMPARE(ticked(), QStringLiteral("cbAlive cbChoc cbTilt cbAllowPowerOFF"));
    QCOMPARE(shownIn(*m_window, "xChocGxSup"), QVariant(1500));
    QCOMPARE(shownIn(*m_window, "xTiltPeriod"), QVariant(4000));
    QVERIFY(form.enabled("xChocGxSup") && form.enabled("xTiltPeriod"));

    // VIBRATION has no sentence of its own: its box stays as it was.
    init();
    for (const char *name : {"cbChoc", "cbTilt", "cbAllowPowerOFF", "cbVibe"})
        FormProbe(*m_window).find<QCheckBox>(name)->setChecked(true);
    QCOMPARE(m_window->decodePelkoAlgo(2), 0);
    QCOMPARE(ticked(), QStringLiteral("cbVibe"));
}

void ReadbackWindowTest::readWithoutALinkTellsTheUserToConnect()
{
    DialogWatcher dialogs;
    m_window->portReady = false;
    // A button left enabled by mistake must not reach a closed port.
    FormProbe form(*m_window);
    form.find("readAlgoButton")->setEnabled(true);
    form.click("readAlgoButton");
    QCOMPARE(dialogs.summary(), boxesOf({Error::NotConnected}));
    QCOMPARE(form.statusShown(), statusOf(Error::NotConnected));
}

QTEST_MAIN(ReadbackWindowTest)
#include "tst_readback_window.moc"
