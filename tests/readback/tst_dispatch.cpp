// What the window does with each answer it is handed: the console echo, the
// status box after VERSION and the features each release opens, and which
// answers are kept for their decoders.

#include "mainwindow.h"
#include "link/timing.h"

#include <QtTest>
#include <QtWidgets>

#include <tuple>

namespace {
const QString kGreen("color:#ffffff; background:#32ee00;");
const QString kRed("color:#ffffff; background:#ee0000;");

QByteArray versionAnswer(const QByteArray &release)
{
    return "\x1b[32mFirmware : v" + release + "\x1b[0m\r\nOK\r\n>";
}

void decode(MainWindow &window, const QByteArray &cmd, QByteArray answer)
{
    window.decodePelkoData(cmd, answer);
}

template<typename T = QWidget>
T *widget(MainWindow &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no widget %s", qPrintable(name));
    return found;
}
} // namespace

class DispatchTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { readTimeout = 200; }
    void cleanup() { readTimeout = 200; }
    void everyAnswerIsAppendedToTheConsoleAsPlainText();
    void versionAnswerIsShownOnGreenOrError6OnRed();
    void releaseOpensItsFeaturesAndAnOlderOneClosesNone();
    void algorithmBoxesFollowTheFormWhenADeviceIsIdentified();
    void onlyAcceptedSettingsAndDumpsReachTheirDecoders();
    void batteryLevelIsKeptAndTheAnswerShortened();
};

void DispatchTest::everyAnswerIsAppendedToTheConsoleAsPlainText()
{
    MainWindow window;
    auto *console = widget<QTextEdit>(window, "consoleOutput");
    console->setPlainText(QStringLiteral("before\n"));
    decode(window, "DEBUG",
           "<b>bold</b> &amp; \x1b[31mred\x1b[0m\r\nAppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nOK\r\n>");
    QCOMPARE(console->toPlainText(),
             QStringLiteral("before\n<b>bold</b> &amp; red\nAppKey : XXXXXXXXXXXXXXXXXXXXXXXXXXCF4F3C\nOK\n>"));
}

void DispatchTest::versionAnswerIsShownOnGreenOrError6OnRed()
{
    // answer, release known before, release after, status box text and colour
    const std::tuple<QByteArray, float, float, QString, QString> rows[] = {
        {versionAnswer("2.2"), 0.0f, 2.2f, "Firmware : v2.2\nOK\n>", kGreen},
        {"<i>Firmware : v2.2</i>\r\nOK\r\n>", 0.0f, 2.2f, "<i>Firmware : v2.2</i>\nOK\n>", kGreen},
        {"Firmware : vX\r\nOK\r\n>", 2.2f, 2.2f, "Firmware : vX\nOK\n>", kGreen},
        {"", 1.8f, 1.8f, "ERROR 6: Can't get product version", kRed},
    };
    for (const auto &[answer, before, after, shown, style] : rows) {
        MainWindow window;
        window.firmwareVersion = before;
        decode(window, "VERSION", answer);
        QCOMPARE(widget<QTextEdit>(window, "leVersion")->toPlainText(), shown);
        QCOMPARE(widget<QTextEdit>(window, "leVersion")->styleSheet(), style);
        QCOMPARE(window.firmwareVersion, after);
    }
}

void DispatchTest::releaseOpensItsFeaturesAndAnOlderOneClosesNone()
{
    // Opened by: the common alert period (1.9.2), tilt alert boxes (1.9.2,
    // with TILT), signed measure (1.9.3, with TILT), power-off (2.0), tracking
    // (2.1.1, the box with MOTION), logging (2.2).
    const QList<QStringList> features{{"xAlgoPeriod", "tAlgoPeriod", "rbPelkoLaidFlat", "rbPelkoStayUpright"},
                                      {"cbTiltModeAlertMultiple", "cbTiltModeAlertZone"},
                                      {"cbTiltModeSignedMeasure"},
                                      {"cbAllowPowerOFF", "tAllowPowerOFF"},
                                      {"tMvtTracking", "cbMvtTracking"},
                                      {"tEnableLog", "tNbAliveFrameBeforeLog", "tNbSecondBeforeStart", "tButtonDelay",
                                       "cbEnableLog", "xNbAliveFrameBeforeLog", "xNbSecondBeforeStart", "xButtonDelay",
                                       "tChocEnableShockLog", "tChocNbAliveFrameBeforeShockLog"}};
    // release, feature groups opened, quiet time, ALIVE's frames counted
    // (from 2.0 on they stop counting); the ticked algorithm counts beside them
    const std::tuple<QByteArray, int, int, int> rows[] = {
        {"1.9.1", 0, 200, 1}, {"1.9.2", 2, 200, 1}, {"1.9.3", 3, 200, 1}, {"2.0", 4, 200, 0},
        {"2.1", 4, 200, 0},   {"2.1.1", 5, 120, 0}, {"2.1.2", 5, 120, 0}, {"2.2", 6, 120, 0}};
    for (const auto &[release, opened, quietTime, counted] : rows) {
        for (int checked : {1, 2}) { // TILT alone, then MOTION alone
            const bool tilt = checked & 1, motion = checked & 2;
            MainWindow window;
            widget<QCheckBox>(window, "cbTilt")->setChecked(tilt);
            widget<QCheckBox>(window, "cbMvt")->setChecked(motion);
            decode(window, "VERSION", versionAnswer(release));
            QCOMPARE(readTimeout, quietTime);
            QCOMPARE(window.activeAlgorithmCount, counted + 1);
            for (bool older : {false, true}) {
                if (older)
                    decode(window, "VERSION", "Firmware : v1.8\r\nOK\r\n>");
                for (int group = 0; group < features.size(); ++group) {
                    for (const QString &name : features.at(group)) {
                        const bool needed = name == "cbMvtTracking" ? motion : (group == 1 || group == 2) ? tilt : true;
                        QVERIFY2(widget(window, name)->isEnabled() == (group < opened && needed),
                                 qPrintable(release + " " + name));
                    }
                }
            }
            QCOMPARE(window.firmwareVersion, 1.8f);
        }
    }
}

void DispatchTest::algorithmBoxesFollowTheFormWhenADeviceIsIdentified()
{
    const QStringList boxes{"cbChoc", "cbMvt", "cbOrient", "cbTilt", "cbRotation"};
    for (int count : {1, 2}) {
        MainWindow window;
        for (const QString &name : boxes)
            widget(window, name)->setEnabled(false);
        window.activeAlgorithmCount = count;
        // Nothing ticked but ALIVE's frames, which 1.9 counts: one place left.
        decode(window, "VERSION", versionAnswer("1.9"));
        QCOMPARE(window.activeAlgorithmCount, 1);
        for (const QString &name : boxes)
            QVERIFY2(widget(window, name)->isEnabled(), qPrintable(name));
    }
}

void DispatchTest::onlyAcceptedSettingsAndDumpsReachTheirDecoders()
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
    for (const auto &[cmd, answer, kept] : rows) {
        MainWindow window;
        widget<QCheckBox>(window, "cbChoc")->setChecked(true);
        window.activeAlgorithmCount = 2;
        decode(window, cmd, answer);
        QCOMPARE(cmd == "LORA GET" ? window.loraAnswer : window.paramDump, kept ? answer : QByteArray());
        QVERIFY(window.loraAnswer.isEmpty() || window.paramDump.isEmpty());
        if (!kept) { // a refused or broken answer leaves the form as it was
            QVERIFY(widget<QCheckBox>(window, "cbChoc")->isChecked());
            QVERIFY(widget<QAbstractButton>(window, "rbOTAA")->isChecked());
            QCOMPARE(window.activeAlgorithmCount, 2);
        }
    }
}

void DispatchTest::batteryLevelIsKeptAndTheAnswerShortened()
{
    // answer, level kept, answer left
    const std::tuple<QByteArray, QByteArray, QByteArray> rows[] = {
        {"Battery: 10%\r\nBattery: 87%\r\nOK\r\n>", "87", "87%\r\nOK\r\n>"},
        {"Level 87%\r\nOK\r\n>", "", "Level 87%\r\nOK\r\n>"}};
    for (auto [answer, level, rest] : rows) {
        MainWindow window;
        window.batteryAnswer = "55";
        window.decodePelkoData("BATTERY GET LIFE", answer);
        QCOMPARE(window.batteryAnswer, level);
        QCOMPARE(answer, rest);
    }
}

QTEST_MAIN(DispatchTest)
#include "tst_dispatch.moc"
