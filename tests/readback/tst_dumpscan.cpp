#include "readback/dumpkeytable.h"
#include "readback/dumpscan.h"

#include <QtTest>

#include <tuple>

// The key table lives for the whole process; every test starts from a table
// that has never seen a dump, except where persistence is the point.
class DumpScanTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void numbersConvertOnlyWhenTheWholeTextIsOne();
    void eachLineGoesToTheKeyOfTheSectionTheCursorIsIn();
    void linesAreCutAsTheModeSays();
    void valuesPersistFromOneDumpToTheNext();
};

// The device ends every line with CR LF and a NUL.
static QByteArray deviceDump(const QList<QByteArray> &lines)
{
    QByteArray dump;
    for (const QByteArray &line : lines)
        dump += line + "\r\n" + QByteArray(1, '\0');
    return dump + "OK\r\n";
}

static void scan(const QByteArray &dump, int mode = 2)
{
    QVERIFY(splitDumpLines(dump, mode));
    scanDumpLines(mode);
}

// "index=value" of every key read, delimiters aside.
static QString detected()
{
    QStringList keys;
    for (int i = 0; i < kDumpKeyCount; ++i) {
        if (dumpKeyTable[i].decodedValue != -1 && !QByteArray(dumpKeyTable[i].keyName).endsWith("delimiter"))
            keys << QStringLiteral("%1=%2").arg(i).arg(dumpKeyTable[i].decodedValue);
    }
    return keys.join(' ');
}

static QString keys(const QList<QPair<int, int>> &values)
{
    QStringList keys;
    for (const auto &value : values)
        keys << QStringLiteral("%1=%2").arg(value.first).arg(value.second);
    return keys.join(' ');
}

void DumpScanTest::init()
{
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
}

void DumpScanTest::numbersConvertOnlyWhenTheWholeTextIsOne()
{
    const QPair<QByteArray, int> rows[] = {
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
    for (const auto &row : rows)
        QVERIFY2(dumpDecimal(row.first) == row.second, row.first.constData());
}

void DumpScanTest::eachLineGoesToTheKeyOfTheSectionTheCursorIsIn()
{
    // what the row shows, dump lines, keys read (in index order)
    const std::tuple<const char *, QList<QByteArray>, QList<QPair<int, int>>> rows[] = {
        {"no delimiter yet: the first key", {"period : 60"}, {{KeyAlivePeriod, 60}}},
        {"CHOC has no period: the next section's", {"------- CHOC -------", "period : 60"}, {{KeyTempPeriod, 60}}},
        {"TILT", {"------- TILT -------", "period : 60"}, {{KeyTiltPeriod, 60}}},
        {"VIBRATION", {"------- VIBRATION -------", "period : 60"}, {{KeyVibrationPeriod, 60}}},
        {"MPU lines belong to COMMON",
         {"------- MPU -------", "maxRange : 8", "------- CHOC -------", "gxSup : 5000", "------- MVT -------",
          "gxSup : 300"},
         {{KeyMpuMaxRange, 8}, {KeyShockGxSup, 5000}, {KeyMvtGxSup, 300}}},
        {"a section out of order loses its keys to the current one",
         {"------- TILT -------", "mode : 3", "------- ALIVE -------", "period : 60", "nbSavedValue : 4"},
         {{KeyTiltMode, 3}, {KeyTiltPeriod, 60}}},
        {"leading blanks go one per key tried",
         {"------- TILT -------", "     threshold : 200"},
         {{KeyTiltThreshold, 200}}},
        {"blanks around the number", {"------- TILT -------", "threshold :  -12 "}, {{KeyTiltThreshold, -12}}},
        {"label one position late", {"------- TILT -------", "xthreshold : 200"}, {{KeyTiltThreshold, 200}}},
        {"label two positions late", {"------- TILT -------", "xythreshold : 200"}, {{KeyTiltThreshold, 0}}},
        {"unit after the number", {"------- TILT -------", "threshold : 12 ms"}, {{KeyTiltThreshold, 0}}},
        // "roll : " is a label of TILT and ORIENTATION: the commentary moves
        // the cursor to ORIENTATION, which then takes the TILT lines.
        {"commentary moves the cursor",
         {"------- TILT -------", "init_pitch_roll : 3", "pitch : 45"},
         {{KeyOrientationPitch, 45}}},
        {"commentary period runs through to VIBRATION",
         {"------- TEMP -------", "period : 30000 (long_period)", "max : 2550", "period : 60"},
         {{KeyVibrationPeriod, 60}}},
        {"multiple alert period drops its unit and parenthesis",
         {"------- TILT -------", "alert : multiple (period : 30s)", "period : 2000"},
         {{KeyTiltMultipleAlertPeriod, 30}, {KeyTiltPeriod, 2000}}},
    };
    for (const auto &[what, lines, read] : rows) {
        init();
        scan(deviceDump(lines));
        QVERIFY2(detected() == keys(read), qPrintable(QStringLiteral("%1: %2").arg(what, detected())));
    }
}

void DumpScanTest::linesAreCutAsTheModeSays()
{
    // Device dump: pieces of zero or one byte lose "their line end" and match nothing.
    scan(QByteArray("_5_\r_period : 60\r\n_").replace('_', '\0'));
    QCOMPARE(dumpLines.size(), 5);
    QCOMPARE(detected(), keys({{KeyAlivePeriod, 60}}));

    // Line feeds: nothing dropped (the CR is trailing white space).
    init();
    scan("------- TILT -------\nperiod : 70\r\n", 0);
    QCOMPARE(dumpLines.size(), 3);
    QCOMPARE(detected(), keys({{KeyTiltPeriod, 70}}));

    // Any other mode leaves no lines and no values.
    init();
    QVERIFY(!splitDumpLines(deviceDump({"period : 60"}), 1));
    QVERIFY(dumpLines.isEmpty());
}

void DumpScanTest::valuesPersistFromOneDumpToTheNext()
{
    scan(deviceDump({"------- CHOC -------", "gxSup : 5000", "inhibition : 150"}));
    scan(deviceDump({"------- CHOC -------", "gxSup : 1200", "inhibition disabled"}));
    scan(deviceDump({"------- MVT -------", "gxSup : 300"}));
    QCOMPARE(detected(),
             keys({{KeyShockGxSup, 1200}, {KeyShockInhibition, 150}, {KeyShockInhibitionOff, 0}, {KeyMvtGxSup, 300}}));
}

QTEST_APPLESS_MAIN(DumpScanTest)
#include "tst_dumpscan.moc"
