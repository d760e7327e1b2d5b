// The simulated device, where it must be as strict as the device: a request
// it refuses changes nothing, and what it does not offer (a release's missing
// key, a sampling rate, a value outside its range) it refuses. The window's
// own tests, which it answers, exercise the rest of it.

#include "simfirmware.h"
#include "simharness.h"

#include <QRandomGenerator>
#include <QSerialPort>
#include <QtTest>

class TestSimDevice : public QObject
{
    Q_OBJECT

private slots:
    void linesAreAnsweredAsTheReleaseAllows_data();
    void linesAreAnsweredAsTheReleaseAllows();
    void aPortWithOtherSettingsHearsNoiseAndALineWithoutEndIsAnswered();
    void everyFactoryValueIsTakenAndNoRefusedValueIsKept();
};

void TestSimDevice::linesAreAnsweredAsTheReleaseAllows_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");
    const auto row = [](const char *release, const char *line, bool accepted) {
        QTest::addRow("%s %s", release, line) << QString::fromLatin1(release) << QByteArray(line) << accepted;
    };
    row("2.2", "DUMP RAM PARAM  0", false); // only in debug mode
    row("2.2", "CHOC gxUp 50", false);
    row("2.2", "CHOC gxSup 5k", false);
    row("2.2", "MVT tracking 1", true);
    row("2.1", "MVT tracking 1", false);
    row("1.9", "RESETPARAM ALGO  0", false);
    row("1.9", "RESETPARAM 1  0", true); // everything at once, algorithms too
    // Sampling rates: those of the accelerometer only, 0 standing for 0.24 Hz.
    for (const char *rate : {"0", "1", "31", "500"})
        row("2.2", QByteArray("MVT freq ").append(rate), true);
    for (const char *rate : {"-1", "3", "30", "32", "1000"})
        row("2.2", QByteArray("CHOC freq ").append(rate), false);
    // Ranges of the accelerometer, and values at and past the ends of a range.
    row("2.2", "MPU maxRange 16", true);
    row("2.2", "MPU maxRange 3", false);
    row("2.2", "MPU maxRange 32", false);
    row("2.2", "ALIVE period 60000", true);
    row("2.2", "ALIVE period 59999", false);
    row("2.2", "TEMP min -9999", true);
    row("2.2", "TEMP max 10000", false);
    row("2.2", "ORIENT roll -91", false);
    row("2.2", "VIBE freqMax 501", false);
    row("2.2", "ALGO 0x200", false);
    row("2.2", "TILT pitch 99999999999999999999", false);
    row("2.2", "LORA SET DEFAULT_DR 5", true);
    row("1.9", "LORA SET DEFAULT_DR 5", false);
    row("2.2", "LORA SET DEFAULT_DR 6", false);
    row("2.2", "LORA SET OTAA 2", false);
    row("2.2", "LORA SET JRERROR 241", false);
    row("2.2", "LORA SET DEVEUI 70B3D57ED005A1C4", true);
    row("2.2", "LORA SET DEVEUI 70B3D57ED005A1C40", false);
    row("2.2", "LORA SET APPKEY ", false);
}

void TestSimDevice::linesAreAnsweredAsTheReleaseAllows()
{
    QFETCH(QString, release);
    QFETCH(QByteArray, line);
    QFETCH(bool, accepted);
    SimFirmware device;
    device.setRelease(release);
    device.saved.insert("CHOC gxSup", "1234");
    const QMap<QByteArray, QByteArray> saved = device.saved;
    const SimReply reply = device.handle(line);
    QCOMPARE(reply.wire(), accepted ? QByteArray("OK\r\n>") : QByteArray("NOK\r\n>"));
    if (!accepted)
        QVERIFY(device.pending.isEmpty() && device.saved == saved);
    if (line.startsWith("RESETPARAM 1"))
        QCOMPARE(device.saved.value("CHOC gxSup"), QByteArray("5000"));
}

void TestSimDevice::aPortWithOtherSettingsHearsNoiseAndALineWithoutEndIsAnswered()
{
    for (const int baud : {9600, 115200}) {
        SimHarness sim;
        QVERIFY(sim.isReady());
        QSerialPort port;
        port.setPortName(sim.device().portPath());
        port.setBaudRate(baud);
        QVERIFY(port.open(QIODevice::ReadWrite));
        const QByteArray line = baud == 9600 ? "READY\r\n" : "ALGO 0x1a"; // the latter ends once the line is quiet
        port.write(line);
        QByteArray bytes;
        while (port.waitForReadyRead(100))
            bytes += port.readAll();
        if (baud == 9600)
            QVERIFY2(!bytes.isEmpty() && !bytes.contains("OK"), bytes.toHex().constData());
        else
            QCOMPARE(bytes, QByteArray("OK\r\n>"));
        QCOMPARE(sim.device().receivedLines(), QList<QByteArray>{line});
    }
}

// Whatever a parameter is sent, the device either keeps exactly that or
// keeps what it had; the value it left the factory with is always taken.
void TestSimDevice::everyFactoryValueIsTakenAndNoRefusedValueIsKept()
{
    const quint32 seed = 25;
    QRandomGenerator random(seed);
    const QMap<QByteArray, QByteArray> factory = SimFirmware::factoryParameters();
    for (auto it = factory.cbegin(); it != factory.cend(); ++it) {
        SimFirmware device;
        const QByteArray key = it.key() == "ALGO" ? QByteArray("ALGO ") : it.key() + ' ';
        QVERIFY2(device.handle(key + it.value()).status == "OK", it.key().constData());
        for (int i = 0; i < 40; ++i) {
            const qint64 number = random.bounded(2) ? random.bounded(-70000, 70000) : qint64(random.generate());
            const QByteArray value =
                key.startsWith("LORA SET") && i % 2 ? QByteArray(i, 'A') : QByteArray::number(number);
            const QMap<QByteArray, QByteArray> before = device.pending;
            const bool taken = device.handle(key + value).status == "OK";
            const QByteArray where = "seed " + QByteArray::number(seed) + ": " + key + value;
            QVERIFY2(taken ? device.pending.value(it.key()) == value : device.pending == before, where);
        }
    }
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
