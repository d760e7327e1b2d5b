#include "readback/lorafields.h"

#include <QtTest>

using namespace LoRaFields;

// What the window does with these fields is tested with the window; here, the
// byte counting that can go wrong.
class LoRaFieldsTest : public QObject
{
    Q_OBJECT

private slots:
    void fieldsTakeTheBytesAfterTheFirstLabel();
    void aMissingLabelGivesNoField();
    void joinRequestTimeoutIsReadWithThreeTwoThenOneBytes();
};

void LoRaFieldsTest::fieldsTakeTheBytesAfterTheFirstLabel()
{
    const QPair<QByteArray, QString> rows[] = {
        {"DevEui : 0123", "0123"}, // the answer ends early
        {"DevEui : ", ""},
        {QByteArray("DevEui : 01_23456789ABCDEF").replace('_', '\0'), "01"},
        {"DevEui : AAAAAAAAAAAAAAAA DevEui : BBBB", "AAAAAAAAAAAAAAAA"},
        {"DevEui : \xff\xfe"
         "12",
         QString::fromLatin1("\xff\xfe"
                             "12")}, // one character per byte
    };
    for (const auto &row : rows)
        QCOMPARE(bytesAfterLabel(row.first, "DevEui : ", 16), std::optional<QString>(row.second));
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

void LoRaFieldsTest::joinRequestTimeoutIsReadWithThreeTwoThenOneBytes()
{
    // Clamped to the field's range; a unit glued to the digits is dropped.
    const QPair<QByteArray, int> rows[] = {{"120\r\n", 120}, {"12h", 12}, {"5hours", 5}, {"0\r\n", 0},
                                           {"999", 240},     {"-5h", 0},  {"7", 7}};
    for (const auto &row : rows)
        QCOMPARE(joinRequestTimeout("JoinRequestError Timeout : " + row.first, 0, 240), std::optional<int>(row.second));
}

QTEST_APPLESS_MAIN(LoRaFieldsTest)
#include "tst_lorafields.moc"
