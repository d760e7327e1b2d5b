#include "readback/answertext.h"

#include <QtTest>

#include <tuple>

namespace {
const QString e(QChar(0x1b));
}

class AnswerTextTest : public QObject
{
    Q_OBJECT

private slots:
    void colourPairIsRemovedOnlyWhenWellFormed();
    void appKeyIsMaskedButItsLastDigitsStay();
    void echoDecodesUtf8KeepsMarkupAsCharactersAndEveryDumpLine();
    void batteryLevelIsTakenAfterTheLastLabel();
};

void AnswerTextTest::colourPairIsRemovedOnlyWhenWellFormed()
{
    const QPair<QString, QString> rows[] = {
        {e + "[32mFirmware : v2.2" + e + "[0m\r\nOK", "Firmware : v2.2\r\nOK"},
        // Only the first pair goes, and only red, green or yellow.
        {"a " + e + "[31mred" + e + "[0m b " + e + "[33myellow" + e + "[0m", "a red b " + e + "[33myellow" + e + "[0m"},
        {e + "[34mblue" + e + "[0m", e + "[34mblue" + e + "[0m"},
        {e + "[3xm " + e + "[32mok" + e + "[0m", e + "[3xm ok"},
        {e + "[32mgreen and no end", e + "[32mgreen and no end"},
        {"[32mgreen" + e + "[0m", "[32mgreen" + e + "[0m"},
        {"x" + e + "[32mgreen[0m", "x" + e + "[32mgreen[0m"},
        {"x" + e + "[0my" + e + "[32mz", "x" + e + "[0my" + e + "[32mz"},
        {e + "[0m<" + e + "[32mok" + e + "[0m>", e + "[0m<ok>"},
        {"[31m[0m", "[31m[0m"},
        {"", ""},
    };
    for (const auto &row : rows)
        QCOMPARE(stripFirstColourPair(row.first), row.second);
}

void AnswerTextTest::appKeyIsMaskedButItsLastDigitsStay()
{
    const QString x26(26, QLatin1Char('X'));
    const QPair<QString, QString> rows[] = {
        {"DevEui : 0011\r\nAppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nOK",
         "DevEui : 0011\r\nAppKey : " + x26 + "CF4F3C\r\nOK"},
        {"AppKey : 1234", "AppKey : " + x26}, // text ends sooner: the whole mask is inserted
        {"AppKey : ", "AppKey : " + x26},
        {"APPKEY : 2B7E151628AED2A6ABF7158809CF4F3C", "APPKEY : 2B7E151628AED2A6ABF7158809CF4F3C"},
        {"AppEui : 0011", "AppEui : 0011"},
    };
    for (const auto &row : rows)
        QCOMPARE(maskAppKey(row.first), row.second);
}

void AnswerTextTest::echoDecodesUtf8KeepsMarkupAsCharactersAndEveryDumpLine()
{
    QCOMPARE(consoleEcho("\x1b[32m<b>Temp\xc3\xa9rature</b>\x1b[0m AppKey : 00000000000000000000000000ABCDEF"),
             QString::fromUtf8("<b>Temp\xc3\xa9rature</b> AppKey : XXXXXXXXXXXXXXXXXXXXXXXXXXABCDEF"));
    QCOMPARE(consoleEcho(QByteArray("------- COMMON -------\r\n_maxRange : 16\r\n_OK\r\n>").replace('_', '\0')),
             QStringLiteral("------- COMMON -------\r\nmaxRange : 16\r\nOK\r\n>"));
}

void AnswerTextTest::batteryLevelIsTakenAfterTheLastLabel()
{
    // No label: nothing is cut from the answer, so its verdict still stands.
    // answer, level, answer left
    const std::tuple<QByteArray, QByteArray, QByteArray> rows[] = {
        {"Battery: 87%\r\nOK\r\n>", "87", "87%\r\nOK\r\n>"},
        {"Battery: 10%\r\nBattery: 87%\r\nOK", "87", "87%\r\nOK"},
        {"Battery: 87\r\nOK", "", "87\r\nOK"},
        {"OK Level 87%\r\n>", "", "OK Level 87%\r\n>"},
        {"OK", "", "OK"},
        {"", "", ""},
    };
    for (auto [answer, level, rest] : rows) {
        QCOMPARE(takeBatteryLevel(answer), level);
        QCOMPARE(answer, rest);
    }
}

QTEST_APPLESS_MAIN(AnswerTextTest)
#include "tst_answertext.moc"
