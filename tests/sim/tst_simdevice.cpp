// A smoke test of the simulated device as any serial client meets it (the
// window's own tests exercise the rest): answers over a plain serial port,
// noise for wrong serial settings, typed lines, and the program's options.

#include "simdevice.h"
#include "simharness.h"

#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QtTest>

namespace {

// A program's end of the link: writes a line, collects the answer until the
// line has been quiet for `quietMs`.
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
        while (port.waitForReadyRead(quietMs))
            bytes += port.readAll();
        return bytes + port.readAll();
    }

    QSerialPort port;
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
    void wrongSerialSettingsAreAnsweredWithNoise_data();
    void wrongSerialSettingsAreAnsweredWithNoise();
    void interactiveLinesEndOnlyAtCrOrLf();
    void olderReleasesRefuseNewerKeysAndResetEverythingAtOnce();
    void programRefusesUnknownReleasesAndStaysOffAfterPoweroff();
};

void TestSimDevice::answersHoldTheirKeywordBeforeTheTrailer_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("ready") << QByteArray("READY\r\n") << QByteArray("OK\r\n>");
    QTest::newRow("version") << QByteArray("VERSION\r\n") << QByteArray("\x1b[32mFirmware : v2.2\x1b[0m\r\nOK\r\n>");
    QTest::newRow("battery") << QByteArray("BATTERY GET LIFE  0\r\n") << QByteArray("Battery: 87%\r\nOK\r\n>");
    QTest::newRow("line without line end") << QByteArray("ALGO 0x1a") << QByteArray("OK\r\n>");
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

void TestSimDevice::olderReleasesRefuseNewerKeysAndResetEverythingAtOnce()
{
    SimDevice::Options options;
    options.release = "1.9";
    SimHarness sim(options);
    Link link;
    QVERIFY(link.open(sim.device().portPath()));
    sim.device().setSavedParameter("CHOC gxSup", "1234");
    QCOMPARE(link.exchange("MVT tracking 1\r\n"), QByteArray("NOK\r\n>"));
    QCOMPARE(link.exchange("RESETPARAM ALGO  0\r\n"), QByteArray("NOK\r\n>"));
    QCOMPARE(link.exchange("RESETPARAM 1  0\r\n"), QByteArray("OK\r\n>"));
    QCOMPARE(sim.device().savedParameters().value("CHOC gxSup"), QByteArray("5000"));
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
