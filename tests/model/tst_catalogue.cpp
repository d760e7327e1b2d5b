#include "model/catalogue.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {
constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();
} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void fieldsBecomeTheNumbersTheDeviceExpectsAndMaskedKeysOrControlCharactersAreCaught();
};

void CatalogueTest::fieldsBecomeTheNumbersTheDeviceExpectsAndMaskedKeysOrControlCharactersAreCaught()
{
    // Temperatures travel in hundredths of a degree. 0.70 and 2.55 sit just below their decimals in single precision;
    // the device must still get what the field shows.
    const QPair<double, int> temperatures[] = {{0.70, 70},        {2.55, 255},   {-0.70, -70},
                                               {std::nan(""), 0}, {1e300, kMax}, {-3e7, kMin}};
    for (const auto &row : temperatures)
        QCOMPARE(Upload::toHundredths(row.first), row.second);
    // The readback shows hundredths / 100; writing that back must not drift.
    for (int hundredths = -9999; hundredths <= 9999; ++hundredths) {
        if (Upload::toHundredths(hundredths / 100.0) != hundredths)
            QFAIL(qPrintable(QStringLiteral("%1 hundredths went out as %2")
                                 .arg(hundredths)
                                 .arg(Upload::toHundredths(hundredths / 100.0))));
    }
    // Periods travel in milliseconds, without overflow.
    const QPair<qint64, int> periods[] = {{60, 60000},     {7200, 7200000}, {2147483, 2147483000},
                                          {2147484, kMax}, {3600000, kMax}, {-3600000, kMin}};
    for (const auto &row : periods)
        QCOMPARE(Upload::secondsToMilliseconds(row.first), row.second);
    const int ranges[] = {8, 2, 4, 8, 16, 8}; // positions 0 to 5; off the notches: 8 g
    for (int position = 0; position <= 5; ++position)
        QCOMPARE(Upload::rangeFromSlider(position), ranges[position]);
    QCOMPARE(Upload::rangeFromSlider(-1), 8);

    const QPair<QString, int> items[] = {{"0,24", 0}, {"500", 500}, {"2", 2}, {"", 0}, {"0x10", 0}, {"99999999999", 0}};
    for (const auto &item : items)
        QCOMPARE(Upload::itemValue(item.first), item.second);
    // A whole masked key and a line break in a field are the upload transcripts'.
    QVERIFY(Upload::isMaskedAppKey("ab XXXXXXXXXXXXXX cd") && !Upload::isMaskedAppKey("XXXXXXXXXXXXX"));
    QVERIFY(Upload::isSendableText("70B3D57ED0000001") && !Upload::isSendableText(QString(QChar(0x7f))));
}

QTEST_APPLESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
