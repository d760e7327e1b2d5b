#include "readback/answertext.h"

#include <QtTest>

namespace {
const QString esc(QChar(0x1b));
}

class AnswerTextTest : public QObject
{
    Q_OBJECT

private slots:
    void colourPairIsRemovedOnlyWhenWellFormed_data();
    void colourPairIsRemovedOnlyWhenWellFormed();
    void appKeyIsMaskedButItsLastDigitsStay_data();
    void appKeyIsMaskedButItsLastDigitsStay();
    void echoDecodesUtf8AndKeepsMarkupAsCharacters();
    void echoShowsEveryDumpLineDespiteTheNulSeparators();
    void batteryLevelIsTakenAfterTheLastLabel_data();
    void batteryLevelIsTakenAfterTheLastLabel();
};

void AnswerTextTest::colourPairIsRemovedOnlyWhenWellFormed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("green word") << esc + "[32mFirmware : v2.2" + esc + "[0m\r\nOK"
                                << "Firmware : v2.2\r\nOK";
    QTest::newRow("second coloured word keeps its sequences")
        << "a " + esc + "[31mred" + esc + "[0m b " + esc + "[33myellow" + esc + "[0m"
        << "a red b " + esc + "[33myellow" + esc + "[0m";
    QTest::newRow("blue alone is not cleaned") << esc + "[34mblue" + esc + "[0m" << esc + "[34mblue" + esc + "[0m";
    QTest::newRow("closer missing") << esc + "[32mgreen and no end" << esc + "[32mgreen and no end";
    QTest::newRow("opener at the very start without ESC") << "[32mgreen" + esc + "[0m"
                                                          << "[32mgreen" + esc + "[0m";
    QTest::newRow("closer without ESC") << "x" + esc + "[32mgreen[0m"
                                        << "x" + esc + "[32mgreen[0m";
    QTest::newRow("closer before opener only") << "x" + esc + "[0my" + esc + "[32mz"
                                               << "x" + esc + "[0my" + esc + "[32mz";
    QTest::newRow("stray closer before a good pair") << esc + "[0m<" + esc + "[32mok" + esc + "[0m>" << esc + "[0m<ok>";
    QTest::newRow("bracket text without escape") << "[31m[0m"
                                                 << "[31m[0m";
    QTest::newRow("empty") << QString() << QString();
}

void AnswerTextTest::colourPairIsRemovedOnlyWhenWellFormed()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(stripFirstColourPair(text), shown);
}

void AnswerTextTest::appKeyIsMaskedButItsLastDigitsStay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString x26(26, QLatin1Char('X'));
    QTest::newRow("32 hex digits") << "DevEui : 0011\r\nAppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nOK"
                                   << "DevEui : 0011\r\nAppKey : " + x26 + "CF4F3C\r\nOK";
    QTest::newRow("text ends sooner: the whole mask is inserted") << "AppKey : 1234"
                                                                  << "AppKey : " + x26;
    QTest::newRow("label at the very end") << "AppKey : "
                                           << "AppKey : " + x26;
    QTest::newRow("label in other case alone is not masked") << "APPKEY : 2B7E151628AED2A6ABF7158809CF4F3C"
                                                             << "APPKEY : 2B7E151628AED2A6ABF7158809CF4F3C";
    QTest::newRow("no label") << "AppEui : 0011"
                              << "AppEui : 0011";
}

void AnswerTextTest::appKeyIsMaskedButItsLastDigitsStay()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(maskAppKey(text), shown);
}

void AnswerTextTest::echoDecodesUtf8AndKeepsMarkupAsCharacters()
{
    const QByteArray answer = "\x1b[32m<b>Temp\xc3\xa9rature</b>\x1b[0m AppKey : 00000000000000000000000000ABCDEF";
    QCOMPARE(consoleEcho(answer),
             QString::fromUtf8("<b>Temp\xc3\xa9rature</b> AppKey : XXXXXXXXXXXXXXXXXXXXXXXXXXABCDEF"));
}

void AnswerTextTest::echoShowsEveryDumpLineDespiteTheNulSeparators()
{
    const QByteArray dump("------- COMMON -------\r\n\0maxRange : 16\r\n\0OK\r\n>", 46);
    QCOMPARE(consoleEcho(dump), QStringLiteral("------- COMMON -------\r\nmaxRange : 16\r\nOK\r\n>"));
}

void AnswerTextTest::batteryLevelIsTakenAfterTheLastLabel_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("level");
    QTest::addColumn<QByteArray>("rest");
    QTest::newRow("usual") << QByteArray("Battery: 87%\r\nOK\r\n>") << QByteArray("87") << QByteArray("87%\r\nOK\r\n>");
    QTest::newRow("last label wins") << QByteArray("Battery: 10%\r\nBattery: 87%\r\nOK") << QByteArray("87")
                                     << QByteArray("87%\r\nOK");
    QTest::newRow("no percent sign") << QByteArray("Battery: 87\r\nOK") << QByteArray() << QByteArray("87\r\nOK");
    // No label: nothing is cut from the answer, so its verdict still stands.
    QTest::newRow("no label") << QByteArray("OK Level 87%\r\n>") << QByteArray() << QByteArray("OK Level 87%\r\n>");
    QTest::newRow("short answer without label") << QByteArray("OK") << QByteArray() << QByteArray("OK");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
}

void AnswerTextTest::batteryLevelIsTakenAfterTheLastLabel()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, level);
    QFETCH(QByteArray, rest);
    QCOMPARE(takeBatteryLevel(answer), level);
    QCOMPARE(answer, rest);
}

QTEST_APPLESS_MAIN(AnswerTextTest)
#include "tst_answertext.moc"
