// The simulated device as the program meets it: over its pseudo-terminal,
// through a plain serial port, and through the ports file.

#include "simdevice.h"
#include "debuglog.h"
#include "simharness.h"

#include "readback/dumpkeytable.h"
#include "readback/dumpscan.h"
#include "readback/firmware.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QtTest>

namespace {

// A program's end of the link: writes a line, collects the answer until the
// line has been quiet for `quietMs`, noting the longest gap between bytes.
class Link
{
public:
    bool open(const QString &path)
    {
        port.setPortName(path);
        port.setBaudRate(115200);
        return port.open(QIODevice::ReadWrite);
    }

    QByteArray exchange(const QByteArray &line, int quietMs = 150)
    {
        port.write(line);
        port.waitForBytesWritten(100);
        return answer(quietMs);
    }

    QByteArray answer(int quietMs = 150)
    {
        QByteArray bytes;
        QElapsedTimer gap;
        gap.start();
        longestGapMs = 0;
        while (port.waitForReadyRead(quietMs)) {
            if (!bytes.isEmpty())
                longestGapMs = qMax(longestGapMs, gap.elapsed());
            bytes += port.readAll();
            gap.restart();
        }
        return bytes + port.readAll();
    }

    QSerialPort port;
    qint64 longestGapMs = 0;
};

QList<QByteArray> listedLines(const QString &portsFile)
{
    QFile file(portsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

} // namespace

class TestSimDevice : public QObject
{
    Q_OBJECT

private slots:
    void answersHoldTheirKeywordBeforeTheTrailer_data();
    void answersHoldTheirKeywordBeforeTheTrailer();
    void everyReleaseIsIdentifiedFromItsVersionAnswer();
    void settingsWaitForTheSaveOfTheirOwnGroup();
    void factoryResetRestoresTheGroupItNames();
    void dumpReadsBackWhatWasSavedThroughTheProgramsDecoder();
    void loraAnswerReflectsSavedSettingsAndRelease();
    void olderReleasesRefuseNewerKeys();
    void lineWithoutLineEndIsAnsweredAfterQuiet();
    void faultsMangleTheAnswer_data();
    void faultsMangleTheAnswer();
    void faultLimitedInTimesWearsOff();
    void babbleNeverPausesAndNeverHangsTheDevice();
    void goingAwayUnlistsThePortUntilItComesBack();
    void restartAnswersThenComesBackOnANewPort();
    void powerOffGoesAwayWithoutAnswering();
    void devicesSharingAPortsFileKeepEachOthersLines();
    void wireLogRecordsBothDirections();
};

void TestSimDevice::answersHoldTheirKeywordBeforeTheTrailer_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("ready") << QByteArray("READY\r\n") << QByteArray("OK\r\n>");
    QTest::newRow("version") << QByteArray("VERSION\r\n") << QByteArray("\x1b[32mFirmware : v2.2\x1b[0m\r\nOK\r\n>");
    QTest::newRow("debug on") << QByteArray("DEBUG 1\r\n") << QByteArray("OK\r\n>");
    QTest::newRow("led debug") << QByteArray("DEBUG LEDON\r\n") << QByteArray("OK\r\n>");
    QTest::newRow("battery") << QByteArray("BATTERY GET LIFE  0\r\n") << QByteArray("Battery: 87%\r\nOK\r\n>");
    QTest::newRow("disconnect") << QByteArray("DISCONNECTE\r\n") << QByteArray("OK\r\n>");
    QTest::newRow("mask") << QByteArray("ALGO 0x1a\r\n") << QByteArray("OK\r\n>");
    QTest::newRow("dump without debug") << QByteArray("DUMP RAM PARAM  0\r\n") << QByteArray("NOK\r\n>");
    QTest::newRow("unknown key") << QByteArray("CHOC gxUp 50\r\n") << QByteArray("NOK\r\n>");
    QTest::newRow("value not a number") << QByteArray("CHOC gxSup 5k\r\n") << QByteArray("NOK\r\n>");
    QTest::newRow("unknown command") << QByteArray("HELLO\r\n") << QByteArray("NOK\r\n>");
}

void TestSimDevice::answersHoldTheirKeywordBeforeTheTrailer()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, answer);
    SimHarness sim;
    QVERIFY(sim.isReady());
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange(line), answer);
    QVERIFY(answer.endsWith(SimDevice::trailer()));
    QCOMPARE(sim.device().receivedLines(), QList<QByteArray>{line});
}

void TestSimDevice::everyReleaseIsIdentifiedFromItsVersionAnswer()
{
    const QStringList releases = {"1.6",   "1.7", "1.8", "1.9",   "1.9.1", "1.9.2",
                                  "1.9.3", "2.0", "2.1", "2.1.1", "2.1.2", "2.2"};
    SimHarness sim;
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    for (int i = 0; i < releases.size(); ++i) {
        sim.device().setRelease(releases.at(i));
        const QByteArray answer = link.exchange("VERSION\r\n");
        QVERIFY2(answer.endsWith("OK\r\n>"), answer.constData());
        QCOMPARE(Firmware::identify(answer.left(answer.size() - 3), -1.0f), Firmware::kReleases[i].version);
    }
}

void TestSimDevice::settingsWaitForTheSaveOfTheirOwnGroup()
{
    SimHarness sim;
    SimDevice &device = sim.device();
    Link link;
    QVERIFY(link.open(device.portPath()));
    QCOMPARE(link.exchange("CHOC gxSup 1234\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("ALGO 0x1a\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("LORA SET APPEUI 0011223344556677\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(device.pendingParameters().size(), 3);
    QCOMPARE(device.savedParameters().value("CHOC gxSup"), QByteArray("5000"));

    QCOMPARE(link.exchange("SAVEPARAM ALGO 0\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(device.savedParameters().value("CHOC gxSup"), QByteArray("1234"));
    QCOMPARE(device.savedParameters().value("ALGO"), QByteArray("0x1a"));
    QCOMPARE(device.savedParameters().value("LORA SET APPEUI"), QByteArray("0000000000000000"));
    QCOMPARE(device.pendingParameters().keys(), QList<QByteArray>{"LORA SET APPEUI"});

    QCOMPARE(link.exchange("LORA SET JRERROR 3\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("MVT timerX 900\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("SAVEPARAM  0\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(device.savedParameters().value("LORA SET APPEUI"), QByteArray("0011223344556677"));
    QCOMPARE(device.savedParameters().value("LORA SET JRERROR"), QByteArray("3"));
    QCOMPARE(device.savedParameters().value("MVT timerX"), QByteArray("900"));
    QVERIFY(device.pendingParameters().isEmpty());
}

void TestSimDevice::factoryResetRestoresTheGroupItNames()
{
    SimHarness sim;
    SimDevice &device = sim.device();
    device.setSavedParameter("CHOC gxSup", "1234");
    device.setSavedParameter("LORA SET APPEUI", "0011223344556677");
    Link link;
    QVERIFY(link.open(device.portPath()));
    QCOMPARE(link.exchange("RESETPARAM LORA  0\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(device.savedParameters().value("LORA SET APPEUI"), QByteArray("0000000000000000"));
    QCOMPARE(device.savedParameters().value("CHOC gxSup"), QByteArray("1234"));
    QCOMPARE(link.exchange("RESETPARAM ALGO  0\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(device.savedParameters().value("CHOC gxSup"), QByteArray("5000"));

    // Releases before 1.9.1 know only the reset of everything.
    device.setRelease("1.9");
    device.setSavedParameter("CHOC gxSup", "1234");
    QCOMPARE(link.exchange("RESETPARAM ALGO  0\r\n"), QByteArray("NOK\r\n>"));
    QCOMPARE(link.exchange("RESETPARAM 1  0\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(device.savedParameters().value("CHOC gxSup"), QByteArray("5000"));
}

void TestSimDevice::dumpReadsBackWhatWasSavedThroughTheProgramsDecoder()
{
    DebugLog quiet; // the scan traces every line
    SimHarness sim;
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    const QList<QByteArray> lines = {
        "ALGO 0xbf",         "ALGO alertPeriod 900",  "ALGO poweroff 0",       "MPU maxRange 4",
        "MPU orientation 1", "ALIVE period 60000",    "CHOC gxSup 1234",       "CHOC inhibition 0",
        "MVT freq 125",      "MVT tracking 1",        "TEMP max -150",         "TEMP modeThreshold 0",
        "TEMP period 45000", "TILT modeRefresh 0",    "TILT alertMultiple 1",  "TILT signedMeasure 1",
        "TILT period 7000",  "ROTATION modeOnMove 0", "ORIENT mesureLength 9", "ORIENT roll 30",
        "VIBE onY 0",        "VIBE freqMin 20",
    };
    for (const QByteArray &line : lines)
        QCOMPARE(link.exchange(line + "\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("SAVEPARAM ALGO 0\r\n", 300), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("DEBUG 1\r\n"), QByteArray("OK\r\n>"));
    const QByteArray dump = link.exchange("DUMP RAM PARAM  0\r\n");
    QVERIFY(dump.endsWith("\0OK\r\n>" + QByteArray()));

    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
    QVERIFY(splitDumpLines(dump, 2));
    scanDumpLines(2);
    const QList<QPair<int, int>> expected = {
        {KeyPelkoOrientation, 1},  {KeyAlertRepeatPeriod, 900},
        {KeyMpuMaxRange, 4},       {KeyAlivePeriod, 60000},
        {KeyShockGxSup, 1234},     {KeyShockGxInf, 5000},
        {KeyShockInhibition, 0},   {KeyMvtFreq, 125},
        {KeyMvtTracking, 1},       {KeyTempMax, -150},
        {KeyTempModeThreshold, 1}, {KeyTempPeriod, 45000},
        {KeyTiltMode, 2 | 8 | 32}, {KeyTiltMultipleAlertPeriod, 900},
        {KeyTiltPeriod, 7000},     {KeyRotationMode, 1},
        {KeyOrientationMode, 3},   {KeyOrientationMesureLenght, 9},
        {KeyOrientationRoll, 30},  {KeyVibrationAxeY, 0},
        {KeyVibrationFreqMin, 20}, {KeyVibrationFreqMax, 500},
        {KeyEnableEventLog, 1},
    };
    for (const auto &key : expected)
        QVERIFY2(dumpKeyTable[key.first].decodedValue == key.second,
                 qPrintable(QStringLiteral("%1: %2")
                                .arg(dumpKeyTable[key.first].keyName)
                                .arg(dumpKeyTable[key.first].decodedValue)));
    QCOMPARE(dumpKeyTable[KeyShockInhibitionOff].decodedValue, -1);

    // Mask 0xbf: every algorithm with a sentence but VIBE (no sentence) and bit 64.
    for (const char *name : {"ALIVE", "TEMPERATURE", "CHOC", "TILT", "ORIENT", "MOVEMENT", "ROTATION"})
        QVERIFY2(dump.contains(QByteArray("Algorithm ") + name + " enable."), name);
    QVERIFY(!dump.contains("Poweroff : allowed"));
}

void TestSimDevice::loraAnswerReflectsSavedSettingsAndRelease()
{
    SimHarness sim;
    SimDevice &device = sim.device();
    Link link;
    QVERIFY(link.open(device.portPath()));
    const QByteArray factory = link.exchange("LORA GET  0\r\n");
    QVERIFY(factory.contains("Mode : OTAA\r\n"));
    QVERIFY(factory.contains("Network is PUBLIC\r\n"));
    QVERIFY(!factory.contains("DevEui : 0000000000000000"));
    QVERIFY(QRegularExpression("AppKey : [0-9A-F]{32}\r\n").match(QString::fromLatin1(factory)).hasMatch());
    QVERIFY(factory.contains("Default_DR : 0\r\nJoinRequestError Timeout : 12h\r\nOK\r\n>"));

    for (const QByteArray line :
         {"LORA SET OTAA 0\r\n", "LORA SET ACK 1\r\n", "LORA SET ADR 1\r\n", "LORA SET PUBLICNETWORK 0\r\n",
          "LORA SET DEVADDR 26011BDA", "LORA SET DEFAULT_DR 3\r\n", "SAVEPARAM LORA 0\r\n"})
        QCOMPARE(link.exchange(line), QByteArray("OK\r\n>"));
    const QByteArray saved = link.exchange("LORA GET  0\r\n");
    for (const char *text : {"ACK is enabled", "ADR is enabled", "Network is PRIVATE", "Mode : ABP",
                             "DevAddr : 26011BDA", "Default_DR : 3"})
        QVERIFY2(saved.contains(text), text);

    device.setRelease("1.9");
    const QByteArray older = link.exchange("LORA GET  0\r\n");
    QVERIFY(!older.contains("Default_DR"));
    QVERIFY(older.contains("JoinRequestError Timeout : "));
    device.setRelease("1.8");
    QVERIFY(!link.exchange("LORA GET  0\r\n").contains("JoinRequestError"));
}

void TestSimDevice::olderReleasesRefuseNewerKeys()
{
    SimDevice::Options options;
    options.release = "2.1";
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("MVT tracking 1\r\n"), QByteArray("NOK\r\n>"));
    QCOMPARE(link.exchange("ALGO buttonDelay 3\r\n"), QByteArray("NOK\r\n>"));
    QCOMPARE(link.exchange("LORA SET DEFAULT_DR 1\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("DEBUG 1\r\n"), QByteArray("OK\r\n>"));
    const QByteArray dump = link.exchange("DUMP RAM PARAM  0\r\n");
    QVERIFY(!dump.contains("tracking : "));
    QVERIFY(!dump.contains("buttonDelay : "));
    QVERIFY(dump.contains("Poweroff : allowed"));
}

void TestSimDevice::lineWithoutLineEndIsAnsweredAfterQuiet()
{
    SimHarness sim;
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("LORA SET NWKID 00A1B2"), QByteArray("OK\r\n>"));
    QCOMPARE(sim.device().pendingParameters().value("LORA SET NWKID"), QByteArray("00A1B2"));
    QCOMPARE(sim.device().receivedLines().value(0), QByteArray("LORA SET NWKID 00A1B2"));
    // An endless line does not grow the device's buffer for good.
    QCOMPARE(link.exchange(QByteArray(5000, 'A')), QByteArray("NOK\r\n>NOK\r\n>"));
    QCOMPARE(sim.device().receivedLines().value(1).size(), 4096);
}

void TestSimDevice::faultsMangleTheAnswer_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("expected"); // exact answer, or empty: checked below
    QTest::addColumn<bool>("stored");
    QTest::newRow("refuses") << int(SimFault::Refuses) << QByteArray("NOK\r\n>") << false;
    QTest::newRow("never answers") << int(SimFault::NeverAnswers) << QByteArray() << false;
    QTest::newRow("without ok") << int(SimFault::AnswersWithoutOk) << QByteArray("\r\n>") << true;
    QTest::newRow("in chunks") << int(SimFault::AnswersInChunks) << QByteArray("OK\r\n>") << true;
    QTest::newRow("garbage") << int(SimFault::SendsGarbage) << QByteArray() << false;
    // The half that still went out holds the acknowledgement: the device had acted.
    QTest::newRow("goes away") << int(SimFault::GoesAway) << QByteArray("OK") << true;
}

void TestSimDevice::faultsMangleTheAnswer()
{
    QFETCH(int, fault);
    QFETCH(QByteArray, expected);
    QFETCH(bool, stored);
    SimHarness sim;
    sim.device().setFault("TILT", SimFault(fault));
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    const QByteArray answer = link.exchange("TILT pitch 30\r\n");
    if (SimFault(fault) == SimFault::SendsGarbage) {
        QCOMPARE(answer.size(), 64);
        QVERIFY(!answer.contains("OK"));
    } else {
        QCOMPARE(answer, expected);
    }
    QVERIFY(link.longestGapMs < 120);
    QCOMPARE(sim.device().pendingParameters().contains("TILT pitch"), stored);
    // Other lines are not affected.
    if (SimFault(fault) != SimFault::GoesAway)
        QCOMPARE(link.exchange("READY\r\n"), QByteArray("OK\r\n>"));
}

void TestSimDevice::faultLimitedInTimesWearsOff()
{
    SimDevice::Options options;
    options.chunkPauseMs = 60;
    SimHarness sim(options);
    sim.device().setFault("VERSION", SimFault::AnswersInChunks, 1);
    sim.device().setFault("VERSION", SimFault::Refuses, 1); // replaces the rule for the same prefix
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("VERSION\r\n"), QByteArray("NOK\r\n>"));
    QVERIFY(link.exchange("VERSION\r\n").endsWith("OK\r\n>"));

    sim.device().setFault("LORA GET", SimFault::AnswersInChunks, 1);
    const QByteArray chunked = link.exchange("LORA GET  0\r\n");
    QVERIFY(link.longestGapMs >= 40);
    QVERIFY(chunked.endsWith("OK\r\n>"));
    QVERIFY(chunked.contains("JoinRequestError Timeout : 12h"));
}

void TestSimDevice::babbleNeverPausesAndNeverHangsTheDevice()
{
    SimDevice::Options options;
    options.babbleMs = 600;
    SimHarness sim(options);
    sim.device().setFault("READY", SimFault::Babbles);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QElapsedTimer timer;
    timer.start();
    const QByteArray babble = link.exchange("READY\r\n", 300);
    QVERIFY(timer.elapsed() >= 550);
    QVERIFY(link.longestGapMs < 200);
    QVERIFY(babble.size() > 3000);
    QVERIFY(!babble.contains("OK"));

    // Nobody reads now: the device must still stop at once.
    link.port.write("READY\r\n");
    link.port.waitForBytesWritten(100);
    link.port.close();
    QTest::qWait(100);
    timer.restart();
    sim.device().stop();
    QVERIFY(timer.elapsed() < 1000);
}

void TestSimDevice::goingAwayUnlistsThePortUntilItComesBack()
{
    SimHarness sim;
    sim.device().setFault("DUMP", SimFault::GoesAway);
    const QString firstPath = sim.device().portPath();
    QCOMPARE(listedLines(sim.portsFile()), QList<QByteArray>{"ttyPELKO0\tSilicon Labs\t" + firstPath.toUtf8()});
    Link link;
    QVERIFY(link.open(firstPath));
    QCOMPARE(link.exchange("DEBUG 1\r\n"), QByteArray("OK\r\n>"));
    const QByteArray half = link.exchange("DUMP RAM PARAM  0\r\n");
    QVERIFY(!half.isEmpty());
    QVERIFY(!half.contains("OK"));
    QVERIFY(sim.waitForPresence(false));
    QVERIFY(listedLines(sim.portsFile()).isEmpty());
    QVERIFY(link.exchange("READY\r\n").isEmpty());
    link.port.close();

    sim.device().comeBack();
    QVERIFY(sim.device().isPresent());
    QCOMPARE(listedLines(sim.portsFile()),
             QList<QByteArray>{"ttyPELKO0\tSilicon Labs\t" + sim.device().portPath().toUtf8()});
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("READY\r\n"), QByteArray("OK\r\n>"));
}

void TestSimDevice::restartAnswersThenComesBackOnANewPort()
{
    SimDevice::Options options;
    options.rebootDelayMs = 300;
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("DEBUG 1\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("CHOC gxSup 999\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("reset\r\n", 50), QByteArray("OK\r\n>"));
    QVERIFY(sim.waitForPresence(false, 1000));
    QVERIFY(listedLines(sim.portsFile()).isEmpty());
    link.port.close();
    QVERIFY(sim.waitForPresence(true, 2000));
    QCOMPARE(listedLines(sim.portsFile()).size(), 1);
    // A restart loses what was never saved and leaves debug off.
    QVERIFY(sim.device().pendingParameters().isEmpty());
    QVERIFY(!sim.device().isDebugOn());
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("READY\r\n"), QByteArray("OK\r\n>"));
}

void TestSimDevice::powerOffGoesAwayWithoutAnswering()
{
    SimDevice::Options options;
    options.rebootDelayMs = 100;
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QVERIFY(link.exchange("poweroff  0\r\n").isEmpty());
    QVERIFY(sim.waitForPresence(false, 1000));
    QTest::qWait(300);
    QVERIFY(!sim.device().isPresent()); // stays off until plugged again
    QVERIFY(listedLines(sim.portsFile()).isEmpty());
}

void TestSimDevice::devicesSharingAPortsFileKeepEachOthersLines()
{
    SimHarness sim;
    sim.addPort("ttyS9", "silicon labs", "/dev/nowhere", true);
    SimDevice::Options options;
    options.portsFile = sim.portsFile();
    options.portName = "ttyPELKO1";
    SimDevice second(options);
    QVERIFY(second.start());
    QList<QByteArray> lines = listedLines(sim.portsFile());
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QByteArray("ttyS9\tsilicon labs\t/dev/nowhere"));
    QVERIFY(lines.at(2).startsWith("ttyPELKO1\t"));

    sim.device().goAway();
    lines = listedLines(sim.portsFile());
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(1).startsWith("ttyPELKO1\t"));
    second.stop();
    QCOMPARE(listedLines(sim.portsFile()), QList<QByteArray>{"ttyS9\tsilicon labs\t/dev/nowhere"});
}

void TestSimDevice::wireLogRecordsBothDirections()
{
    QTemporaryDir dir;
    SimDevice::Options options;
    options.wireLogFile = dir.filePath("wire.log");
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    link.exchange("VERSION\r\n");
    sim.device().stop();
    QFile log(options.wireLogFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(QRegularExpression(R"(\[ +\d+ ms\] <- VERSION\\r\\n\n)").match(QString::fromLatin1(text)).hasMatch());
    QVERIFY(text.contains("] -> \\x1b[32mFirmware : v2.2\\x1b[0m\\r\\nOK\\r\\n>\n"));
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
