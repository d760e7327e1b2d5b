// The simulated device, where it must be as strict as the device: a request
// it refuses changes nothing, and what it does not offer (a release's missing
// key, a sampling rate, a value outside its range) it refuses. The window's
// own tests, which it answers, exercise the rest of it: the upload's golden
// transcripts hold every value the form starts with, lines without CR LF
// among them.

#include "simfirmware.h"
#include "simharness.h"

#include <QSerialPort>
#include <QtTest>

class TestSimDevice : public QObject
{
    Q_OBJECT

private slots:
    void linesAreAnsweredAsTheReleaseAllows_data();
    void linesAreAnsweredAsTheReleaseAllows();
    void aPortWithOtherSettingsHearsNoise();
};

void TestSimDevice::linesAreAnsweredAsTheReleaseAllows_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");
    // Lines taken, then lines refused, by a release. Sampling rates are the
    // accelerometer's only (0 stands for 0.24 Hz); ranges end where they end.
    const char *const rows[][3] = {
        {"2.2",
         "MVT tracking 1|MVT freq 0|MVT freq 1|MVT freq 31|MVT freq 500|MPU maxRange 16|ALIVE period 60000|"
         "TEMP min -9999|LORA SET DEFAULT_DR 5|LORA SET DEVEUI 70B3D57ED005A1C4",
         "DUMP RAM PARAM  0|CHOC gxUp 50|CHOC gxSup 5k|CHOC freq -1|CHOC freq 3|CHOC freq 30|CHOC freq 32|"
         "CHOC freq 1000|MPU maxRange 3|MPU maxRange 32|ALIVE period 59999|TEMP max 10000|ORIENT roll -91|"
         "VIBE freqMax 501|ALGO 0x200|TILT pitch 99999999999999999999|LORA SET DEFAULT_DR 6|LORA SET OTAA 2|"
         "LORA SET JRERROR 241|LORA SET DEVEUI 70B3D57ED005A1C40|LORA SET APPKEY "},
        {"2.1", "", "MVT tracking 1"},
        {"1.9", "RESETPARAM 1  0", "RESETPARAM ALGO  0|LORA SET DEFAULT_DR 5"},
    };
    for (const auto &[release, taken, refused] : rows)
        for (const bool accepted : {true, false})
            for (const QByteArray &line : QByteArray(accepted ? taken : refused).split('|'))
                if (!line.isEmpty())
                    QTest::addRow("%s %s", release, line.constData())
                        << QString::fromLatin1(release) << line << accepted;
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

// What a UART at another rate hears: noise, never an "OK".
void TestSimDevice::aPortWithOtherSettingsHearsNoise()
{
    SimHarness sim;
    QVERIFY(sim.isReady());
    QSerialPort port(sim.device().portPath());
    port.setBaudRate(9600);
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write("READY\r\n");
    QByteArray bytes;
    while (port.waitForReadyRead(100))
        bytes += port.readAll();
    QVERIFY2(!bytes.isEmpty() && !bytes.contains("OK"), bytes.toHex().constData());
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
