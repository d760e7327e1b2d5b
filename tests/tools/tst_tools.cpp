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
    void clicksSendTheReleasesLinesAndTellTheUser_data();
    void clicksSendTheReleasesLinesAndTellTheUser();
    void newHandshakeResetsTheDebugButtonButNotTheLedButton();
    void restartReconnectsNoSoonerThanTheRebootTakes_data();
    void restartReconnectsNoSoonerThanTheRebootTakes();

private:
    // A window connected to a fresh simulated device, its handshake already
    // forgotten by the device's wire log and the dialog watcher.
    bool connectTo(const SimDevice::Options &options = SimDevice::Options());
    void expectLinkStillUp();
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

void ToolsTest::expectLinkStillUp()
{
    QVERIFY(m_window->portReady);
    QVERIFY(m_window->serial.isOpen());
    QCOMPARE(button(*m_window, "startButton")->text(), QStringLiteral("Start"));
    QCOMPARE(button(*m_window, "stopButton")->text(), QStringLiteral("Disconnect"));
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

    QCOMPARE(m_dialogs->summary(), boxesOf({Error::NotConnected}));
    QCOMPARE(FormProbe(*m_window).statusShown(), statusOf(Error::NotConnected));
    QVERIFY(log.contains("ERROR 7: port com is not ready: Product not connected"));
    QVERIFY(wire().isEmpty());
    QCOMPARE(button(*m_window, name.toLatin1())->text(), before);
    QCOMPARE(button(*m_window, "startButton")->text(), QStringLiteral("Connection"));
}

// One or two clicks on a tool of a connected window, the device refusing a
// line once or answering it its own way: what reached the device, what the
// user was told, what the button reads and whether the link is still up.
void ToolsTest::clicksSendTheReleasesLinesAndTellTheUser_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QByteArray>("refusedOnce");
    QTest::addColumn<QByteArray>("answer"); // the battery query's own, at the last click
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<QString>("buttonText"); // empty: as before
    QTest::addColumn<bool>("linkUp");
    const QByteArray debugOn("DEBUG 1\r\n"), debugOff("DEBUG 0\r\n"), battery("BATTERY GET LIFE  0\r\n");
    const QByteArray ledOn("DEBUG LEDON\r\n"), ledOff("DEBUG LEDOFF\r\n"), poweroff("poweroff  0\r\n");
    const auto info = [](const char *text) {
        return QStringLiteral("information Information: ") + text;
    };
    const QString on = info("Verbose mode enabled."), off = info("Verbose mode disabled.");
    const QString ledOnBox = info("Verbose LED mode enabled."), ledOffBox = info("Verbose LED mode disabled.");
    const QString reset = info("Factory reset finished with success. Please restart your product before use "
                               "(by pressing the button).");
    const QString figure = info("Actual battery status: 87%"), noBattery = boxesOf({Error::BatteryFailed});
    const QString then = QStringLiteral(" | ");
    QTest::newRow("debug on, then off") << "2.2"
                                        << "pbEnableDebug" << 2 << QByteArray() << QByteArray()
                                        << QByteArrayList{debugOn, debugOff} << on + then + off << "Enable debug"
                                        << true;
    QTest::newRow("LED debug on, then off")
        << "2.2"
        << "pbEnableDebugLed" << 2 << QByteArray() << QByteArray() << QByteArrayList{ledOn, ledOff}
        << ledOnBox + then + ledOffBox << "Enable LED debug" << true;
    // Nothing changed, so the next click asks for the same thing again.
    QTest::newRow("debug refused, asked again")
        << "2.2"
        << "pbEnableDebug" << 2 << QByteArray("DEBUG 1") << QByteArray() << QByteArrayList{debugOn, debugOn}
        << boxesOf({Error::VerboseFailed}) + then + on << "Disable debug" << true;
    QTest::newRow("LED debug refused, asked again")
        << "2.2"
        << "pbEnableDebugLed" << 2 << QByteArray("DEBUG LEDON") << QByteArray() << QByteArrayList{ledOn, ledOn}
        << boxesOf({Error::VerboseLedFailed}) + then + ledOnBox << "Disable LED debug" << true;
    // The query switches the device's debug output on and off again whatever
    // fails, and a figure is never stale nor empty.
    QTest::newRow("battery") << "2.2"
                             << "pbGetBatteryStatus" << 1 << QByteArray() << QByteArray()
                             << QByteArrayList{debugOn, battery, debugOff} << figure << QString() << true;
    QTest::newRow("battery, debug on refused")
        << "2.2"
        << "pbGetBatteryStatus" << 1 << QByteArray("DEBUG 1") << QByteArray()
        << QByteArrayList{debugOn, battery, debugOff} << noBattery << QString() << true;
    QTest::newRow("battery, debug off refused")
        << "2.2"
        << "pbGetBatteryStatus" << 1 << QByteArray("DEBUG 0") << QByteArray()
        << QByteArrayList{debugOn, battery, debugOff} << noBattery << QString() << true;
    QTest::newRow("battery answer without a figure after one with")
        << "2.2"
        << "pbGetBatteryStatus" << 2 << QByteArray() << QByteArray("Battery gauge busy\r\nOK\r\n>")
        << QByteArrayList{debugOn, battery, debugOff, debugOn, battery, debugOff} << figure + then + noBattery
        << QString() << true;
    // The device switches off at "poweroff" before it answers, so the
    // goodbye of the disconnect no longer reaches it.
    QTest::newRow("factory reset of 1.9: all at once, then a save")
        << "1.9"
        << "pbResetParam" << 1 << QByteArray() << QByteArray()
        << QByteArrayList{"RESETPARAM 1  0\r\n", "SAVEPARAM  0\r\n", poweroff} << reset << QString() << false;
    QTest::newRow("factory reset of 1.9.1: each half")
        << "1.9.1"
        << "pbResetParam" << 1 << QByteArray() << QByteArray()
        << QByteArrayList{"RESETPARAM LORA  0\r\n", "RESETPARAM ALGO  0\r\n", poweroff} << reset << QString() << false;
    QTest::newRow("power off") << "2.2"
                               << "pbTurnOffProduct" << 1 << QByteArray() << QByteArray() << QByteArrayList{poweroff}
                               << info("Pelko is now off. You can safely unplug it.") << QString() << false;
}

void ToolsTest::clicksSendTheReleasesLinesAndTellTheUser()
{
    QFETCH(QString, release);
    QFETCH(QString, name);
    QFETCH(int, clicks);
    QFETCH(QByteArray, refusedOnce);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArrayList, sent);
    QFETCH(QString, boxes);
    QFETCH(QString, buttonText);
    QFETCH(bool, linkUp);
    SimDevice::Options options;
    options.release = release;
    QVERIFY(connectTo(options));
    if (!refusedOnce.isEmpty())
        m_sim->device().setFault(refusedOnce, SimFault::Refuses, 1);
    QPushButton *tool = button(*m_window, name.toLatin1());
    if (buttonText.isEmpty())
        buttonText = tool->text();

    for (int i = 0; i < clicks; ++i) {
        if (i == clicks - 1 && !answer.isEmpty())
            m_sim->device().setRawAnswer("BATTERY", answer);
        tool->click();
    }

    QCOMPARE(wire(), sent);
    QCOMPARE(m_dialogs->summary(), boxes);
    if (boxes.contains(QLatin1String("Error")))
        QVERIFY(FormProbe(*m_window).statusShown().endsWith(QString(StatusStyle::error) + QLatin1Char(']')));
    QCOMPARE(tool->text(), buttonText);
    if (linkUp) {
        expectLinkStillUp();
    } else {
        QVERIFY(!m_window->portReady && !m_window->serial.isOpen());
        QCOMPARE(button(*m_window, "startButton")->text(), QStringLiteral("Connection"));
        QVERIFY(button(*m_window, "startButton")->isEnabled() && !button(*m_window, "stopButton")->isEnabled());
    }
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
