#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "link/timing.h"
#include "linktimes.h"
#include "mainwindow.h"
#include "simharness.h"

#include "app/formvalues.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A window on a simulated device, connected unless told otherwise, its
// handshake already forgotten by the device's wire log and the watcher.
struct Bench
{
    DialogWatcher dialogs;
    SimHarness sim;
    MainWindow window;
    FormProbe form{window};
    bool connected = false;

    Bench(const char *release, bool connect, int rebootDelayMs = 2000) :
        sim([&] {
            SimDevice::Options options;
            options.release = QLatin1String(release);
            options.rebootDelayMs = rebootDelayMs;
            return options;
        }())
    {
        window.session().limits() = shortLinkTimes(30, 60);
        if (connect && sim.isReady())
            form.click("startButton");
        connected = window.session().connected() && dialogs.titles() == QStringList{"Information"};
        sim.device().clearReceived();
        dialogs.clear();
    }

    // The lines that reached the device, without their CR LF, as "a|b|c".
    QByteArray wire()
    {
        QByteArrayList lines;
        for (const QByteArray &line : sim.device().receivedLines())
            lines << (line.endsWith("\r\n") ? line.chopped(2) : line);
        return lines.join('|');
    }

    bool linkUp()
    {
        return window.session().linkReady() && window.session().port().isOpen() &&
               form.text("startButton") == QLatin1String("Start") &&
               form.text("stopButton") == QLatin1String("Disconnect") && form.enabled("stopButton");
    }
};

qint64 firstLineAt(const QList<SimWireLine> &lines, const QByteArray &bytes, qint64 notBefore = 0)
{
    for (const SimWireLine &line : lines)
        if (line.bytes == bytes && line.atMs >= notBefore)
            return line.atMs;
    return -1;
}

struct ToolRow
{
    const char *name;
    const char *release; // nullptr: plugged in, never connected
    const char *clicks;
    const char *refusedOnce;
    const char *answer;
    const char *sent;
    QString boxes;
    const char *buttonText;
    bool linkUp;
};

QList<ToolRow> toolRows()
{
    const auto info = [](const char *text) {
        return QStringLiteral("information Information: ") + text;
    };
    const QString on = info("Verbose mode enabled."), off = info("Verbose mode disabled.");
    const QString ledOn = info("Verbose LED mode enabled."), ledOff = info("Verbose LED mode disabled.");
    const QString reset = info("Factory reset finished with success. Please restart your product before use "
                               "(by pressing the button).");
    const QString figure = info("Actual battery status: 87%"), noBattery = boxesOf({Error::BatteryFailed});
    const QString connected = info("Successfully connected to the pelko !"), then = QStringLiteral(" | ");
    const QString notConnected = QString(boxesOf({Error::NotConnected}) + then).repeated(6).chopped(then.size());
    return {
        {"without a link, every tool refuses", nullptr,
         "pbEnableDebug pbEnableDebugLed pbGetBatteryStatus pbResetParam pbRestartProduct pbTurnOffProduct", "", "", "",
         notConnected, "Turn off product", false},
        {"debug on, then off", "2.2", "pbEnableDebug pbEnableDebug", "", "", "DEBUG 1|DEBUG 0", on + then + off,
         "Enable debug", true},
        // Nothing changed, so the next click asks for the same thing again.
        {"debug refused, asked again", "2.2", "pbEnableDebug pbEnableDebug", "DEBUG 1", "", "DEBUG 1|DEBUG 1",
         boxesOf({Error::VerboseFailed}) + then + on, "Disable debug", true},
        {"LED debug refused, asked again", "2.2", "pbEnableDebugLed pbEnableDebugLed", "DEBUG LEDON", "",
         "DEBUG LEDON|DEBUG LEDON", boxesOf({Error::VerboseLedFailed}) + then + ledOn, "Disable LED debug", true},
        // A new handshake switches the device's debug output off, not its LED.
        {"debug and LED on, connected again, both clicked", "2.2",
         "pbEnableDebug pbEnableDebugLed stopButton startButton pbEnableDebug pbEnableDebugLed", "", "",
         "DEBUG 1|DEBUG LEDON|DISCONNECTE|READY|DEBUG 1|VERSION|LORA GET  0|DEBUG 0|DEBUG 1|DEBUG LEDOFF",
         on + then + ledOn + then + connected + then + on + then + ledOff, "Enable LED debug", true},
        // The query switches the device's debug output on and off again
        // whatever fails, and a figure is never stale nor empty.
        {"battery", "2.2", "pbGetBatteryStatus", "", "", "DEBUG 1|BATTERY GET LIFE  0|DEBUG 0", figure,
         "Get battery status", true},
        {"battery, debug on refused", "2.2", "pbGetBatteryStatus", "DEBUG 1", "", "DEBUG 1|BATTERY GET LIFE  0|DEBUG 0",
         noBattery, "Get battery status", true},
        {"battery, debug off refused", "2.2", "pbGetBatteryStatus", "DEBUG 0", "",
         "DEBUG 1|BATTERY GET LIFE  0|DEBUG 0", noBattery, "Get battery status", true},
        {"battery answer without a figure after one with", "2.2", "pbGetBatteryStatus pbGetBatteryStatus", "",
         "Battery gauge busy\r\nOK\r\n>", "DEBUG 1|BATTERY GET LIFE  0|DEBUG 0|DEBUG 1|BATTERY GET LIFE  0|DEBUG 0",
         figure + then + noBattery, "Get battery status", true},
        // The device switches off at "poweroff" before it answers, so the
        // goodbye of the disconnect no longer reaches it.
        {"factory reset of 1.9: all at once, then a save", "1.9", "pbResetParam", "", "",
         "RESETPARAM 1  0|SAVEPARAM  0|poweroff  0", reset, "Reset factory parameters on flash", false},
        {"factory reset of 1.9.1: each half", "1.9.1", "pbResetParam", "", "",
         "RESETPARAM LORA  0|RESETPARAM ALGO  0|poweroff  0", reset, "Reset factory parameters on flash", false},
        {"power off", "2.2", "pbTurnOffProduct", "", "", "poweroff  0",
         info("Pelko is now off. You can safely unplug it."), "Turn off product", false},
    };
}

template<class T>
T *named(QWidget &window, const char *name)
{
    for (T *widget : window.findChildren<T *>())
        if (widget->accessibleName() == QLatin1String(name))
            return widget;
    return nullptr;
}

struct TypedRow
{
    const char *name;
    const char *release; // nullptr: plugged in, never connected
    QString typed;
    QString sent;
    QString boxes;
    const char *consoleHas;
    const char *differenceLine;
    bool linkUp;
};

QList<TypedRow> typedRows()
{
    const auto info = [](const char *text) {
        return QStringLiteral("information Information: ") + text;
    };
    const QString key = QStringLiteral("LORA SET APPKEY 2B7E151628AED2A6ABF7158809CF4F3C");
    const char *byHand = "Changed by hand: a Read will show what the Pelko now holds";
    // Each line typed is followed by Enter; "^" is Up, then Enter.
    return {
        {"the reading commands go out as the program's own", "2.2",
         "VERSION| LORA GET|BATTERY GET LIFE|READY|ALIVE period 1800000|SAVEPARAM ALGO|DEBUG 1|DUMP RAM PARAM",
         "VERSION|LORA GET  0|BATTERY GET LIFE  0|READY|ALIVE period 1800000|SAVEPARAM ALGO|DEBUG 1|DUMP RAM PARAM  0",
         "", ">VERSION\n", byHand, true},
        {"a line with a key is masked and not sent again from the history", "2.2", key + "|^|DEBUG 0|^",
         key + "|DEBUG 0|DEBUG 0", "", "Not sent: a line with a key is not sent again from the history", byHand, true},
        {"refused lines", "2.2", "|" + QString(65, 'A') + "|DEBUG\t1", "", "",
         "Not sent: the line is longer than the 64 characters the Pelko takes.", "", true},
        {"not connected", nullptr, "VERSION", "", boxesOf({Error::NotConnected}), "", "", false},
        {"reset", "2.2", "reset", "reset|READY|DEBUG 1|VERSION|LORA GET  0|DEBUG 0",
         info("Please wait 5s for Pelko reboot... then click 'OK'") + " | " +
             info("Successfully connected to the pelko !"),
         "AppKey : XXXXXXXXXXXXXXXXXXXXXXXXXXCF4F3C", "", true},
        {"poweroff", "2.2", "poweroff", "poweroff  0", info("Pelko is now off. You can safely unplug it."), "POWEROFF",
         "", false},
        // The line in flight is the whole operation: nothing is left to stop.
        {"stopped during DUMP RAM PARAM", "2.2", "DEBUG 1|DUMP RAM PARAM", "DEBUG 1|DUMP RAM PARAM  0", "", "", byHand,
         true},
    };
}

} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void clicksSendTheReleasesLinesAndTellTheUser_data();
    void clicksSendTheReleasesLinesAndTellTheUser();
    void typedLinesGoOutAsTheProgramsOwnAndTellTheUser_data();
    void typedLinesGoOutAsTheProgramsOwnAndTellTheUser();
    void restartReconnectsNoSoonerThanTheRebootTakes_data();
    void restartReconnectsNoSoonerThanTheRebootTakes();
};

void ToolsTest::clicksSendTheReleasesLinesAndTellTheUser_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < toolRows().size(); ++i)
        QTest::newRow(toolRows().at(i).name) << i;
}

// Clicks on the tools of a window (connected unless no release is named),
// the device refusing a line once or answering the battery query its own way
// at the last click: what reached the device, what the user was told, what
// the last button clicked reads and whether the link is still up.
void ToolsTest::clicksSendTheReleasesLinesAndTellTheUser()
{
    QFETCH(int, index);
    const ToolRow row = toolRows().at(index);
    Bench bench(row.release ? row.release : "2.2", row.release);
    QVERIFY2(bench.sim.isReady() && bench.connected == bool(row.release), row.name);
    if (*row.refusedOnce)
        bench.sim.device().setFault(row.refusedOnce, SimFault::Refuses, 1);
    DebugLog log;
    const QList<QByteArray> clicks = QByteArray(row.clicks).split(' ');
    for (const QByteArray &name : clicks) {
        if (&name == &clicks.last() && *row.answer)
            bench.sim.device().setRawAnswer("BATTERY", row.answer);
        bench.form.click(name.constData());
    }

    QCOMPARE(bench.wire(), QByteArray(row.sent));
    QCOMPARE(bench.dialogs.summary(), row.boxes);
    if (row.boxes.contains(QLatin1String("critical Error")))
        QVERIFY(bench.form.statusShown().endsWith(QString(StatusStyle::error) + QLatin1Char(']')));
    if (!row.release) {
        QCOMPARE(bench.form.statusShown(), statusOf(Error::NotConnected));
        QCOMPARE(log.count("ERROR 7: port com is not ready: Product not connected"), clicks.size());
    }
    QCOMPARE(bench.form.text(clicks.last().constData()), QString::fromLatin1(row.buttonText));
    QVERIFY2(bench.linkUp() == row.linkUp, row.name);
    if (!row.linkUp)
        QVERIFY(bench.form.text("startButton") == "Connection" && !bench.window.session().linkReady() &&
                !bench.window.session().port().isOpen());
    if (!row.linkUp && row.release)
        QVERIFY(bench.form.enabled("startButton") && !bench.form.enabled("stopButton"));
}

void ToolsTest::typedLinesGoOutAsTheProgramsOwnAndTellTheUser_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < typedRows().size(); ++i)
        QTest::newRow(typedRows().at(i).name) << i;
}

// Lines typed under the console of a window (connected unless no release is
// named): what reached the device, what the user was told, in the console
// and beside the progress bar, whether the link is still up. A typed dump
// fills the form as Read does; a Stop while it is in flight stops nothing.
void ToolsTest::typedLinesGoOutAsTheProgramsOwnAndTellTheUser()
{
    QFETCH(int, index);
    const TypedRow row = typedRows().at(index);
    Bench bench(row.release ? row.release : "2.2", row.release, 300);
    bench.window.session().limits().rebootFloorMs = 400;
    QVERIFY(bench.sim.isReady() && bench.connected == bool(row.release));
    auto *line = named<QLineEdit>(bench.window, "Command to send");
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, [&] {
        if (bench.sim.device().receivedLines().contains("DUMP RAM PARAM  0\r\n") &&
            QString(row.name).startsWith("stop")) {
            stop.stop();
            bench.form.click("stopButton");
        }
    });
    stop.start(1);
    for (const QString &typed : row.typed.split('|')) {
        if (typed == QLatin1String("^"))
            QTest::keyClick(line, Qt::Key_Up);
        else
            line->setText(typed);
        QTest::keyClick(line, Qt::Key_Return);
    }
    QVERIFY(stop.isActive() != QString(row.name).startsWith("stop"));
    stop.stop();
    QCOMPARE(QString::fromUtf8(bench.wire()), row.sent);
    QCOMPARE(bench.dialogs.summary(), row.boxes);
    // The console as Save… keeps it (never in a FIFO), keys masked.
    QTemporaryDir dir;
    QCOMPARE(QProcess::execute("mkfifo", {dir.filePath("fifo")}), 0);
    QVERIFY(!bench.window.saveConsole(dir.filePath("fifo")) && bench.window.saveConsole(dir.filePath("c.txt")));
    QFile saved(dir.filePath("c.txt"));
    const QString console = saved.open(QIODevice::ReadOnly) ? QString::fromUtf8(saved.readAll()) : QString();
    QVERIFY2(console.startsWith("Pelko Configurator console, ") && console.contains(QLatin1String(row.consoleHas)) &&
                 !console.contains("2B7E151628AED2A6ABF7"),
             qPrintable(console));
    QCOMPARE(named<QLabel>(bench.window, "Settings Start will change")->text(), QString(row.differenceLine));
    QVERIFY2(bench.linkUp() == row.linkUp, row.name);
    if (!row.typed.contains(QLatin1String("ALIVE period 1800000")))
        return;
    QCOMPARE(bench.form.find<QSpinBox>("xAlivePeriod")->value(), 1800);
    const ConfigFile::FormValues typed = formValues(bench.window);
    bench.form.click("readAlgoButton");
    QCOMPARE(formValues(bench.window), typed);
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
    Bench bench("2.2", true, 400);
    QVERIFY(bench.connected);
    // The reconnection after the reboot is timed here: answers get the
    // quiet time a busy machine needs.
    LinkLimits &limits = bench.window.session().limits();
    limits = shortLinkTimes(60, 120);
    limits.rebootFloorMs = 1500;
    bench.dialogs.setDismissDelay(dismissAfterMs);
    // Fires inside the reboot box, so the connection box after it goes at once.
    QTimer::singleShot(1000, &bench.dialogs, [&bench] { bench.dialogs.setDismissDelay(0); });

    bench.form.click("pbRestartProduct");

    const QList<SimWireLine> lines = bench.sim.device().received();
    const qint64 resetAt = firstLineAt(lines, "reset\r\n");
    const qint64 readyAt = firstLineAt(lines, "READY\r\n", resetAt);
    QVERIFY(resetAt >= 0 && readyAt >= 0);
    QVERIFY2(readyAt - resetAt >= limits.rebootFloorMs, qPrintable(QString::number(readyAt - resetAt)));
    const QList<SeenDialog> seen = bench.dialogs.seen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(0).text, QStringLiteral("Please wait 5s for Pelko reboot... then click 'OK'"));
    QCOMPARE(seen.at(1).text, QStringLiteral("Successfully connected to the pelko !"));
    const qint64 afterDismissal = seen.at(1).shownAtMs - seen.at(0).dismissedAtMs;
    QVERIFY2(afterDismissal >= minWaitMs && afterDismissal <= maxWaitMs, qPrintable(QString::number(afterDismissal)));
    QVERIFY(bench.linkUp());
}

QTEST_MAIN(ToolsTest)
#include "tst_tools.moc"
