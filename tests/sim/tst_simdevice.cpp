// The simulated device as any serial client meets it, where it must be as
// strict as the device: the window's own tests, which it answers, exercise
// the rest of it.

#include "simharness.h"

#include <QSerialPort>
#include <QtTest>

class TestSimDevice : public QObject
{
    Q_OBJECT

private slots:
    void linesAreAnsweredAsTheReleaseAllows_data();
    void linesAreAnsweredAsTheReleaseAllows();
};

void TestSimDevice::linesAreAnsweredAsTheReleaseAllows_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("answer"); // null: noise without "OK"
    QTest::addColumn<int>("baud");
    const auto row = [](const char *release, const char *line, const char *answer, int baud = 115200) {
        QTest::addRow("%s %s at %d", release, QByteArray(line).trimmed().constData(), baud)
            << QString::fromLatin1(release) << QByteArray(line) << QByteArray(answer) << baud;
    };
    row("2.2", "READY\r\n", nullptr, 9600);          // what a port with the wrong settings hears
    row("2.2", "ALGO 0x1a", "OK\r\n>");              // a line without its end, once the line is quiet
    row("2.2", "DUMP RAM PARAM  0\r\n", "NOK\r\n>"); // only in debug mode
    row("2.2", "CHOC gxUp 50\r\n", "NOK\r\n>");
    row("2.2", "CHOC gxSup 5k\r\n", "NOK\r\n>");
    row("2.2", "MVT tracking 1\r\n", "OK\r\n>");
    row("1.9", "MVT tracking 1\r\n", "NOK\r\n>");
    row("1.9", "RESETPARAM ALGO  0\r\n", "NOK\r\n>");
    row("1.9", "RESETPARAM 1  0\r\n", "OK\r\n>"); // everything at once, algorithms too
}

void TestSimDevice::linesAreAnsweredAsTheReleaseAllows()
{
    QFETCH(QString, release);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, answer);
    QFETCH(int, baud);
    SimDevice::Options options;
    options.release = release;
    SimHarness sim(options);
    QVERIFY(sim.isReady());
    sim.device().setSavedParameter("CHOC gxSup", "1234");
    QSerialPort port;
    port.setPortName(sim.device().portPath());
    port.setBaudRate(baud);
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write(line);
    QByteArray bytes;
    while (port.waitForReadyRead(150))
        bytes += port.readAll();
    if (answer.isNull()) {
        QVERIFY2(!bytes.isEmpty() && !bytes.contains("OK"), bytes.toHex().constData());
        return;
    }
    QCOMPARE(bytes, answer);
    QCOMPARE(sim.device().receivedLines(), QList<QByteArray>{line});
    if (line.startsWith("RESETPARAM 1"))
        QCOMPARE(sim.device().savedParameters().value("CHOC gxSup"), QByteArray("5000"));
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
