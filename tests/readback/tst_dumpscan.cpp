#include "readback/dumpkeytable.h"
#include "readback/dumpscan.h"

#include "debuglog.h"

#include <QtTest>

#include <limits>

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
    void mpuLinesBelongToCommon();
    void valuesAreReadFromTheLabelLengthOn_data();
    void valuesAreReadFromTheLabelLengthOn();
    void commentaryLinesStoreNothingButMoveTheCursor();
    void multipleAlertPeriodDropsItsUnitAndParenthesis();
    void shortPiecesOfADeviceDumpMatchNothing();
    void lineFeedModeKeepsEveryByte();
    void anUnknownModeLeavesNoLinesAndNoValues();
    void valuesPersistFromOneDumpToTheNext();
    void progressGoesToTheDebugLog();

private:
    static QByteArray deviceDump(const QList<QByteArray> &lines);
    static void scan(const QByteArray &dump, int mode = 2);
    static int value(int index) { return dumpKeyTable[index].decodedValue; }
    static QList<int> detectedIndexes();
};

void DumpScanTest::init()
{
    for (DumpKey &key : dumpKeyTable)
        key.decodedValue = -1;
}

// The device ends every line with CR LF and a NUL.
QByteArray DumpScanTest::deviceDump(const QList<QByteArray> &lines)
{
    QByteArray dump;
    for (const QByteArray &line : lines) {
        dump += line;
        dump += "\r\n";
        dump += '\0';
    }
    dump += "OK\r\n";
    return dump;
}

void DumpScanTest::scan(const QByteArray &dump, int mode)
{
    QVERIFY(splitDumpLines(dump, mode));
    scanDumpLines(mode);
}

QList<int> DumpScanTest::detectedIndexes()
{
    QList<int> indexes;
    for (int i = 0; i < kDumpKeyCount; ++i) {
        if (dumpKeyTable[i].decodedValue != -1)
            indexes << i;
    }
    return indexes;
}

void DumpScanTest::numbersConvertOnlyWhenTheWholeTextIsOne_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << QByteArray("5000") << 5000;
    QTest::newRow("negative") << QByteArray("-150") << -150;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("surrounding white space") << QByteArray(" \t 12 \r") << 12;
    QTest::newRow("unit after the number") << QByteArray("12 ms") << 0;
    QTest::newRow("letter glued to the number") << QByteArray("12h") << 0;
    QTest::newRow("blank between sign and digits") << QByteArray("- 3") << 0;
    QTest::newRow("sign alone") << QByteArray("-") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0;
    QTest::newRow("largest") << QByteArray("2147483647") << std::numeric_limits<int>::max();
    QTest::newRow("smallest") << QByteArray("-2147483648") << std::numeric_limits<int>::min();
    QTest::newRow("one past the largest") << QByteArray("2147483648") << 0;
    QTest::newRow("one past the smallest") << QByteArray("-2147483649") << 0;
    QTest::newRow("far too many digits") << QByteArray("123456789012345678901234567890") << 0;
    QTest::newRow("NUL inside") << QByteArray("12\0" "3", 4) << 0;
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
    QTest::newRow("no delimiter yet: the first key with the label") << QByteArray() << int(KeyAlivePeriod);
    QTest::newRow("ALIVE") << QByteArray("------- ALIVE -------") << int(KeyAlivePeriod);
    QTest::newRow("CHOC has none: the next section's") << QByteArray("------- CHOC -------") << int(KeyTempPeriod);
    QTest::newRow("TILT") << QByteArray("------- TILT -------") << int(KeyTiltPeriod);
    QTest::newRow("ROTATION") << QByteArray("------- ROTATION -------") << int(KeyRotationPeriod);
    QTest::newRow("VIBRATION") << QByteArray("------- VIBRATION -------") << int(KeyVibrationPeriod);
}

void DumpScanTest::aSharedLabelBelongsToTheSectionTheCursorIsIn()
{
    QFETCH(QByteArray, delimiter);
    QFETCH(int, expectedKey);
    QList<QByteArray> lines;
    if (!delimiter.isEmpty())
        lines << delimiter;
    lines << "period : 60";
    scan(deviceDump(lines));
    QCOMPARE(value(expectedKey), 60);
    for (int i : detectedIndexes()) {
        if (i != expectedKey)
            QCOMPARE(QString(dumpKeyTable[i].keyName).endsWith("delimiter"), true);
    }

    // A second shared label in the same dump goes to the same section.
    init();
    scan(deviceDump(QList<QByteArray>() << "------- CHOC -------" << "gxSup : 5000"
                                        << "------- MVT -------" << "gxSup : 300"));
    QCOMPARE(value(KeyShockGxSup), 5000);
    QCOMPARE(value(KeyMvtGxSup), 300);
}

void DumpScanTest::aSectionOutOfOrderLosesItsKeysToTheCurrentOne()
{
    scan(deviceDump({"------- TILT -------", "mode : 3", "------- ALIVE -------", "period : 60",
                     "nbSavedValue : 4"}));
    QCOMPARE(value(KeyTiltMode), 3);
    QCOMPARE(value(KeyAlivePeriod), -1);
    QCOMPARE(value(KeyTiltPeriod), 60);
    // No key at or after TILT has this label: the line is lost.
    QCOMPARE(value(KeyAliveNbSavedValue), -1);
    QCOMPARE(value(KeyTempNbSavedValue), -1);
}

void DumpScanTest::mpuLinesBelongToCommon()
{
    scan(deviceDump({"------- COMMON -------", "pelko_orientation : 1", "------- MPU -------",
                     "maxRange : 8", "------- ALIVE -------", "modeRefresh : 1"}));
    QCOMPARE(value(KeyPelkoOrientation), 1);
    QCOMPARE(value(KeyMpuMaxRange), 8);
    QCOMPARE(value(KeyAliveModeRefresh), 1);
}

void DumpScanTest::valuesAreReadFromTheLabelLengthOn_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("expected");
    QTest::newRow("label first") << QByteArray("threshold : 200") << 200;
    QTest::newRow("leading blanks go one per key tried") << QByteArray("     threshold : 200") << 200;
    QTest::newRow("blanks around the number") << QByteArray("threshold :  -12 ") << -12;
    QTest::newRow("label one position late") << QByteArray("xthreshold : 200") << 200;
    QTest::newRow("label two positions late") << QByteArray("xythreshold : 200") << 0;
    QTest::newRow("unit after the number") << QByteArray("threshold : 12 ms") << 0;
    QTest::newRow("out of range") << QByteArray("threshold : 99999999999") << 0;
    QTest::newRow("no number") << QByteArray("threshold : ") << 0;
}

void DumpScanTest::valuesAreReadFromTheLabelLengthOn()
{
    QFETCH(QByteArray, line);
    QFETCH(int, expected);
    scan(deviceDump({"------- TILT -------", line}));
    QCOMPARE(value(KeyTiltThreshold), expected);
    // A malformed value is still a detection: the cursor moved to TILT, so
    // ROTATION's key with the same label stays untouched.
    QCOMPARE(value(KeyRotationThreshold), -1);
}

void DumpScanTest::commentaryLinesStoreNothingButMoveTheCursor()
{
    // "roll : " is a label of TILT and of ORIENTATION: the cursor ends in
    // ORIENTATION, and the TILT line that follows is taken for ORIENTATION.
    scan(deviceDump({"------- TILT -------", "init_pitch_roll : 3", "pitch : 45", "period : 2000"}));
    QCOMPARE(value(KeyTiltRoll), -1);
    QCOMPARE(value(KeyOrientationRoll), -1);
    QCOMPARE(value(KeyTiltPitch), -1);
    QCOMPARE(value(KeyOrientationPitch), 45);
    QCOMPARE(value(KeyOrientationPeriod), 2000);

    // "period : " is a label of every section from ALIVE on: the cursor runs
    // through to VIBRATION, and the rest of TEMP is lost.
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

    // Nothing after the number: its last two digits go with the unit.
    init();
    scan(deviceDump({"------- TILT -------", "alert : multiple (period : 1234"}));
    QCOMPARE(value(KeyTiltMultipleAlertPeriod), 12);
}

void DumpScanTest::shortPiecesOfADeviceDumpMatchNothing()
{
    QByteArray dump;
    dump += '\0';                     // empty piece
    dump += '5';                      // one byte
    dump += '\0';
    dump += "\r";                     // one byte of line end
    dump += '\0';
    dump += "period : 60\r\n";
    dump += '\0';
    scan(dump);
    QCOMPARE(dumpLines.size(), 5);
    QCOMPARE(detectedIndexes(), QList<int>() << KeyAlivePeriod);
    QCOMPARE(value(KeyAlivePeriod), 60);

    init();
    scan(QByteArray());
    QCOMPARE(dumpLines.size(), 1);
    QVERIFY(detectedIndexes().isEmpty());
}

void DumpScanTest::lineFeedModeKeepsEveryByte()
{
    scan("------- ALIVE -------\nperiod : 60\r\nnbSavedValue : 4\n", 0);
    QCOMPARE(dumpLines.size(), 4);
    QCOMPARE(value(KeyAlivePeriod), 60); // the CR is trailing white space
    QCOMPARE(value(KeyAliveNbSavedValue), 4);

    // The same text read as a device dump is one piece whose first label wins.
    init();
    scan("------- ALIVE -------\nperiod : 60\r\nnbSavedValue : 4\n", 2);
    QCOMPARE(dumpLines.size(), 1);
    QCOMPARE(value(KeyAliveDelimiter), 0);
    QCOMPARE(value(KeyAlivePeriod), -1);
}

void DumpScanTest::anUnknownModeLeavesNoLinesAndNoValues()
{
    QVERIFY(splitDumpLines(deviceDump({"period : 60"}), 2));
    QVERIFY(!dumpLines.isEmpty());
    QVERIFY(!splitDumpLines(deviceDump({"period : 60"}), 1));
    QVERIFY(dumpLines.isEmpty());
    QVERIFY(!splitDumpLines(deviceDump({"period : 60"}), -2));
    QVERIFY(dumpLines.isEmpty());
    QVERIFY(detectedIndexes().isEmpty());
}

void DumpScanTest::valuesPersistFromOneDumpToTheNext()
{
    scan(deviceDump({"------- CHOC -------", "gxSup : 5000", "inhibition : 150"}));
    scan(deviceDump({"------- CHOC -------", "gxSup : 1200", "inhibition disabled"}));
    QCOMPARE(value(KeyShockGxSup), 1200);
    QCOMPARE(value(KeyShockInhibition), 150);
    QCOMPARE(value(KeyShockInhibitionOff), 0);

    // A later dump without the keys keeps them all.
    scan(deviceDump({"------- MVT -------", "gxSup : 300"}));
    QCOMPARE(value(KeyShockGxSup), 1200);
    QCOMPARE(value(KeyShockInhibition), 150);
    QCOMPARE(value(KeyShockInhibitionOff), 0);
    QCOMPARE(value(KeyMvtGxSup), 300);
}

void DumpScanTest::progressGoesToTheDebugLog()
{
    DebugLog log;
    scan(deviceDump({"------- ALIVE -------", "period : 60000"}));
    QVERIFY(log.contains("*----- Analysing received parameters -----*"));
    QVERIFY(log.contains("\"period : 60000\""));
    QVERIFY(log.contains("\"ALIVE period\" detected at index"));
    QVERIFY(log.contains("60000"));
    QCOMPARE(log.count("*--------------- FINISHED ---------------*"), 1);
}

QTEST_APPLESS_MAIN(DumpScanTest)
#include "tst_dumpscan.moc"
