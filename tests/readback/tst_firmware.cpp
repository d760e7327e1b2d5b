#include "readback/firmware.h"

#include <QtTest>

class FirmwareTest : public QObject
{
    Q_OBJECT

private slots:
    void theLastNamedReleaseWins_data();
    void theLastNamedReleaseWins();
    void gatesLetThroughTheReleasesTheyName();
};

void FirmwareTest::theLastNamedReleaseWins_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<float>("previous");
    QTest::addColumn<float>("expected");
    QTest::newRow("2.1.1 also holds v2. and v2.1") << QByteArray("Firmware : v2.1.1\r\nOK") << 0.0f << 2.11f;
    QTest::newRow("any other 2.x counts as 2.0") << QByteArray("Firmware : v2.3") << 0.0f << 2.0f;
    QTest::newRow("1.9.1 beats 1.9") << QByteArray("Firmware : v1.9.1") << 0.0f << 1.91f;
    QTest::newRow("nothing named keeps the previous release") << QByteArray("garbage OK") << 2.2f << 2.2f;
    QTest::newRow("empty answer keeps the previous release") << QByteArray() << 1.8f << 1.8f;
    QTest::newRow("2.2") << QByteArray("\x1b[32mFirmware : v2.2\x1b[0m") << 0.0f << 2.2f;
}

void FirmwareTest::theLastNamedReleaseWins()
{
    QFETCH(QByteArray, answer);
    QFETCH(float, previous);
    QFETCH(float, expected);
    QCOMPARE(Firmware::identify(answer, previous), expected);
}

void FirmwareTest::gatesLetThroughTheReleasesTheyName()
{
    using namespace Firmware;
    // The single-precision releases sit just below the decimals of the same
    // digits: 1.9 fails "above 1.9", 2.1 fails "above 2.1", 2.12 fails "above 2.12".
    QVERIFY(!from1_9(1.8f));
    QVERIFY(from1_9(1.9f));
    QVERIFY(!from1_9_1(1.9f));
    QVERIFY(from1_9_1(1.91f));
    QVERIFY(!from1_9_2(1.91f));
    QVERIFY(from1_9_2(1.92f));
    QVERIFY(!from1_9_3(1.92f));
    QVERIFY(from1_9_3(1.93f));
    QVERIFY(!from2_0(1.93f));
    QVERIFY(from2_0(2.0f));
    QVERIFY(!from2_1_1(2.1f));
    QVERIFY(from2_1_1(2.11f));
    QVERIFY(!from2_2(2.11f));
    QVERIFY(!from2_2(2.12f));
    QVERIFY(from2_2(2.2f));
    // Not yet identified passes no gate.
    QVERIFY(!from1_9(0.0f));
    QVERIFY(!from2_0(0.0f));
}

QTEST_APPLESS_MAIN(FirmwareTest)
#include "tst_firmware.moc"
