#include "mainwindow.h"
#include "link/timing.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

namespace {
const QByteArray kGreen("color:#ffffff; background:#32ee00;");
const QByteArray kRed("color:#ffffff; background:#ee0000;");

QByteArray versionAnswer(const QByteArray &release)
{
    return "\x1b[32mFirmware : v" + release + "\x1b[0m\r\nOK\r\n>";
}
} // namespace

class DispatchTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { readTimeout = 200; }
    void cleanup() { readTimeout = 200; }

    void everyAnswerIsAppendedToTheConsoleAsPlainText();
    void versionAnswerShowsTheReleaseOnGreen();
    void emptyVersionAnswerShowsError6OnRed();
    void unknownReleaseKeepsThePreviousOne();
    void releaseOpensItsFeatures_data();
    void releaseOpensItsFeatures();
    void tiltOptionsOpenOnlyWhenTiltIsChecked();
    void algorithmBoxesFollowTheFormWhenADeviceIsIdentified();
    void olderReleaseAfterANewerOneDisablesNothing();
    void loraAndDumpAnswersAreKeptForTheirDecoders();
    void refusedOrBrokenSettingsLeaveTheFormAsItWas_data();
    void refusedOrBrokenSettingsLeaveTheFormAsItWas();
    void batteryLevelIsKeptAndTheAnswerShortened();
    void batteryAnswerWithoutLabelLeavesNoLevel();

private:
    template<typename T>
    T *widget(MainWindow &w, const char *name)
    {
        T *found = w.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
};

void DispatchTest::everyAnswerIsAppendedToTheConsoleAsPlainText()
{
    MainWindow window;
    auto *console = widget<QTextEdit>(window, "consoleOutput");
    console->setPlainText(QStringLiteral("before\n"));
    QByteArray answer("<b>bold</b> &amp; \x1b[31mred\x1b[0m\r\nAppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nOK\r\n>");
    window.decodePelkoData("DEBUG", answer);
    QCOMPARE(console->toPlainText(),
             QStringLiteral("before\n<b>bold</b> &amp; red\nAppKey : XXXXXXXXXXXXXXXXXXXXXXXXXXCF4F3C\nOK\n>"));
    QVERIFY(!console->toHtml().contains(QLatin1String("<b>bold")));
}

void DispatchTest::versionAnswerShowsTheReleaseOnGreen()
{
    MainWindow window;
    QByteArray answer = versionAnswer("2.2");
    window.decodePelkoData("VERSION", answer);
    auto *status = widget<QTextEdit>(window, "leVersion");
    QCOMPARE(status->toPlainText(), QStringLiteral("Firmware : v2.2\nOK\n>"));
    QCOMPARE(status->styleSheet().toLatin1(), kGreen);
    QCOMPARE(window.firmwareVersion, 2.2f);

    // Markup in the answer stays characters in the status box too.
    QByteArray markup("<i>Firmware : v2.2</i>\r\nOK\r\n>");
    window.decodePelkoData("VERSION", markup);
    QVERIFY(status->toPlainText().startsWith(QLatin1String("<i>Firmware")));
}

void DispatchTest::emptyVersionAnswerShowsError6OnRed()
{
    MainWindow window;
    window.firmwareVersion = 1.8f;
    QByteArray answer;
    window.decodePelkoData("VERSION", answer);
    auto *status = widget<QTextEdit>(window, "leVersion");
    QCOMPARE(status->toPlainText(), QStringLiteral("ERROR 6: Can't get product version"));
    QCOMPARE(status->styleSheet().toLatin1(), kRed);
    QCOMPARE(window.firmwareVersion, 1.8f);
}

void DispatchTest::unknownReleaseKeepsThePreviousOne()
{
    MainWindow window;
    QByteArray first = versionAnswer("2.2");
    window.decodePelkoData("VERSION", first);
    QByteArray unknown("Firmware : vX\r\nOK\r\n>");
    window.decodePelkoData("VERSION", unknown);
    QCOMPARE(window.firmwareVersion, 2.2f);
}

void DispatchTest::releaseOpensItsFeatures_data()
{
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<bool>("period");   // 1.9.2
    QTest::addColumn<bool>("powerOff"); // 2.0
    QTest::addColumn<bool>("tracking"); // 2.1.1
    QTest::addColumn<bool>("logging");  // 2.2
    QTest::addColumn<int>("quietTime");
    QTest::addColumn<int>("counted"); // from 2.0 on ALIVE's own frames stop counting
    QTest::newRow("1.9.1") << QByteArray("1.9.1") << false << false << false << false << 200 << 1;
    QTest::newRow("1.9.2") << QByteArray("1.9.2") << true << false << false << false << 200 << 1;
    QTest::newRow("2.0") << QByteArray("2.0") << true << true << false << false << 200 << 0;
    QTest::newRow("2.1") << QByteArray("2.1") << true << true << false << false << 200 << 0;
    QTest::newRow("2.1.1") << QByteArray("2.1.1") << true << true << true << false << 120 << 0;
    QTest::newRow("2.1.2") << QByteArray("2.1.2") << true << true << true << false << 120 << 0;
    QTest::newRow("2.2") << QByteArray("2.2") << true << true << true << true << 120 << 0;
}

void DispatchTest::releaseOpensItsFeatures()
{
    QFETCH(QByteArray, release);
    QFETCH(bool, period);
    QFETCH(bool, powerOff);
    QFETCH(bool, tracking);
    QFETCH(bool, logging);
    QFETCH(int, quietTime);
    QFETCH(int, counted);

    MainWindow window;
    QByteArray answer = versionAnswer(release);
    window.decodePelkoData("VERSION", answer);

    QCOMPARE(widget<QSpinBox>(window, "xAlgoPeriod")->isEnabled(), period);
    QCOMPARE(widget<QLabel>(window, "tAlgoPeriod")->isEnabled(), period);
    QCOMPARE(widget<QRadioButton>(window, "rbPelkoLaidFlat")->isEnabled(), period);
    QCOMPARE(widget<QRadioButton>(window, "rbPelkoStayUpright")->isEnabled(), period);
    QCOMPARE(widget<QCheckBox>(window, "cbAllowPowerOFF")->isEnabled(), powerOff);
    QCOMPARE(widget<QLabel>(window, "tAllowPowerOFF")->isEnabled(), powerOff);
    QCOMPARE(widget<QLabel>(window, "tMvtTracking")->isEnabled(), tracking);
    for (const char *name : {"tEnableLog", "tNbAliveFrameBeforeLog", "tNbSecondBeforeStart", "tButtonDelay",
                             "cbEnableLog", "xNbAliveFrameBeforeLog", "xNbSecondBeforeStart", "xButtonDelay",
                             "tChocEnableShockLog", "tChocNbAliveFrameBeforeShockLog"}) {
        QWidget *w = window.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(w, name);
        QVERIFY2(w->isEnabled() == logging, name);
    }
    QCOMPARE(readTimeout, quietTime);
    QCOMPARE(window.activeAlgorithmCount, counted);
}

void DispatchTest::tiltOptionsOpenOnlyWhenTiltIsChecked()
{
    for (bool tiltChecked : {false, true}) {
        MainWindow window;
        widget<QCheckBox>(window, "cbTilt")->setChecked(tiltChecked);
        widget<QCheckBox>(window, "cbMvt")->setChecked(tiltChecked);
        QByteArray answer = versionAnswer("2.2");
        window.decodePelkoData("VERSION", answer);
        QCOMPARE(widget<QCheckBox>(window, "cbTiltModeAlertMultiple")->isEnabled(), tiltChecked);
        QCOMPARE(widget<QCheckBox>(window, "cbTiltModeAlertZone")->isEnabled(), tiltChecked);
        QCOMPARE(widget<QCheckBox>(window, "cbTiltModeSignedMeasure")->isEnabled(), tiltChecked);
        QCOMPARE(widget<QCheckBox>(window, "cbMvtTracking")->isEnabled(), tiltChecked);
    }
}

void DispatchTest::algorithmBoxesFollowTheFormWhenADeviceIsIdentified()
{
    for (int count : {1, 2}) {
        MainWindow window;
        for (const char *name : {"cbChoc", "cbMvt", "cbOrient", "cbTilt", "cbRotation"})
            widget<QCheckBox>(window, name)->setEnabled(false);
        window.activeAlgorithmCount = count;
        // Nothing ticked but ALIVE's frames, which 1.9 counts: one place left.
        QByteArray answer = versionAnswer("1.9");
        window.decodePelkoData("VERSION", answer);
        QCOMPARE(window.activeAlgorithmCount, 1);
        for (const char *name : {"cbChoc", "cbMvt", "cbOrient", "cbTilt", "cbRotation"})
            QVERIFY2(widget<QCheckBox>(window, name)->isEnabled(), name);
    }
}

void DispatchTest::olderReleaseAfterANewerOneDisablesNothing()
{
    MainWindow window;
    QByteArray newer = versionAnswer("2.2");
    window.decodePelkoData("VERSION", newer);
    QByteArray older("Firmware : v1.8\r\nOK\r\n>");
    window.decodePelkoData("VERSION", older);
    QCOMPARE(window.firmwareVersion, 1.8f);
    QVERIFY(widget<QSpinBox>(window, "xAlgoPeriod")->isEnabled());
    QVERIFY(widget<QCheckBox>(window, "cbEnableLog")->isEnabled());
    QCOMPARE(readTimeout, 120);
}

void DispatchTest::loraAndDumpAnswersAreKeptForTheirDecoders()
{
    MainWindow window;
    QByteArray lora("Mode : OTAA\r\nOK\r\n>");
    window.decodePelkoData("LORA GET", lora);
    QCOMPARE(window.loraAnswer, lora);
    QByteArray dump("------- COMMON -------\r\n\0OK\r\n>", 31);
    window.decodePelkoData("DUMP RAM PARAM", dump);
    QCOMPARE(window.paramDump, dump);
    // Other commands leave both alone.
    QByteArray other("OK\r\n>");
    window.decodePelkoData("LORA SET", other);
    QCOMPARE(window.loraAnswer, lora);
}

void DispatchTest::refusedOrBrokenSettingsLeaveTheFormAsItWas_data()
{
    QTest::addColumn<QByteArray>("cmd");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("dump refused") << QByteArray("DUMP RAM PARAM") << QByteArray("NOK\r\n>");
    QTest::newRow("dump without OK") << QByteArray("DUMP RAM PARAM")
                                     << QByteArray("------- CHOC -------\r\n\0gxSup : 70", 33);
    QTest::newRow("settings refused") << QByteArray("LORA GET") << QByteArray("Mode : ABP\r\nNOK\r\n>");
    QTest::newRow("settings cut short") << QByteArray("LORA GET") << QByteArray("Mode : ABP\r\nDevEui : 70B3");
}

void DispatchTest::refusedOrBrokenSettingsLeaveTheFormAsItWas()
{
    QFETCH(QByteArray, cmd);
    QFETCH(QByteArray, answer);
    MainWindow window;
    auto *shock = widget<QCheckBox>(window, "cbChoc");
    auto *otaa = widget<QRadioButton>(window, "rbOTAA");
    shock->setChecked(true);
    window.activeAlgorithmCount = 2;
    window.decodePelkoData(cmd, answer);
    QVERIFY(shock->isChecked());
    QVERIFY(otaa->isChecked());
    QCOMPARE(window.activeAlgorithmCount, 2);
    QVERIFY(window.paramDump.isEmpty());
    QVERIFY(window.loraAnswer.isEmpty());
}

void DispatchTest::batteryLevelIsKeptAndTheAnswerShortened()
{
    MainWindow window;
    QByteArray answer("Battery: 10%\r\nBattery: 87%\r\nOK\r\n>");
    window.decodePelkoData("BATTERY GET LIFE", answer);
    QCOMPARE(window.batteryAnswer, QByteArray("87"));
    QCOMPARE(answer, QByteArray("87%\r\nOK\r\n>"));
}

void DispatchTest::batteryAnswerWithoutLabelLeavesNoLevel()
{
    MainWindow window;
    window.batteryAnswer = "55";
    QByteArray answer("Level 87%\r\nOK\r\n>");
    window.decodePelkoData("BATTERY GET LIFE", answer);
    QVERIFY(window.batteryAnswer.isEmpty());
    QCOMPARE(answer, QByteArray("Level 87%\r\nOK\r\n>"));
}

QTEST_MAIN(DispatchTest)
#include "tst_dispatch.moc"
