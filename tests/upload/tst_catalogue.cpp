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
    void fieldsBecomeTheNumbersTheDeviceExpects();
    void maskCountsOnlyBoxesCheckedAndEnabled();
    void dumpValuesComeBackInTheFormsUnits();
    void maskedOrHeldKeysAreRecognised();
};

void CatalogueTest::fieldsBecomeTheNumbersTheDeviceExpects()
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

void CatalogueTest::dumpValuesComeBackInTheFormsUnits()
{
    using Upload::Kind;
    // kind, mode bit, fixed number, value in the dump, value the widget shows
    const std::tuple<Kind, int, int, int, double> rows[] = {
        {Kind::Seconds, 0, -1, 7200000, 7200},
        {Kind::Seconds, 0, -1, 59999, 59}, // cut, not rounded
        {Kind::Hundredths, 0, -1, 2550, 25.5},
        {Kind::Hundredths, 0, -1, -150, -1.5},
        {Kind::Range, 0, -1, 2, 1},
        {Kind::Range, 0, -1, 16, 4},
        {Kind::Range, 0, -1, 3, 3}, // off the notches: left to the slider to clamp
        {Kind::Frequency, 0, -1, 0, 0},
        {Kind::Frequency, 0, -1, 3, 3}, // 3 Hz shows as "4"
        {Kind::Frequency, 0, -1, 250, 9},
        {Kind::Frequency, 0, -1, 400, 10}, // above 250: "500"
        {Kind::BurstCount, 0, -1, 1, 0},
        {Kind::BurstCount, 0, -1, 4, 2},
        {Kind::Item, 0, -1, 9, 9},
        {Kind::Value, 0, -1, -45, -45},
        {Kind::Checked, 0, -1, 7, 1},
        {Kind::Checked, 0, -1, 0, 0}, // any non-zero is on
        {Kind::Checked, 2, -1, 1, 0},
        {Kind::Checked, 2, -1, 2, 1}, // a mode bit
        {Kind::Checked, 8, -1, 27, 1},
        {Kind::Checked, 32, -1, 27, 0},
        {Kind::FixedValue, 0, 0, 200, 0},
    };
    for (const auto &[kind, bit, number, dumped, shown] : rows) {
        const Upload::Step step = Upload::Step(kind, "X", "x", "w").fixedNumber(number).readBack(1, bit);
        QCOMPARE(Upload::formValue(step, dumped), shown);
    }
    // What goes out comes back as it was shown.
    for (int position = 1; position <= 4; ++position)
        QCOMPARE(Upload::formValue(Upload::Step(Kind::Range, "", "", ""), Upload::rangeFromSlider(position)),
                 double(position));
    for (int seconds : {0, 1, 60, 7200, 2147483})
        QCOMPARE(Upload::secondsFromMilliseconds(Upload::secondsToMilliseconds(seconds)), seconds);
}

void CatalogueTest::maskedOrHeldKeysAreRecognised()
{
    QVERIFY(Upload::isMaskedAppKey(QString(32, QLatin1Char('X'))));
    QVERIFY(Upload::isMaskedAppKey("ab XXXXXXXXXXXXXX cd"));
    QVERIFY(!Upload::isMaskedAppKey("XXXXXXXXXXXXX")); // thirteen X is a key
    QVERIFY(Upload::isSendableText("70B3D57ED0000001"));
    QVERIFY(!Upload::isSendableText("70B3\r\nRESETPARAM 1"));
    QVERIFY(!Upload::isSendableText(QString(QChar(0x7f))));
}

QTEST_APPLESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
