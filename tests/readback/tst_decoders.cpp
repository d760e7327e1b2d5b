#include "readback/answertext.h"
#include "model/dumpkeytable.h"
#include "readback/dumpscan.h"
#include "readback/lorafields.h"

#include <QtTest>

#include <tuple>

// The readback's decoders on hand-made answers: the parameter dump, the text
// the console shows and the LoRa settings. What the window does with them is
// tested with the window.

namespace {

const QByteArray e("\x1b");

// The device ends every dump line with CR LF and a NUL; here '|' separates lines.
QByteArray deviceDump(const char *lines)
{
    QByteArray dump;
    for (const QByteArray &line : QByteArray(lines).split('|'))
        dump += line + "\r\n" + QByteArray(1, '\0');
    return dump + "OK\r\n";
}

// The values a session keeps from dump to dump, and the lines of the last
// dump cut: a test starts from values that have never seen a dump, except
// where persistence is the point.
DumpValues values = unreadDumpValues();
QList<QByteArray> dumpLines;
void forgetDumps()
{
    values = unreadDumpValues();
}

void scan(const QByteArray &dump, int mode = 2)
{
    QVERIFY(splitDumpLines(dump, mode, dumpLines));
    scanDumpLines(dumpLines, mode, values);
}

// "key=value" of every key read, delimiters aside.
QString detected()
{
    QStringList keys;
    for (int i = 0; i < kDumpKeyCount; ++i)
        if (values[i] != -1 && !QByteArray(dumpKeyTable[i].keyName).endsWith("delimiter"))
            keys << QStringLiteral("%1=%2").arg(dumpKeyTable[i].keyName).arg(values[i]);
    return keys.join(QLatin1String(", "));
}

} // namespace

class DecodersTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { forgetDumps(); }
    void eachDumpLineGoesToTheKeyOfTheSectionTheCursorIsInAsANumberOnlyWhenTheWholeTextIsOne();
    void dumpLinesAreCutAsTheModeSaysAndValuesPersistFromOneDumpToTheNext();

    void consoleShowsTheAnswerWithoutItsColourPairAndWithTheKeysMaskedAndTheBatteryLevelIsTakenAfterTheLastLabel();

    void loRaFieldsTakeTheBytesAfterTheFirstLabelAndAMissingLabelGivesNone();
};

void DecodersTest::eachDumpLineGoesToTheKeyOfTheSectionTheCursorIsInAsANumberOnlyWhenTheWholeTextIsOne()
{
    const QPair<QByteArray, int> numbers[] = {
        {"-150", -150},
        {" \t +12 \r", 12},
        {"12 ms", 0},
        {"- 3", 0},
        {"-", 0},
        {"", 0},
        {"2147483648", 0},
        {"123456789012345678901234567890", 0},
        {QByteArray("12_3").replace('_', '\0'), 0},
        {"-2147483648", int(-2147483647 - 1)},
    };
    for (const auto &row : numbers)
        QVERIFY2(dumpDecimal(row.first) == row.second, row.first.constData());

    // what the row shows, dump lines, keys read (in table order)
    const std::tuple<const char *, const char *, const char *> rows[] = {
        {"no delimiter yet: the first key", "period : 60", "ALIVE period=60"},
        {"CHOC has no period: the next section's", "------- CHOC -------|period : 60", "TEMP period=60"},
        {"TILT", "------- TILT -------|period : 60", "TILT period=60"},
        {"VIBRATION", "------- VIBRATION -------|period : 60", "VIBRATION period=60"},
        {"MPU lines belong to COMMON",
         "------- MPU -------|maxRange : 8|------- CHOC -------|gxSup : 5000|------- MVT -------|gxSup : 300",
         "MPU maxRange=8, SHOCK gxSup=5000, MVT gxSup=300"},
        {"a section out of order loses its keys to the current one",
         "------- TILT -------|mode : 3|------- ALIVE -------|period : 60|nbSavedValue : 4",
         "TILT mode=3, TILT period=60"},
        {"leading blanks go one per key tried", "------- TILT -------|     threshold : 200", "TILT threshold=200"},
        {"blanks around the number", "------- TILT -------|threshold :  -12 ", "TILT threshold=-12"},
        {"label one position late", "------- TILT -------|xthreshold : 200", "TILT threshold=200"},
        {"label two positions late", "------- TILT -------|xythreshold : 200", "TILT threshold=0"},
        {"unit after the number", "------- TILT -------|threshold : 12 ms", "TILT threshold=0"},
        // "roll : " is a label of TILT and ORIENTATION: the commentary moves
        // the cursor to ORIENTATION, which then takes the TILT lines.
        {"commentary moves the cursor", "------- TILT -------|init_pitch_roll : 3|pitch : 45", "ORIENTATION pitch=45"},
        {"commentary period runs through to VIBRATION",
         "------- TEMP -------|period : 30000 (long_period)|max : 2550|period : 60", "VIBRATION period=60"},
        {"multiple alert period drops its unit and parenthesis",
         "------- TILT -------|alert : multiple (period : 30s)|period : 2000",
         "TILT multiple alert period=30, TILT period=2000"},
    };
    for (const auto &[what, lines, read] : rows) {
        forgetDumps();
        scan(deviceDump(lines));
        QVERIFY2(detected() == QLatin1String(read), qPrintable(QStringLiteral("%1: %2").arg(what, detected())));
    }
}

void DecodersTest::dumpLinesAreCutAsTheModeSaysAndValuesPersistFromOneDumpToTheNext()
{
    // Device dump: pieces of zero or one byte lose "their line end" and match nothing.
    scan(QByteArray("_5_\r_period : 60\r\n_").replace('_', '\0'));
    QCOMPARE(dumpLines.size(), 5);
    QCOMPARE(detected(), QStringLiteral("ALIVE period=60"));

    // Line feeds: nothing dropped (the CR is trailing white space).
    forgetDumps();
    scan("------- TILT -------\nperiod : 70\r\n", 0);
    QCOMPARE(dumpLines.size(), 3);
    QCOMPARE(detected(), QStringLiteral("TILT period=70"));

    // Any other mode leaves no lines and no values.
    QVERIFY(!splitDumpLines(deviceDump("period : 60"), 1, dumpLines) && dumpLines.isEmpty());

    forgetDumps();
    scan(deviceDump("------- CHOC -------|gxSup : 5000|inhibition : 150"));
    scan(deviceDump("------- CHOC -------|gxSup : 1200|inhibition disabled"));
    scan(deviceDump("------- MVT -------|gxSup : 300"));
    QCOMPARE(detected(),
             QStringLiteral("SHOCK gxSup=1200, SHOCK inhibition=150, SHOCK inhibition off=0, MVT gxSup=300"));
}

void DecodersTest::
    consoleShowsTheAnswerWithoutItsColourPairAndWithTheKeysMaskedAndTheBatteryLevelIsTakenAfterTheLastLabel()
{
    const QByteArray x26(26, 'X');
    const QPair<QByteArray, QByteArray> rows[] = {
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
        // UTF-8, markup kept as characters.
        {e + "[32m<b>Temp\xc3\xa9rature</b>" + e + "[0m", "<b>Temp\xc3\xa9rature</b>"},
        // The key's last six digits stay readable; a text that ends sooner gets the whole mask.
        {"AppKey : 1234", "AppKey : " + x26},
        {"AppKey : ", "AppKey : " + x26},
        {"APPKEY : 2B7E151628AED2A6ABF7158809CF4F3C", "APPKEY : 2B7E151628AED2A6ABF7158809CF4F3C"},
        {"AppEui : 0011", "AppEui : 0011"},
        // The session keys and the lines that set keys too; a mask hides no other key's label.
        {"LORA SET APPSKEY 4B29C8", "LORA SET APPSKEY " + x26},
        {"AppKey : 0123456789012345NwkSKey : 2B7E151628AED2A6ABF7158809CF4F3C", "AppKey : " + x26 + x26 + "CF4F3C"},
    };
    for (const auto &row : rows)
        QCOMPARE(consoleEcho(row.first), QString::fromUtf8(row.second));

    // The battery level; with no label nothing is cut from the answer, so its verdict still stands.
    // answer, level, answer left
    const std::tuple<QByteArray, QByteArray, QByteArray> batteries[] = {
        {"Battery: 87%\r\nOK\r\n>", "87", "87%\r\nOK\r\n>"},
        {"Battery: 10%\r\nBattery: 87%\r\nOK", "87", "87%\r\nOK"},
        {"Battery: 87\r\nOK", "", "87\r\nOK"},
        {"OK Level 87%\r\n>", "", "OK Level 87%\r\n>"},
        {"OK", "", "OK"},
        {"", "", ""}};
    for (auto [answer, level, rest] : batteries) {
        QCOMPARE(takeBatteryLevel(answer), level);
        QCOMPARE(answer, rest);
    }
}

void DecodersTest::loRaFieldsTakeTheBytesAfterTheFirstLabelAndAMissingLabelGivesNone()
{
    const QPair<QByteArray, QString> rows[] = {
        {"DevEui : 0123", "0123"}, // the answer ends early
        {"DevEui : ", ""},
        {QByteArray("DevEui : 01_23456789ABCDEF").replace('_', '\0'), "01"},
        {"DevEui : AAAAAAAAAAAAAAAA DevEui : BBBB", "AAAAAAAAAAAAAAAA"},
        {"DevEui : \xff\xfe!", QString::fromLatin1("\xff\xfe!")}, // one character per byte
    };
    for (const auto &row : rows)
        QCOMPARE(LoRaFields::bytesAfterLabel(row.first, "DevEui : ", 16), std::optional<QString>(row.second));

    // Labels are case-sensitive; each sentence is read for itself.
    const LoRaFields::Answer a = LoRaFields::parse("ACK is enabled\r\ndeveui : 0123456789ABCDEF\r\nOK\r\n");
    QVERIFY(a.ackEnabled && !a.ackDisabled && !a.networkPublic && !a.networkPrivate && !a.devEui && !a.appKeyTail);
    QVERIFY(!LoRaFields::defaultDataRate("OK") && !LoRaFields::joinRequestTimeout("OK", 0, 240));

    // The join request time-out is read with three, two then one bytes, clamped to the field's range; a unit glued to
    // the digits is dropped.
    const QPair<QByteArray, int> timeouts[] = {{"120\r\n", 120}, {"12h", 12}, {"5hours", 5}, {"0\r\n", 0},
                                               {"999", 240},     {"-5h", 0},  {"7", 7}};
    for (const auto &row : timeouts)
        QCOMPARE(LoRaFields::joinRequestTimeout("JoinRequestError Timeout : " + row.first, 0, 240),
                 std::optional<int>(row.second));
}

QTEST_APPLESS_MAIN(DecodersTest)
#include "tst_decoders.moc"
