// The link as the user meets it (connect, disconnect, ports that cannot be
// used, clicks made while the window waits) and single exchanges with a
// simulated device. How each faulty answer ends for the user is the fault
// matrix's.

#include "linktesting.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "mainwindow.h"

#include <QDateTime>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include <tuple>

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectionIdentifiesTheDeviceAndDisconnectingForgetsIt();
    void portThatCannotBeUsedReportsItsError_data();
    void portThatCannotBeUsedReportsItsError();
    void babbleIsCutAtTheSizeCapAndAClosedPortReadsNothing();
    void saveLineIsReadWithTheLongQuietTimeWhichIsThenRestored();

private:
    bool openDevicePort(MainWindow &window, SimHarness &sim)
    {
        window.session().port().setPortName(sim.device().portPath());
        window.session().port().setBaudRate(QSerialPort::Baud115200);
        return window.session().port().open(QIODevice::ReadWrite);
    }
    static QString console(MainWindow &window)
    {
        return FormProbe(window).find<QTextEdit>("consoleOutput")->toPlainText();
    }

    std::unique_ptr<SimHarness> m_sim;
    std::unique_ptr<DialogWatcher> m_dialogs;
};

void ConnectionTest::init()
{
    if (hostListsADevice())
        QSKIP("this host lists a port of the device's USB bridge");
    m_sim.reset(new SimHarness);
    QVERIFY(m_sim->isReady());
    m_dialogs.reset(new DialogWatcher);
}

void ConnectionTest::cleanup()
{
    m_dialogs.reset();
    m_sim.reset();
}

void ConnectionTest::connectionIdentifiesTheDeviceAndDisconnectingForgetsIt()
{
    // Another maker's port listed first, a second device port after: the first device port is used.
    m_sim->addPort("ttySECOND", "Silicon Labs", "/nonexistent/ttySECOND");
    m_sim->addPort("ttyOTHER", "Prolific", "/nonexistent/ttyOTHER", true);
    MainWindow window;
    window.session().limits() = shortLinkTimes(100, 400);
    FormProbe form(window);
    form.find("pbEnableDebug")->setText(QStringLiteral("Disable debug"));
    DebugLog log;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    form.click("startButton");

    QCOMPARE(m_sim->device().receivedLines(),
             (QList<QByteArray>{"READY\r\n", "DEBUG 1\r\n", "VERSION\r\n", "LORA GET  0\r\n", "DEBUG 0\r\n"}));
    QCOMPARE(m_dialogs->summary(), QStringLiteral("information Information: Successfully connected to the pelko !"));
    QCOMPARE(form.text("startButton") + '/' + form.text("stopButton") + '/' + form.text("pbEnableDebug"),
             QStringLiteral("Start/Disconnect/Enable debug"));
    QVERIFY(form.enabled("startButton") && form.enabled("stopButton") && form.enabled("readAlgoButton"));
    QCOMPARE(form.statusShown(), QStringLiteral("Firmware : v2.2\nOK\n> [%1]").arg(StatusStyle::ok));
    QVERIFY(!form.find<QLineEdit>("leDevEUI")->text().isEmpty());
    QVERIFY(log.contains("Port manufacturer: Prolific") && log.contains("Pelko detected ! (ttyPELKO0:Silicon Labs)"));
    QVERIFY(!log.contains("ttySECOND"));
    // The console starts with the dated banner, then every answer.
    const QRegularExpressionMatch banner = QRegularExpression("^-{22}> (.+) <-{22}\n").match(console(window));
    QVERIFY2(banner.hasMatch(), qPrintable(console(window)));
    QDateTime stamp = QDateTime::fromString(banner.captured(1), Qt::TextDate);
    stamp.setTimeSpec(Qt::UTC);
    QVERIFY2(stamp >= before && stamp <= QDateTime::currentDateTimeUtc(), qPrintable(banner.captured(1)));

    m_sim->device().clearReceived();
    log.clear();
    form.click("stopButton");
    QCOMPARE(m_sim->device().receivedLines(), QList<QByteArray>{"DISCONNECTE\r\n"});
    QVERIFY(!window.session().port().isOpen() && !window.session().linkReady() && !window.session().connected());
    QCOMPARE(form.text("startButton"), QStringLiteral("Connection"));
    QVERIFY(form.enabled("startButton") && !form.enabled("stopButton") && !form.enabled("readAlgoButton"));
    QCOMPARE(form.statusShown(), QStringLiteral(" [%1]").arg(StatusStyle::cleared));
    QVERIFY(!form.enabled("leVersion"));
    for (const QString &name :
         QStringLiteral("leDevEUI leAppEUI leAppKEY leNwkSKEY leAppSKEY leDevADDR leNwkID").split(' '))
        QVERIFY2(window.findChild<QLineEdit *>(name)->text().isEmpty(), qPrintable(name));
    for (const QString &name : QStringLiteral("rbMessageConfirmed rbMessageUnconfirmed rbABP rbOTAA rbADR_OFF rbADR_ON "
                                              "rbPrivateNetwork rbPublicNetwork")
                                   .split(' '))
        QVERIFY2(!window.findChild<QRadioButton *>(name)->isChecked(), qPrintable(name));
    QCOMPARE(log.count("PELKO DISCONNECTED!"), 1);
    QCOMPARE(m_dialogs->seen().size(), 1); // only the connection's

    // Connecting again starts a fresh console.
    form.click("startButton");
    QCOMPARE(m_dialogs->titles(), (QStringList{"Information", "Information"}));
    QCOMPARE(console(window).count("---------------------->"), 1);
    QVERIFY(!console(window).contains("DISCONNECTE"));
}

// No port of the device's maker (Error 1: Stop must bring the window back to
// idle), or one that will not open (Error 2: the window is idle at once).
void ConnectionTest::portThatCannotBeUsedReportsItsError_data()
{
    QTest::addColumn<QString>("manufacturer"); // of the only port; null: no port
    QTest::addColumn<bool>("opens");
    QTest::addColumn<Error>("error");
    QTest::newRow("no port at all") << QString() << true << Error::PortNotFound;
    QTest::newRow("lower-case manufacturer") << QStringLiteral("silicon labs") << true << Error::PortNotFound;
    QTest::newRow("another maker") << QStringLiteral("FTDI") << true << Error::PortNotFound;
    QTest::newRow("a maker only naming it") << QStringLiteral("Not Silicon Labs") << true << Error::PortNotFound;
    QTest::newRow("port that will not open") << QStringLiteral("Silicon Labs") << false << Error::PortNotOpened;
    QTest::newRow("port held by another program") << QStringLiteral("Silicon Labs") << true << Error::PortBusy;
}

void ConnectionTest::portThatCannotBeUsedReportsItsError()
{
    QFETCH(QString, manufacturer);
    QFETCH(bool, opens);
    QFETCH(Error, error);
    m_sim.reset();
    SimDevice::Options options;
    if (!manufacturer.isNull())
        options.manufacturer = manufacturer;
    m_sim.reset(new SimHarness(options, !manufacturer.isNull() && opens));
    if (!opens)
        m_sim->addPort(QStringLiteral("ttyGONE"), manufacturer, QStringLiteral("/nonexistent/ttyGONE"));
    QSerialPort holder(m_sim->device().portPath());
    if (opens && error == Error::PortBusy)
        QVERIFY(holder.open(QIODevice::ReadWrite));
    DebugLog log;
    MainWindow window;
    window.session().limits() = shortLinkTimes(100, 400);
    FormProbe form(window);
    form.click("startButton");

    QCOMPARE(m_dialogs->summary(), boxesOf({error}));
    QCOMPARE(form.statusShown(), statusOf(error));
    QVERIFY(!window.session().linkReady() && !window.session().port().isOpen());
    QVERIFY(m_sim->device().receivedLines().isEmpty());
    if (error == Error::PortNotOpened || error == Error::PortBusy) {
        QVERIFY(log.contains("Serial init error : ") && !log.contains("Serial init error : No error"));
        // The port's own words, in the console too: they tell a missing
        // permission from a port another program holds.
        QSerialPort probe(opens ? m_sim->device().portPath() : QStringLiteral("/nonexistent/ttyGONE"));
        QVERIFY(!probe.open(QIODevice::ReadWrite));
        const QString said =
            QStringLiteral("Serial init error on %1 : %2").arg(window.session().port().portName(), probe.errorString());
        QVERIFY2(console(window).contains(said), qPrintable(console(window)));
    } else {
        QVERIFY(!form.enabled("startButton") && form.enabled("stopButton"));
        QCOMPARE(form.text("stopButton"), QStringLiteral("Stop"));
        form.click("stopButton");
    }
    QVERIFY(form.enabled("startButton") && !form.enabled("stopButton"));
}

void ConnectionTest::babbleIsCutAtTheSizeCapAndAClosedPortReadsNothing()
{
    // Where every faulty answer leads is the fault matrix's, which cuts a
    // babbling device at the time cap; here, the size cap comes first.
    MainWindow window;
    window.session().limits() = shortLinkTimes(100, 400);
    window.session().limits().maxReadDurationMs = 5000;
    window.session().limits().maxAnswerBytes = 2000;
    QVERIFY(openDevicePort(window, *m_sim));
    m_sim->device().setFault("CHOC gxSup", SimFault::Babbles);
    DebugLog log;
    QCOMPARE(window.session().sendOneCommand("CHOC", "gxSup", 1500, QString()), -2);
    QVERIFY(log.contains("and 2000 bytes"));

    // A port that is not open: nothing is read, but the restart and power-off banners are still shown.
    window.session().port().close();
    window.findChild<QTextEdit *>("consoleOutput")->clear();
    log.clear();
    QCOMPARE(window.session().sendOneCommand("poweroff", QByteArray(), 0, QString()), -1);
    QCOMPARE(window.session().sendOneCommand("reset", QByteArray(), 0, QString()), -1);
    QVERIFY(log.contains("Failed to write the data to port") && !log.contains("CMD sent"));
    QCOMPARE(console(window), QStringLiteral("\n--------------------------> POWEROFF <--------------------------\n"
                                             "\n---------------------------> REBOOT <---------------------------\n"));
}

void ConnectionTest::saveLineIsReadWithTheLongQuietTimeWhichIsThenRestored()
{
    // Chunks paused longer than the usual quiet time but shorter than the
    // save's: only a save line waits for the "OK" in the last chunk.
    SimDevice::Options options;
    options.chunkPauseMs = 200;
    SimHarness rig(options);
    QVERIFY(rig.isReady());
    MainWindow window;
    window.session().limits() = shortLinkTimes(100, 400);
    QVERIFY(openDevicePort(window, rig));
    for (const char *command : {"SAVEPARAM", "DEBUG"}) {
        rig.device().setRawAnswer(command, "writing flash............\r\nwritten\r\nOK\r\n>");
        rig.device().setFault(command, SimFault::AnswersInChunks);
    }
    // A silent device first: the save still gets its long wait, and the usual quiet time comes back.
    rig.device().setFault("SAVEPARAM LORA", SimFault::NeverAnswers);
    const std::tuple<const char *, const char *, int> rows[] = {
        {"SAVEPARAM", "LORA", -2}, {"SAVEPARAM", "ALGO", 0}, {"DEBUG", "1", -2}};
    for (const auto &[command, parameter, result] : rows) {
        QCOMPARE(window.session().sendOneCommand(command, parameter, 0, QString()), result);
        QCOMPARE(window.session().quietMs(), 100);
    }
}

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
