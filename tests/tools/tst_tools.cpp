#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "link/timing.h"
#include "mainwindow.h"
#include "linktimes.h"
#include "simharness.h"

#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Error)

namespace {
QPushButton *button(MainWindow &window, const char *name)
{
    return FormProbe(window).find(name);
}

qint64 firstLineAt(const QList<SimWireLine> &lines, const QByteArray &bytes, qint64 notBefore = 0)
{
    for (const SimWireLine &line : lines)
        if (line.bytes == bytes && line.atMs >= notBefore)
            return line.atMs;
    return -1;
}
} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyToolRefusesWithError7WithoutALink_data();
    void everyToolRefusesWithError7WithoutALink();
    void twoClicksSwitchOnThenOff_data();
    void twoClicksSwitchOnThenOff();
    void refusedSwitchKeepsTheButtonAndWhatItSendsNext_data();
    void refusedSwitchKeepsTheButtonAndWhatItSendsNext();
    void newHandshakeResetsTheDebugButtonButNotTheLedButton();
    void batteryFigureIsShownWithItsPercentSign();
    void failedBatteryQueryStillSwitchesDebugOffAndReportsError13_data();
    void failedBatteryQueryStillSwitchesDebugOffAndReportsError13();
    void answerWithoutAFigureIsAFailedReadingNotAStaleOrEmptyOne();
    void factoryResetSendsTheReleasesCommandsThenPowersOff_data();
    void factoryResetSendsTheReleasesCommandsThenPowersOff();
    void restartReconnectsNoSoonerThanTheRebootTakes_data();
    void restartReconnectsNoSoonerThanTheRebootTakes();

private:
    // A window connected to a fresh simulated device, its handshake already
    // forgotten by the device's wire log and the dialog watcher.
    bool connectTo(const SimDevice::Options &options = SimDevice::Options());
    void expectError(Error error);
    void expectLinkStillUp();
    void expectLinkClosed();
    QList<QByteArray> wire() { return m_sim->device().receivedLines(); }

    std::unique_ptr<ShortLinkTimes> m_times;
    std::unique_ptr<SimHarness> m_sim;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<DialogWatcher> m_dialogs;
};

void ToolsTest::init()
{
    m_times.reset(new ShortLinkTimes(60, 120));
    m_dialogs.reset(new DialogWatcher);
}

void ToolsTest::cleanup()
{
    m_window.reset();
    m_sim.reset();
    m_dialogs.reset();
    m_times.reset();
}

bool ToolsTest::connectTo(const SimDevice::Options &options)
{
    m_sim.reset(new SimHarness(options));
    if (!m_sim->isReady())
        return false;
    m_window.reset(new MainWindow);
    button(*m_window, "startButton")->click();
    m_sim->device().clearReceived();
    const bool connected =
        m_window->productConnected && m_dialogs->titles() == QStringList{QStringLiteral("Information")};
    m_dialogs->clear();
    return connected;
}

void ToolsTest::expectError(Error error)
{
    QCOMPARE(m_dialogs->summary(), boxesOf({error}));
    QCOMPARE(FormProbe(*m_window).statusShown(), statusOf(error));
}

void ToolsTest::expectLinkStillUp()
{
    QVERIFY(m_window->portReady);
    QVERIFY(m_window->serial.isOpen());
    QCOMPARE(button(*m_window, "startButton")->text(), QStringLiteral("Start"));
    QCOMPARE(button(*m_window, "stopButton")->text(), QStringLiteral("Disconnect"));
}

void ToolsTest::expectLinkClosed()
{
    QVERIFY(!m_window->portReady);
    QVERIFY(!m_window->serial.isOpen());
    QCOMPARE(button(*m_window, "startButton")->text(), QStringLiteral("Connection"));
    QVERIFY(button(*m_window, "startButton")->isEnabled());
    QVERIFY(!button(*m_window, "stopButton")->isEnabled());
}

void ToolsTest::everyToolRefusesWithError7WithoutALink_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"pbEnableDebug", "pbEnableDebugLed", "pbGetBatteryStatus", "pbResetParam",
                             "pbRestartProduct", "pbTurnOffProduct"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void ToolsTest::everyToolRefusesWithError7WithoutALink()
{
    QFETCH(QString, name);
    m_sim.reset(new SimHarness);
    QVERIFY(m_sim->isReady());
    m_window.reset(new MainWindow);
    const QString before = button(*m_window, name.toLatin1())->text();
    DebugLog log;

    button(*m_window, name.toLatin1())->click();

    expectError(Error::NotConnected);
    QVERIFY(log.contains("ERROR 7: port com is not ready: Product not connected"));
    QVERIFY(wire().isEmpty());
    QCOMPARE(button(*m_window, name.toLatin1())->text(), before);
    QCOMPARE(button(*m_window, "startButton")->text(), QStringLiteral("Connection"));
}

void ToolsTest::twoClicksSwitchOnThenOff_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("onLine");
    QTest::addColumn<QByteArray>("offLine");
    QTest::addColumn<QString>("onText");
    QTest::addColumn<QString>("offText");
    QTest::addColumn<QString>("onInfo");
    QTest::addColumn<QString>("offInfo");
    QTest::newRow("debug") << "pbEnableDebug" << QByteArray("DEBUG 1\r\n") << QByteArray("DEBUG 0\r\n")
                           << "Disable debug"
                           << "Enable debug"
                           << "Verbose mode enabled."
                           << "Verbose mode disabled.";
    QTest::newRow("LED debug") << "pbEnableDebugLed" << QByteArray("DEBUG LEDON\r\n") << QByteArray("DEBUG LEDOFF\r\n")
                               << "Disable LED debug"
                               << "Enable LED debug"
                               << "Verbose LED mode enabled."
                               << "Verbose LED mode disabled.";
}

void ToolsTest::twoClicksSwitchOnThenOff()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, onLine);
    QFETCH(QByteArray, offLine);
    QFETCH(QString, onText);
    QFETCH(QString, offText);
    QFETCH(QString, onInfo);
    QFETCH(QString, offInfo);
    QVERIFY(connectTo());
    QPushButton *toggle = button(*m_window, name.toLatin1());

    toggle->click();
    QCOMPARE(toggle->text(), onText);
    toggle->click();
    QCOMPARE(toggle->text(), offText);

    QCOMPARE(wire(), (QList<QByteArray>{onLine, offLine}));
    QCOMPARE(m_dialogs->summary(), "information Information: " + onInfo + " | information Information: " + offInfo);
    expectLinkStillUp();
}

void ToolsTest::refusedSwitchKeepsTheButtonAndWhatItSendsNext_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<Error>("error");
    QTest::newRow("debug") << "pbEnableDebug" << QByteArray("DEBUG 1") << Error::VerboseFailed;
    QTest::newRow("LED debug") << "pbEnableDebugLed" << QByteArray("DEBUG LEDON") << Error::VerboseLedFailed;
}

void ToolsTest::refusedSwitchKeepsTheButtonAndWhatItSendsNext()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, line);
    QFETCH(Error, error);
    QVERIFY(connectTo());
    QPushButton *toggle = button(*m_window, name.toLatin1());
    const QString before = toggle->text();
    m_sim->device().setFault(line, SimFault::Refuses, 1);
    DebugLog log;

    toggle->click();
    expectError(error);
    QVERIFY(log.contains("ERROR when sending command '" + line + "'"));
    QCOMPARE(toggle->text(), before);
    expectLinkStillUp();

    // Nothing changed, so the next click asks for the same thing again.
    m_dialogs->clear();
    toggle->click();
    QCOMPARE(wire(), (QList<QByteArray>{line + "\r\n", line + "\r\n"}));
    QCOMPARE(m_dialogs->titles(), QStringList{"Information"});
}

void ToolsTest::newHandshakeResetsTheDebugButtonButNotTheLedButton()
{
    QVERIFY(connectTo());
    QPushButton *debug = button(*m_window, "pbEnableDebug");
    QPushButton *led = button(*m_window, "pbEnableDebugLed");
    debug->click();
    led->click();
    QCOMPARE(debug->text(), QStringLiteral("Disable debug"));

    button(*m_window, "stopButton")->click();
    button(*m_window, "startButton")->click();
    QVERIFY(m_window->productConnected);
    QCOMPARE(debug->text(), QStringLiteral("Enable debug"));
    QCOMPARE(led->text(), QStringLiteral("Disable LED debug"));

    m_sim->device().clearReceived();
    debug->click();
    led->click();
    QCOMPARE(wire(), (QList<QByteArray>{"DEBUG 1\r\n", "DEBUG LEDOFF\r\n"}));
}

void ToolsTest::batteryFigureIsShownWithItsPercentSign()
{
    QVERIFY(connectTo());
    m_sim->device().setBatteryLevel(87);
    button(*m_window, "pbEnableDebug")->click();
    m_sim->device().clearReceived();
    m_dialogs->clear();

    button(*m_window, "pbGetBatteryStatus")->click();

    QCOMPARE(wire(), (QList<QByteArray>{"DEBUG 1\r\n", "BATTERY GET LIFE  0\r\n", "DEBUG 0\r\n"}));
    QCOMPARE(m_dialogs->summary(), QStringLiteral("information Information: Actual battery status: 87%"));
    // The query is no switch of the user's: the debug button keeps its word.
    QCOMPARE(button(*m_window, "pbEnableDebug")->text(), QStringLiteral("Disable debug"));
    expectLinkStillUp();
}

void ToolsTest::failedBatteryQueryStillSwitchesDebugOffAndReportsError13_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("fault");
    QTest::newRow("debug on refused") << QByteArray("DEBUG 1") << int(SimFault::Refuses);
    QTest::newRow("debug off refused") << QByteArray("DEBUG 0") << int(SimFault::Refuses);
}

void ToolsTest::failedBatteryQueryStillSwitchesDebugOffAndReportsError13()
{
    QFETCH(QByteArray, line);
    QFETCH(int, fault);
    QVERIFY(connectTo());
    m_sim->device().setFault(line, SimFault(fault), 1);

    button(*m_window, "pbGetBatteryStatus")->click();

    QCOMPARE(wire(), (QList<QByteArray>{"DEBUG 1\r\n", "BATTERY GET LIFE  0\r\n", "DEBUG 0\r\n"}));
    expectError(Error::BatteryFailed);
    expectLinkStillUp();
}

void ToolsTest::answerWithoutAFigureIsAFailedReadingNotAStaleOrEmptyOne()
{
    QVERIFY(connectTo());
    m_sim->device().setBatteryLevel(87);
    button(*m_window, "pbGetBatteryStatus")->click();
    QCOMPARE(m_dialogs->summary(), QStringLiteral("information Information: Actual battery status: 87%"));
    m_dialogs->clear();

    // Accepted, but the figure is missing.
    m_sim->device().setRawAnswer("BATTERY", "Battery gauge busy\r\nOK" + SimDevice::trailer());
    button(*m_window, "pbGetBatteryStatus")->click();

    expectError(Error::BatteryFailed);
}

void ToolsTest::factoryResetSendsTheReleasesCommandsThenPowersOff_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("1.9 resets and saves at once")
        << "1.9" << QByteArray("RESETPARAM 1  0\r\n") << QByteArray("SAVEPARAM  0\r\n");
    QTest::newRow("1.9.1 resets each half")
        << "1.9.1" << QByteArray("RESETPARAM LORA  0\r\n") << QByteArray("RESETPARAM ALGO  0\r\n");
    QTest::newRow("2.2 resets each half")
        << "2.2" << QByteArray("RESETPARAM LORA  0\r\n") << QByteArray("RESETPARAM ALGO  0\r\n");
}

void ToolsTest::factoryResetSendsTheReleasesCommandsThenPowersOff()
{
    QFETCH(QString, release);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    SimDevice::Options options;
    options.release = release;
    QVERIFY(connectTo(options));

    button(*m_window, "pbResetParam")->click();

    // The device switches off at "poweroff" before it answers, so the
    // goodbye of the disconnect no longer reaches it.
    QCOMPARE(wire(), (QList<QByteArray>{first, second, "poweroff  0\r\n"}));
    QCOMPARE(m_dialogs->summary(), QStringLiteral("information Information: Factory reset finished with success. "
                                                  "Please restart your product before use (by pressing the button)."));
    expectLinkClosed();
}

void ToolsTest::restartReconnectsNoSoonerThanTheRebootTakes_data()
{
    // How long the user leaves the reboot box open, and how long the program
    // may then still wait before it reconnects (the reboot takes 1500 ms).
    QTest::addColumn<int>("dismissAfterMs");
    QTest::addColumn<int>("minWaitMs");
    QTest::addColumn<int>("maxWaitMs");
    QTest::newRow("box closed at once: waits out the rest") << 0 << 500 << 2000;
    QTest::newRow("box left open past the reboot: reconnects at once") << 2500 << 0 << 1000;
}

void ToolsTest::restartReconnectsNoSoonerThanTheRebootTakes()
{
    QFETCH(int, dismissAfterMs);
    QFETCH(int, minWaitMs);
    QFETCH(int, maxWaitMs);
    SimDevice::Options options;
    options.rebootDelayMs = 400;
    QVERIFY(connectTo(options));
    LinkLimits::rebootFloorMs = 1500;
    m_dialogs->setDismissDelay(dismissAfterMs);
    // Fires inside the reboot box, so the connection box after it goes at once.
    QTimer::singleShot(1000, m_dialogs.get(), [this] { m_dialogs->setDismissDelay(0); });

    button(*m_window, "pbRestartProduct")->click();

    const QList<SimWireLine> lines = m_sim->device().received();
    const qint64 resetAt = firstLineAt(lines, "reset\r\n");
    const qint64 readyAt = firstLineAt(lines, "READY\r\n", resetAt);
    QVERIFY(resetAt >= 0 && readyAt >= 0);
    QVERIFY2(readyAt - resetAt >= LinkLimits::rebootFloorMs, qPrintable(QString::number(readyAt - resetAt)));

    const QList<SeenDialog> seen = m_dialogs->seen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(0).text, QStringLiteral("Please wait 5s for Pelko reboot... then click 'OK'"));
    QCOMPARE(seen.at(1).text, QStringLiteral("Successfully connected to the pelko !"));
    const qint64 afterDismissal = seen.at(1).shownAtMs - seen.at(0).dismissedAtMs;
    QVERIFY2(afterDismissal >= minWaitMs && afterDismissal <= maxWaitMs, qPrintable(QString::number(afterDismissal)));
    expectLinkStillUp();
}

QTEST_MAIN(ToolsTest)
#include "tst_tools.moc"
