#include "readback/lorafields.h"

#include <QtTest>

using namespace LoRaFields;

class LoRaFieldsTest : public QObject
{
    Q_OBJECT

private slots:
    void aCompleteAnswerGivesEveryField();
    void fieldsTakeTheBytesAfterTheFirstLabel_data();
    void fieldsTakeTheBytesAfterTheFirstLabel();
    void aMissingLabelGivesNoField();
    void theAppKeyKeepsOnlyItsLastSixCharacters();
    void joinRequestTimeoutIsReadWithThreeTwoThenOneBytes_data();
    void joinRequestTimeoutIsReadWithThreeTwoThenOneBytes();
    void defaultDataRateIsOneDecimalDigit_data();
    void defaultDataRateIsOneDecimalDigit();
};

static const QByteArray kFullAnswer =
    "ACK is disabled\r\n"
    "ADR is enabled\r\n"
    "Network is PRIVATE\r\n"
    "Mode : ABP\r\n"
    "DevEui : 70B3D57ED0001234\r\n"
    "AppEui : 0011223344556677\r\n"
    "AppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\n"
    "NwkSKey : 000102030405060708090A0B0C0D0E0F\r\n"
    "AppSKey : F0E0D0C0B0A090807060504030201000\r\n"
    "DevAddr : 26011BDA\r\n"
    "NwkID : 000013\r\n"
    "Default_DR : 3\r\n"
    "JoinRequestError Timeout : 24\r\n"
    "OK\r\n";

void LoRaFieldsTest::aCompleteAnswerGivesEveryField()
{
    const Answer a = parse(kFullAnswer);
    QVERIFY(a.ackDisabled);
    QVERIFY(!a.ackEnabled);
    QVERIFY(!a.adrDisabled);
    QVERIFY(a.adrEnabled);
    QVERIFY(!a.networkPublic);
    QVERIFY(a.networkPrivate);
    QVERIFY(a.modeAbp);
    QVERIFY(!a.modeOtaa);
    QCOMPARE(a.devEui, std::optional<QString>("70B3D57ED0001234"));
    QCOMPARE(a.appEui, std::optional<QString>("0011223344556677"));
    // The 32 bytes after the masked part; the field keeps the first 6.
    QVERIFY(a.appKeyTail);
    QCOMPARE(a.appKeyTail->size(), 32);
    QVERIFY(a.appKeyTail->startsWith("CF4F3C\r\n"));
    QCOMPARE(a.nwkSKey, std::optional<QString>("000102030405060708090A0B0C0D0E0F"));
    QCOMPARE(a.appSKey, std::optional<QString>("F0E0D0C0B0A090807060504030201000"));
    QCOMPARE(a.devAddr, std::optional<QString>("26011BDA"));
    QCOMPARE(a.nwkId, std::optional<QString>("000013"));
    QCOMPARE(defaultDataRate(kFullAnswer), std::optional<int>(3));
    QCOMPARE(joinRequestTimeout(kFullAnswer, 0, 240), std::optional<int>(24));
}

void LoRaFieldsTest::fieldsTakeTheBytesAfterTheFirstLabel_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << QByteArray("DevEui : 0123456789ABCDEF\r\n") << 16 << "0123456789ABCDEF";
    QTest::newRow("line end follows a short value") << QByteArray("DevEui : 0123\r\nOK") << 16 << "0123\r\nOK";
    QTest::newRow("answer ends early") << QByteArray("DevEui : 0123") << 16 << "0123";
    QTest::newRow("label at the very end") << QByteArray("DevEui : ") << 16 << "";
    QTest::newRow("NUL ends the field") << QByteArray("DevEui : 01\0" "23456789ABCDEF", 25) << 16 << "01";
    QTest::newRow("first occurrence wins") << QByteArray("DevEui : AAAAAAAAAAAAAAAA DevEui : BBBB") << 16
                                           << "AAAAAAAAAAAAAAAA";
    QTest::newRow("bytes beyond ASCII stay one character each")
        << QByteArray("DevEui : \xff\xfe" "12") << 16 << QString::fromLatin1("\xff\xfe" "12");
}

void LoRaFieldsTest::fieldsTakeTheBytesAfterTheFirstLabel()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(bytesAfterLabel(answer, "DevEui : ", count), std::optional<QString>(expected));
}

void LoRaFieldsTest::aMissingLabelGivesNoField()
{
    // Only the sentences and the EUI: nothing else may be made up.
    const QByteArray answer = "ACK is enabled\r\nDevEui : 0000000000000000\r\nOK\r\n";
    const Answer a = parse(answer);
    QVERIFY(a.ackEnabled);
    QVERIFY(!a.adrDisabled && !a.adrEnabled && !a.networkPublic && !a.networkPrivate);
    QVERIFY(!a.modeAbp && !a.modeOtaa);
    QCOMPARE(a.devEui, std::optional<QString>("0000000000000000"));
    QVERIFY(!a.appEui);
    QVERIFY(!a.appKeyTail);
    QVERIFY(!a.nwkSKey);
    QVERIFY(!a.appSKey);
    QVERIFY(!a.devAddr);
    QVERIFY(!a.nwkId);
    QVERIFY(!defaultDataRate(answer));
    QVERIFY(!joinRequestTimeout(answer, 0, 240));
    // Labels are case-sensitive.
    QVERIFY(!parse("deveui : 0123456789ABCDEF").devEui);
}

void LoRaFieldsTest::theAppKeyKeepsOnlyItsLastSixCharacters()
{
    QCOMPARE(parse("AppKey : 00000000000000000000000000000000").appKeyTail, std::optional<QString>("000000"));
    // A short key leaves nothing after the mask, but the field is reported.
    QCOMPARE(parse("AppKey : 0123").appKeyTail, std::optional<QString>(""));
    QCOMPARE(kAppKeyMask, QString(26, QLatin1Char('X')));
}

void LoRaFieldsTest::joinRequestTimeoutIsReadWithThreeTwoThenOneBytes_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("three digits") << QByteArray("120\r\n") << 120;
    QTest::newRow("two digits and the line end") << QByteArray("12\r\n") << 12;
    QTest::newRow("unit glued to two digits") << QByteArray("12h") << 12;
    QTest::newRow("unit glued to one digit") << QByteArray("5hours") << 5;
    QTest::newRow("a true zero") << QByteArray("0\r\n") << 0;
    QTest::newRow("above the range is clamped") << QByteArray("999") << 240;
    QTest::newRow("negative is clamped to zero") << QByteArray("-5h") << 0;
    QTest::newRow("no number") << QByteArray("abc") << 0;
    QTest::newRow("answer ends after one digit") << QByteArray("7") << 7;
}

void LoRaFieldsTest::joinRequestTimeoutIsReadWithThreeTwoThenOneBytes()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    QCOMPARE(joinRequestTimeout("JoinRequestError Timeout : " + value, 0, 240), std::optional<int>(expected));
}

void LoRaFieldsTest::defaultDataRateIsOneDecimalDigit_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("digit") << QByteArray("3\r\n") << 3;
    QTest::newRow("only the first digit") << QByteArray("12") << 1;
    QTest::newRow("outside the spin box range, left for it to clamp") << QByteArray("9") << 9;
    QTest::newRow("letter") << QByteArray("x") << 0;
    QTest::newRow("nothing after the label") << QByteArray() << 0;
}

void LoRaFieldsTest::defaultDataRateIsOneDecimalDigit()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    QCOMPARE(defaultDataRate("Default_DR : " + value), std::optional<int>(expected));
}

QTEST_APPLESS_MAIN(LoRaFieldsTest)
#include "tst_lorafields.moc"
