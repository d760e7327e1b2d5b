#include "upload/catalogue.h"

#include <QtTest>

#include <limits>
#include <tuple>

namespace {
constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();
} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void temperaturesTravelInHundredthsOfADegree();
    void periodsTravelInMillisecondsWithoutOverflow();
    void slidersAndCombosBecomeTheNumbersTheDeviceExpects();
    void maskCountsOnlyBoxesCheckedAndEnabled();
};

void CatalogueTest::temperaturesTravelInHundredthsOfADegree()
{
    // 0.70 and 2.55 sit just below their decimals in single precision; the
    // device must still get what the field shows.
    const QPair<double, int> rows[] = {{0.70, 70},        {2.55, 255},   {-0.70, -70},
                                       {std::nan(""), 0}, {1e300, kMax}, {-3e7, kMin}};
    for (const auto &row : rows)
        QCOMPARE(Upload::toHundredths(row.first), row.second);
    // The readback shows hundredths / 100; writing that back must not drift.
    for (int hundredths = -9999; hundredths <= 9999; ++hundredths) {
        if (Upload::toHundredths(hundredths / 100.0) != hundredths)
            QFAIL(qPrintable(QStringLiteral("%1 hundredths went out as %2")
                                 .arg(hundredths)
                                 .arg(Upload::toHundredths(hundredths / 100.0))));
    }
}

void CatalogueTest::periodsTravelInMillisecondsWithoutOverflow()
{
    const QPair<qint64, int> rows[] = {{60, 60000},     {7200, 7200000}, {2147483, 2147483000},
                                       {2147484, kMax}, {3600000, kMax}, {-3600000, kMin}};
    for (const auto &row : rows)
        QCOMPARE(Upload::secondsToMilliseconds(row.first), row.second);
}

void CatalogueTest::slidersAndCombosBecomeTheNumbersTheDeviceExpects()
{
    const int ranges[] = {8, 2, 4, 8, 16, 8}; // positions 0 to 5; off the notches: 8 g
    for (int position = 0; position <= 5; ++position)
        QCOMPARE(Upload::rangeFromSlider(position), ranges[position]);
    QCOMPARE(Upload::rangeFromSlider(-1), 8);

    const QPair<QString, int> items[] = {{"0,24", 0}, {"500", 500}, {"2", 2}, {"", 0}, {"0x10", 0}, {"99999999999", 0}};
    for (const auto &item : items)
        QCOMPARE(Upload::itemValue(item.first), item.second);
}

void CatalogueTest::maskCountsOnlyBoxesCheckedAndEnabled()
{
    const QStringList all{"cbAlive", "cbTemp", "cbChoc", "cbTilt", "cbOrient", "cbMvt", "cbRotation", "cbVibe"};
    // boxes checked, boxes enabled, mask sent
    const std::tuple<QStringList, QStringList, int> rows[] = {
        {{}, all, 0},
        {{"cbAlive"}, {"cbAlive", "cbChoc", "cbMvt"}, 1},
        {all, all, 447}, // 64 is never set
        {{"cbVibe", "cbTemp", "cbChoc"}, {"cbChoc"}, 4},
        {{"cbMvt"}, all, 32},
        {{"cbRotation", "cbVibe"}, all, 384},
        {{"cbTilt", "cbOrient"}, all, 24},
        {{"cbTemp"}, all, 2},
    };
    for (const auto &[checked, enabled, mask] : rows) {
        const auto state = [&on = checked, &open = enabled](const char *box) {
            return Upload::BoxState{on.contains(QLatin1String(box)), open.contains(QLatin1String(box))};
        };
        QCOMPARE(Upload::algorithmMask(state), mask);
    }
}

QTEST_APPLESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
