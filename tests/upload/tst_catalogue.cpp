#include "upload/catalogue.h"

#include <QtTest>

#include <limits>

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void temperaturesTravelInHundredthsOfADegree_data();
    void temperaturesTravelInHundredthsOfADegree();
    void everyTwoDecimalTemperatureSurvivesARoundTrip();
    void periodsTravelInMillisecondsWithoutOverflow_data();
    void periodsTravelInMillisecondsWithoutOverflow();
    void sliderPositionsBecomeAccelerationRanges();
    void comboItemsBecomeWholeNumbersOrZero_data();
    void comboItemsBecomeWholeNumbersOrZero();
    void maskCountsOnlyBoxesCheckedAndEnabled_data();
    void maskCountsOnlyBoxesCheckedAndEnabled();
};

void CatalogueTest::temperaturesTravelInHundredthsOfADegree_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("sent");
    QTest::newRow("initial maximum") << 25.00 << 2500;
    QTest::newRow("below zero") << -0.50 << -50;
    QTest::newRow("initial delta") << 1.00 << 100;
    // 0.70 and 2.55 sit just below their decimals in single precision; the
    // device must still get what the field shows.
    QTest::newRow("0.70 is not 69") << 0.70 << 70;
    QTest::newRow("2.55 is not 254") << 2.55 << 255;
    QTest::newRow("-0.70 is not -69") << -0.70 << -70;
    QTest::newRow("lowest") << -99.99 << -9999;
    QTest::newRow("highest") << 99.99 << 9999;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("far too large saturates") << 1e300 << std::numeric_limits<int>::max();
    QTest::newRow("far too small saturates") << -3e7 << std::numeric_limits<int>::min();
}

void CatalogueTest::temperaturesTravelInHundredthsOfADegree()
{
    QFETCH(double, degrees);
    QFETCH(int, sent);
    QCOMPARE(Upload::toHundredths(degrees), sent);
}

void CatalogueTest::everyTwoDecimalTemperatureSurvivesARoundTrip()
{
    // The readback shows hundredths / 100; writing that back must not drift.
    for (int hundredths = -9999; hundredths <= 9999; ++hundredths) {
        const double shown = hundredths / 100.0;
        if (Upload::toHundredths(shown) != hundredths)
            QFAIL(qPrintable(QStringLiteral("%1 degrees went out as %2").arg(shown).arg(Upload::toHundredths(shown))));
    }
}

void CatalogueTest::periodsTravelInMillisecondsWithoutOverflow_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<int>("sent");
    QTest::newRow("ALIVE minimum") << qint64(60) << 60000;
    QTest::newRow("ALIVE initial") << qint64(7200) << 7200000;
    QTest::newRow("largest that fits") << qint64(2147483) << 2147483000;
    QTest::newRow("one more saturates") << qint64(2147484) << std::numeric_limits<int>::max();
    QTest::newRow("old form maximum saturates") << qint64(3600000) << std::numeric_limits<int>::max();
    QTest::newRow("negative saturates low") << qint64(-3600000) << std::numeric_limits<int>::min();
    QTest::newRow("TEMP slow period maximum") << qint64(21600) << 21600000;
}

void CatalogueTest::periodsTravelInMillisecondsWithoutOverflow()
{
    QFETCH(qint64, seconds);
    QFETCH(int, sent);
    QCOMPARE(Upload::secondsToMilliseconds(seconds), sent);
}

void CatalogueTest::sliderPositionsBecomeAccelerationRanges()
{
    QCOMPARE(Upload::rangeFromSlider(1), 2);
    QCOMPARE(Upload::rangeFromSlider(2), 4);
    QCOMPARE(Upload::rangeFromSlider(3), 8);
    QCOMPARE(Upload::rangeFromSlider(4), 16);
    QCOMPARE(Upload::rangeFromSlider(0), 8);
    QCOMPARE(Upload::rangeFromSlider(5), 8);
    QCOMPARE(Upload::rangeFromSlider(-1), 8);
}

void CatalogueTest::comboItemsBecomeWholeNumbersOrZero_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("sent");
    QTest::newRow("fraction with a comma") << "0,24" << 0;
    QTest::newRow("largest frequency") << "500" << 500;
    QTest::newRow("initial frequency") << "16" << 16;
    QTest::newRow("burst mode") << "2" << 2;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("hexadecimal is not base 10") << "0x10" << 0;
    QTest::newRow("too large for an int") << "99999999999" << 0;
}

void CatalogueTest::comboItemsBecomeWholeNumbersOrZero()
{
    QFETCH(QString, item);
    QFETCH(int, sent);
    QCOMPARE(Upload::itemValue(item), sent);
}

void CatalogueTest::maskCountsOnlyBoxesCheckedAndEnabled_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<int>("mask");
    const QStringList all{"cbAlive", "cbTemp", "cbChoc", "cbTilt", "cbOrient", "cbMvt", "cbRotation", "cbVibe"};
    QTest::newRow("nothing") << QStringList() << all << 0;
    QTest::newRow("initial form") << QStringList{"cbAlive"} << QStringList{"cbAlive", "cbChoc", "cbMvt"} << 1;
    QTest::newRow("everything, 64 never set") << all << all << 447;
    QTest::newRow("checked but disabled counts for nothing")
        << QStringList{"cbVibe", "cbTemp", "cbChoc"} << QStringList{"cbChoc"} << 4;
    QTest::newRow("enabled but unchecked counts for nothing") << QStringList{"cbMvt"} << all << 32;
    QTest::newRow("rotation and vibe") << QStringList{"cbRotation", "cbVibe"} << all << 384;
    QTest::newRow("tilt and orient") << QStringList{"cbTilt", "cbOrient"} << all << 24;
}

void CatalogueTest::maskCountsOnlyBoxesCheckedAndEnabled()
{
    QFETCH(QStringList, checked);
    QFETCH(QStringList, enabled);
    QFETCH(int, mask);
    const int computed = Upload::algorithmMask([&](const char *box) {
        return Upload::BoxState{checked.contains(QLatin1String(box)), enabled.contains(QLatin1String(box))};
    });
    QCOMPARE(computed, mask);
}

QTEST_APPLESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
