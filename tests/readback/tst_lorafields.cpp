#include "readback/lorafields.h"

#include <QtTest>

using namespace LoRaFields;

// What the window does with these fields is tested with the window; here, the
// byte counting that can go wrong.
class LoRaFieldsTest : public QObject
{
    Q_OBJECT

private slots:
    void fieldsTakeTheBytesAfterTheFirstLabel_data();
    void fieldsTakeTheBytesAfterTheFirstLabel();
    void aMissingLabelGivesNoField();
    void joinRequestTimeoutIsReadWithThreeTwoThenOneBytes_data();
    void joinRequestTimeoutIsReadWithThreeTwoThenOneBytes();
};

void LoRaFieldsTest::fieldsTakeTheBytesAfterTheFirstLabel_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("answer ends early") << QByteArray("DevEui : 0123") << "0123";
    QTest::newRow("label at the very end") << QByteArray("DevEui : ") << "";
    QTest::newRow("NUL ends the field") << QByteArray("DevEui : 01\0"
                                                      "23456789ABCDEF",
                                                      25)
                                        << "01";
    QTest::newRow("first occurrence wins")
        << QByteArray("DevEui : AAAAAAAAAAAAAAAA DevEui : BBBB") << "AAAAAAAAAAAAAAAA";
    QTest::newRow("one character per byte") << QByteArray("DevEui : \xff\xfe"
                                                          "12")
                                            << QString::fromLatin1("\xff\xfe"
                                                                   "12");
}

void LoRaFieldsTest::fieldsTakeTheBytesAfterTheFirstLabel()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, expected);
    QCOMPARE(bytesAfterLabel(answer, "DevEui : ", 16), std::optional<QString>(expected));
}

void LoRaFieldsTest::aMissingLabelGivesNoField()
{
    const QByteArray answer = "ACK is enabled\r\nDevEui : 0000000000000000\r\nOK\r\n";
    const Answer a = parse(answer);
    QVERIFY(a.ackEnabled && !a.ackDisabled && !a.networkPublic && !a.networkPrivate);
    QCOMPARE(a.devEui, std::optional<QString>("0000000000000000"));
    QVERIFY(!a.appEui && !a.appKeyTail && !a.nwkSKey && !a.appSKey && !a.devAddr && !a.nwkId);
    QVERIFY(!defaultDataRate(answer));
    QVERIFY(!joinRequestTimeout(answer, 0, 240));
    QVERIFY(!parse("deveui : 0123456789ABCDEF").devEui); // labels are case-sensitive
}

void LoRaFieldsTest::joinRequestTimeoutIsReadWithThreeTwoThenOneBytes_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("three digits") << QByteArray("120\r\n") << 120;
    QTest::newRow("unit glued to two digits") << QByteArray("12h") << 12;
    QTest::newRow("unit glued to one digit") << QByteArray("5hours") << 5;
    QTest::newRow("a true zero") << QByteArray("0\r\n") << 0;
    QTest::newRow("above the range is clamped") << QByteArray("999") << 240;
    QTest::newRow("negative is clamped to zero") << QByteArray("-5h") << 0;
    QTest::newRow("answer ends after one digit") << QByteArray("7") << 7;
}

void LoRaFieldsTest::joinRequestTimeoutIsReadWithThreeTwoThenOneBytes()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    QCOMPARE(joinRequestTimeout("JoinRequestError Timeout : " + value, 0, 240), std::optional<int>(expected));
}

QTEST_APPLESS_MAIN(LoRaFieldsTest)
#include "tst_lorafields.moc"
