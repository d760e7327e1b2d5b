#include "linktesting.h"

#include "debuglog.h"
#include "mainwindow.h"

#include <QElapsedTimer>
#include <QTextEdit>

// One exchange at a time against the simulated device, on a port the test
// opens itself.
class ExchangeTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyAnswerComesToItsResult_data();
    void everyAnswerComesToItsResult();
    void saveLineIsReadWithTheLongQuietTimeWhichIsThenRestored();
    void babblingDeviceIsCutOffAtTheCap_data();
    void babblingDeviceIsCutOffAtTheCap();
    void bytesWaitingBeforeTheLineAreShownButNeverJudged_data();
    void bytesWaitingBeforeTheLineAreShownButNeverJudged();
    void writingToAClosedPortFailsWithoutReading();
    void poweroffAndResetBannersAreWrittenEvenWhenWritingFails();

private:
    bool openDevicePort(MainWindow &window);
    QTextEdit *console(MainWindow &window) { return window.findChild<QTextEdit *>("consoleOutput"); }

    std::unique_ptr<ShortLinkTimes> m_times;
    std::unique_ptr<SimHarness> m_sim;
};

void ExchangeTest::init()
{
    m_times.reset(new ShortLinkTimes(100, 400));
    m_sim.reset(new SimHarness);
    QVERIFY(m_sim->isReady());
}

void ExchangeTest::cleanup()
{
    m_sim.reset();
    m_times.reset();
}

bool ExchangeTest::openDevicePort(MainWindow &window)
{
    window.serial.setPortName(m_sim->device().portPath());
    window.serial.setBaudRate(QSerialPort::Baud115200);
    return window.serial.open(QIODevice::ReadWrite);
}

void ExchangeTest::everyAnswerComesToItsResult_data()
{
    QTest::addColumn<int>("fault"); // -1: none
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("console"); // null: not looked at
    QTest::addColumn<QString>("trace");
    QTest::newRow("accepted, echoed and logged trimmed") << -1 << 0 << "OK\n>"
                                                         << "CMD sent : \"CHOC gxSup 1500\" ==> Pelko answers : \"OK\"";
    QTest::newRow("refused, with a note in the console")
        << int(SimFault::Refuses) << -1 << "NOK : Command 'CHOC gxSup' failed\n>" << QString();
    QTest::newRow("silence") << int(SimFault::NeverAnswers) << -2 << "" << QString();
    QTest::newRow("answer without OK") << int(SimFault::AnswersWithoutOk) << -2 << QString() << QString();
    QTest::newRow("garbage") << int(SimFault::SendsGarbage) << -2 << QString() << QString();
}

void ExchangeTest::everyAnswerComesToItsResult()
{
    QFETCH(int, fault);
    QFETCH(int, result);
    QFETCH(QString, console);
    QFETCH(QString, trace);
    MainWindow window;
    QVERIFY(openDevicePort(window));
    if (fault >= 0)
        m_sim->device().setFault("CHOC gxSup", SimFault(fault));
    DebugLog log;
    QCOMPARE(window.sendOneCommand("CHOC", "gxSup", 1500, QString()), result);
    QCOMPARE(m_sim->device().receivedLines(), QList<QByteArray>{"CHOC gxSup 1500\r\n"});
    if (!console.isNull())
        QCOMPARE(this->console(window)->toPlainText(), console);
    QVERIFY2(trace.isEmpty() || log.contains(trace), qPrintable(log.lines().join('\n')));
    // The next exchange works again once the device behaves.
    m_sim->device().clearFaults();
    QCOMPARE(window.sendOneCommand("DEBUG", "0", 0, QString()), 0);
}

void ExchangeTest::saveLineIsReadWithTheLongQuietTimeWhichIsThenRestored()
{
    // Chunks paused longer than the usual quiet time but shorter than the
    // save's: only a save line waits for the "OK" in the last chunk.
    SimHarness rig([] {
        SimDevice::Options options;
        options.chunkPauseMs = 200;
        return options;
    }());
    QVERIFY(rig.isReady());
    MainWindow window;
    window.serial.setPortName(rig.device().portPath());
    window.serial.setBaudRate(QSerialPort::Baud115200);
    QVERIFY(window.serial.open(QIODevice::ReadWrite));
    const QByteArray slowAnswer("writing flash............\r\nwritten\r\nOK\r\n>");
    rig.device().setRawAnswer("SAVEPARAM", slowAnswer);
    rig.device().setRawAnswer("DEBUG", slowAnswer);
    rig.device().setFault("SAVEPARAM", SimFault::AnswersInChunks);
    rig.device().setFault("DEBUG", SimFault::AnswersInChunks);

    // A silent device first: the save still gets its long wait, and the
    // usual quiet time comes back.
    rig.device().setFault("SAVEPARAM LORA", SimFault::NeverAnswers);
    QCOMPARE(window.sendOneCommand("SAVEPARAM", "LORA", 0, QString()), -2);
    QCOMPARE(readTimeout, 100);

    QCOMPARE(window.sendOneCommand("SAVEPARAM", "ALGO", 0, QString()), 0);
    QCOMPARE(readTimeout, 100);
    QCOMPARE(window.sendOneCommand("DEBUG", "1", 0, QString()), -2);
    QCOMPARE(readTimeout, 100);
}

void ExchangeTest::babblingDeviceIsCutOffAtTheCap_data()
{
    QTest::addColumn<int>("capMs");
    QTest::addColumn<int>("capBytes");
    QTest::addColumn<QString>("trace");
    // The time cap is met by every babbling cell of the fault matrix.
    QTest::newRow("size") << 5000 << 2000 << QStringLiteral("and 2000 bytes");
}

void ExchangeTest::babblingDeviceIsCutOffAtTheCap()
{
    QFETCH(int, capMs);
    QFETCH(int, capBytes);
    QFETCH(QString, trace);
    readTimeout = 500;
    LinkLimits::maxReadDurationMs = capMs;
    LinkLimits::maxAnswerBytes = capBytes;
    MainWindow window;
    QVERIFY(openDevicePort(window));
    DebugLog log;
    m_sim->device().setFault("LORA GET", SimFault::Babbles, 1);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(window.sendOneCommand("LORA GET", QByteArray(), 0, QString()), -2);
    // Well before the device would have paused by itself (3 s).
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(log.contains(trace), qPrintable(log.lines().join('\n').right(500)));
    QVERIFY(console(window)->toPlainText().contains(QLatin1String("acc x=")));
    // An answer without "OK" is never taken for the device's settings.
    QVERIFY(window.loraAnswer.isEmpty());
}

void ExchangeTest::bytesWaitingBeforeTheLineAreShownButNeverJudged_data()
{
    QTest::addColumn<bool>("beforeOpening");
    QTest::newRow("waiting when the port opens") << true;
    QTest::newRow("arrived while the port was idle") << false;
}

void ExchangeTest::bytesWaitingBeforeTheLineAreShownButNeverJudged()
{
    QFETCH(bool, beforeOpening);
    MainWindow window;
    DebugLog log;
    // A late "OK" left by an earlier command, then a line the device never answers.
    if (beforeOpening)
        m_sim->device().sendUnasked("late OK\r\n>");
    QVERIFY(openDevicePort(window));
    if (!beforeOpening) {
        m_sim->device().sendUnasked("late OK\r\n>");
        QTest::qWait(30);
    }
    m_sim->device().setFault("DEBUG", SimFault::NeverAnswers, 1);
    QCOMPARE(window.sendOneCommand("DEBUG", "1", 0, QString()), -2);
    QCOMPARE(console(window)->toPlainText(), QStringLiteral("late OK\n>"));
    QVERIFY(log.contains(QStringLiteral("Before the line went out, the device had sent : \"late OK\\r\\n>\"")));
    QVERIFY(log.contains(QStringLiteral("CMD sent : \"DEBUG 1\" ==> Pelko answers : \"\"")));
}

void ExchangeTest::writingToAClosedPortFailsWithoutReading()
{
    MainWindow window;
    DebugLog log;
    QCOMPARE(window.sendOneCommand("READY", QByteArray(), 0, QString()), -1);
    QVERIFY(log.contains(QStringLiteral("Failed to write the data to port")));
    QVERIFY(!log.contains(QStringLiteral("CMD sent")));
    QVERIFY(console(window)->toPlainText().isEmpty());
    QVERIFY(m_sim->device().receivedLines().isEmpty());
}

void ExchangeTest::poweroffAndResetBannersAreWrittenEvenWhenWritingFails()
{
    MainWindow window;
    QCOMPARE(window.sendOneCommand("poweroff", QByteArray(), 0, QString()), -1);
    QCOMPARE(window.sendOneCommand("reset", QByteArray(), 0, QString()), -1);
    QCOMPARE(console(window)->toPlainText(),
             QStringLiteral("\n--------------------------> POWEROFF <--------------------------\n"
                            "\n---------------------------> REBOOT <---------------------------\n"));
}

QTEST_MAIN(ExchangeTest)
#include "tst_exchange.moc"
