#include "readback/dumpkeytable.h"
#include "readback/dumpscan.h"

#include <QtTest>

// The key table lives for the whole process; every test starts from a table
// that has never seen a dump, except where persistence is the point.
class DumpScanTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void numbersConvertOnlyWhenTheWholeTextIsOne_data();
    void numbersConvertOnlyWhenTheWholeTextIsOne();
    void aSharedLabelBelongsToTheSectionTheCursorIsIn_data();
    void aSharedLabelBelongsToTheSectionTheCursorIsIn();
    void aSectionOutOfOrderLosesItsKeysToTheCurrentOne();
    void valuesAreReadFromTheLabelLengthOn_data();
    void valuesAreReadFromTheLabelLengthOn();
    void commentaryLinesStoreNothingButMoveTheCursor();
    void multipleAlertPeriodDropsItsUnitAndParenthesis();
    void linesAreCutAsTheModeSays();
    void valuesPersistFromOneDumpToTheNext();

private:
    static int value(int index) { return dumpKeyTable[index].decodedValue; }
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

static QList<int> detectedIndexes()
{
    QList<int> indexes;
    for (int i = 0; i < kDumpKeyCount; ++i) {
        if (dumpKeyTable[i].decodedValue != -1)
            indexes << i;
    }
    return indexes;
}

void DumpScanTest::init()
{
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
}

void DumpScanTest::numbersConvertOnlyWhenTheWholeTextIsOne_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("negative") << QByteArray("-150") << -150;
    QTest::newRow("plus sign and white space") << QByteArray(" \t +12 \r") << 12;
    QTest::newRow("unit after the number") << QByteArray("12 ms") << 0;
    QTest::newRow("blank after the sign") << QByteArray("- 3") << 0;
    QTest::newRow("sign alone") << QByteArray("-") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483647 - 1);
    QTest::newRow("one past the largest") << QByteArray("2147483648") << 0;
    QTest::newRow("far too many digits") << QByteArray("123456789012345678901234567890") << 0;
    QTest::newRow("NUL inside") << QByteArray("12\0"
                                              "3",
                                              4)
                                << 0;
}

void DumpScanTest::numbersConvertOnlyWhenTheWholeTextIsOne()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    QCOMPARE(dumpDecimal(text), expected);
}

void DumpScanTest::aSharedLabelBelongsToTheSectionTheCursorIsIn_data()
{
    QTest::addColumn<QByteArray>("delimiter");
    QTest::addColumn<int>("expectedKey");
    QTest::newRow("no delimiter yet: the first key") << QByteArray() << int(KeyAlivePeriod);
    QTest::newRow("CHOC has none: the next section's") << QByteArray("------- CHOC -------") << int(KeyTempPeriod);
    QTest::newRow("TILT") << QByteArray("------- TILT -------") << int(KeyTiltPeriod);
    QTest::newRow("VIBRATION") << QByteArray("------- VIBRATION -------") << int(KeyVibrationPeriod);
}

void DumpScanTest::aSharedLabelBelongsToTheSectionTheCursorIsIn()
{
    QFETCH(QByteArray, delimiter);
    QFETCH(int, expectedKey);
    scan(deviceDump({delimiter, "period : 60"}));
    QCOMPARE(value(expectedKey), 60);
    for (int i : detectedIndexes())
        QVERIFY(i == expectedKey || QByteArray(dumpKeyTable[i].keyName).endsWith("delimiter"));

    init();
    scan(deviceDump({"------- MPU -------", "maxRange : 8", "------- CHOC -------", "gxSup : 5000",
                     "------- MVT -------", "gxSup : 300"}));
    QCOMPARE(value(KeyMpuMaxRange), 8); // MPU lines belong to COMMON
    QCOMPARE(value(KeyShockGxSup), 5000);
    QCOMPARE(value(KeyMvtGxSup), 300);
}

void DumpScanTest::aSectionOutOfOrderLosesItsKeysToTheCurrentOne()
{
    scan(deviceDump({"------- TILT -------", "mode : 3", "------- ALIVE -------", "period : 60", "nbSavedValue : 4"}));
    QCOMPARE(value(KeyTiltMode), 3);
    QCOMPARE(value(KeyAlivePeriod), -1);
    QCOMPARE(value(KeyTiltPeriod), 60);
    QCOMPARE(value(KeyAliveNbSavedValue), -1); // no key from TILT on has this label
}

void DumpScanTest::valuesAreReadFromTheLabelLengthOn_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("expected");
    QTest::newRow("leading blanks go one per key tried") << QByteArray("     threshold : 200") << 200;
    QTest::newRow("blanks around the number") << QByteArray("threshold :  -12 ") << -12;
    QTest::newRow("label one position late") << QByteArray("xthreshold : 200") << 200;
    QTest::newRow("label two positions late") << QByteArray("xythreshold : 200") << 0;
    QTest::newRow("unit after the number") << QByteArray("threshold : 12 ms") << 0;
}

void DumpScanTest::valuesAreReadFromTheLabelLengthOn()
{
    QFETCH(QByteArray, line);
    QFETCH(int, expected);
    scan(deviceDump({"------- TILT -------", line}));
    QCOMPARE(value(KeyTiltThreshold), expected);
    QCOMPARE(value(KeyRotationThreshold), -1); // the cursor stays at TILT
}

void DumpScanTest::commentaryLinesStoreNothingButMoveTheCursor()
{
    // "roll : " is a label of TILT and of ORIENTATION: the cursor ends in
    // ORIENTATION, which then takes the TILT lines that follow.
    scan(deviceDump({"------- TILT -------", "init_pitch_roll : 3", "pitch : 45"}));
    QCOMPARE(value(KeyTiltRoll), -1);
    QCOMPARE(value(KeyOrientationRoll), -1);
    QCOMPARE(value(KeyTiltPitch), -1);
    QCOMPARE(value(KeyOrientationPitch), 45);

    // "period : " runs the cursor through to VIBRATION.
    init();
    scan(deviceDump({"------- TEMP -------", "period : 30000 (long_period)", "max : 2550", "period : 60"}));
    QCOMPARE(value(KeyTempPeriod), -1);
    QCOMPARE(value(KeyTempMax), -1);
    QCOMPARE(value(KeyVibrationPeriod), 60);
}

void DumpScanTest::multipleAlertPeriodDropsItsUnitAndParenthesis()
{
    scan(deviceDump({"------- TILT -------", "alert : multiple (period : 30s)", "period : 2000"}));
    QCOMPARE(value(KeyTiltMultipleAlertPeriod), 30);
    QCOMPARE(value(KeyTiltPeriod), 2000);
    QCOMPARE(value(KeyAlivePeriod), -1);
}

void DumpScanTest::linesAreCutAsTheModeSays()
{
    // Device dump: pieces of zero or one byte lose "their line end" and match nothing.
    scan(QByteArray("\0"
                    "5\0"
                    "\r\0"
                    "period : 60\r\n\0",
                    19));
    QCOMPARE(dumpLines.size(), 5);
    QCOMPARE(detectedIndexes(), QList<int>() << KeyAlivePeriod);
    QCOMPARE(value(KeyAlivePeriod), 60);

    // Line feeds: nothing dropped (the CR is trailing white space).
    init();
    scan("------- TILT -------\nperiod : 70\r\n", 0);
    QCOMPARE(dumpLines.size(), 3);
    QCOMPARE(value(KeyTiltPeriod), 70);

    // Any other mode leaves no lines and no values.
    init();
    QVERIFY(!splitDumpLines(deviceDump({"period : 60"}), 1));
    QVERIFY(dumpLines.isEmpty());
    QVERIFY(detectedIndexes().isEmpty());
}

void DumpScanTest::valuesPersistFromOneDumpToTheNext()
{
    scan(deviceDump({"------- CHOC -------", "gxSup : 5000", "inhibition : 150"}));
    scan(deviceDump({"------- CHOC -------", "gxSup : 1200", "inhibition disabled"}));
    scan(deviceDump({"------- MVT -------", "gxSup : 300"}));
    QCOMPARE(value(KeyShockGxSup), 1200);
    QCOMPARE(value(KeyShockInhibition), 150);
    QCOMPARE(value(KeyShockInhibitionOff), 0);
    QCOMPARE(value(KeyMvtGxSup), 300);
}

QTEST_APPLESS_MAIN(DumpScanTest)
#include "tst_dumpscan.moc"
