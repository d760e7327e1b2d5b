// The simulated device as the program meets it: over its pseudo-terminal,
// through a plain serial port, and through the ports file.

#include "simdevice.h"
#include "debuglog.h"
#include "simharness.h"

#include "readback/dumpkeytable.h"
#include "readback/dumpscan.h"
#include "firmware/releases.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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
    void olderReleasesRefuseNewerKeys();
    void lineWithoutLineEndIsAnsweredAfterQuiet();
    void devicesSharingAPortsFileKeepEachOthersLines();
    void wireLogRecordsBothDirections();
    void wrongSerialSettingsAreAnsweredWithNoise_data();
    void wrongSerialSettingsAreAnsweredWithNoise();
    void pacedAnswersTakeTheirTimeOnTheWire();
    void interactiveLinesEndOnlyAtCrOrLf();
    void programRefusesUnknownReleasesAndStaysOffAfterPoweroff();
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

void TestSimDevice::wrongSerialSettingsAreAnsweredWithNoise_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("value");
    QTest::newRow("all right") << -1 << 0;
    QTest::newRow("9600 baud") << 0 << int(QSerialPort::Baud9600);
    // Data bits and parity cannot be told: a pseudo-terminal keeps 8 bits
    // without parity whatever it is asked.
    QTest::newRow("2 stop bits") << 3 << int(QSerialPort::TwoStop);
    QTest::newRow("hardware flow control") << 4 << int(QSerialPort::HardwareControl);
    QTest::newRow("software flow control") << 4 << int(QSerialPort::SoftwareControl);
}

void TestSimDevice::wrongSerialSettingsAreAnsweredWithNoise()
{
    QFETCH(int, setting);
    QFETCH(int, value);
    SimHarness sim;
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    switch (setting) {
    case 0:
        link.port.setBaudRate(value);
        break;
    case 3:
        link.port.setStopBits(QSerialPort::StopBits(value));
        break;
    case 4:
        link.port.setFlowControl(QSerialPort::FlowControl(value));
        break;
    }
    const QByteArray answer = link.exchange("READY\r\n");
    if (setting < 0) {
        QCOMPARE(answer, QByteArray("OK\r\n>"));
    } else {
        QVERIFY(!answer.isEmpty());
        QVERIFY2(!answer.contains("OK"), answer.toHex().constData());
    }
}

void TestSimDevice::pacedAnswersTakeTheirTimeOnTheWire()
{
    SimDevice::Options options;
    options.paced = true;
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    QCOMPARE(link.exchange("DEBUG 1\r\n"), QByteArray("OK\r\n>"));
    QElapsedTimer clock;
    clock.start();
    const QByteArray dump = link.exchange("DUMP RAM PARAM  0\r\n", 50);
    const qint64 wireMs = (19 + dump.size()) * SimDevice::kWireNsPerByte / 1000000;
    QVERIFY(dump.size() > 1000);
    QVERIFY2(clock.elapsed() >= 50 + wireMs, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
    QVERIFY(link.longestGapMs < 20);
}

void TestSimDevice::interactiveLinesEndOnlyAtCrOrLf()
{
    SimDevice::Options options;
    options.interactive = true;
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    // Typed by hand: slower than any quiet time, ended by Enter (CR alone).
    for (const char c : QByteArray("READY")) {
        link.port.write(QByteArray(1, c));
        QVERIFY(link.answer(30).isEmpty());
    }
    QCOMPARE(link.exchange("\r"), QByteArray("OK\r\n>"));
    QCOMPARE(link.exchange("VERSION\r\n\r\n").count("OK\r\n>"), 1);
    QCOMPARE(sim.device().receivedLines(), (QList<QByteArray>{"READY\r", "VERSION\r"}));
}

void TestSimDevice::programRefusesUnknownReleasesAndStaysOffAfterPoweroff()
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/pelko-device-sim");
    if (!QFile::exists(program))
        QSKIP("the simulator program is not built");
    QTemporaryDir dir;
    const QString ports = dir.filePath(QStringLiteral("ports"));
    QCOMPARE(QProcess::execute(program, {"--ports-file", ports, "--release", "2.3"}), 2);

    for (const QStringList &extra : {QStringList(), QStringList{"--back-after", "200"}}) {
        QProcess device;
        device.start(program, QStringList{"--ports-file", ports, "--release", "1.9.1"} + extra);
        QVERIFY(device.waitForReadyRead(5000));
        const QList<QByteArray> listed = listedLines(ports);
        QCOMPARE(listed.size(), 1);
        Link link;
        QVERIFY(link.open(QString::fromLocal8Bit(listed.first().split('\t').value(2))));
        QVERIFY(link.exchange("VERSION\r\n").contains("1.9.1"));
        QVERIFY(link.exchange("poweroff  0\r\n").isEmpty());
        QTRY_VERIFY(listedLines(ports).isEmpty());
        QTest::qWait(1200);
        QCOMPARE(listedLines(ports).size(), extra.isEmpty() ? 0 : 1);
        device.terminate();
        QVERIFY(device.waitForFinished(5000));
    }
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
