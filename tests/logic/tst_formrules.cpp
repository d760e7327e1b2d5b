#include "logic/formrules.h"

#include <QtTest>

#include <tuple>

using namespace FormRules;

// The rules as the window's clicks meet them are played by the form-logic
// test; here, the values no click can reach but a device's flash may hold.
class FormRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void valuesOutsideTheControlsRangeAreHarmless();
};

void FormRulesTest::valuesOutsideTheControlsRangeAreHarmless()
{
    // count before, mode of the clicked box (0 off, 1 left, 2 on), count after, with a limit of 2
    const std::tuple<int, int, int> counts[] = {{1, 2, 2}, {2, 2, 2}, {0, 0, 0}, {2, 0, 1},
                                                {1, 1, 1}, {7, 1, 2}, {-3, 0, 0}};
    for (const auto &[before, mode, after] : counts)
        QCOMPARE(countAfter(before, mode, 2), after);
    QCOMPARE(rangeMaxMilliG(0), 0);
    QCOMPARE(rangeMaxMilliG(5), 0);
    QCOMPARE(snappedInhibition(-1), 0);
    QCOMPARE(snappedInhibition(65535), 65535);
    QVERIFY(burstNumbersFor(-1).motion && burstNumbersFor(-1).stillness);
}

QTEST_APPLESS_MAIN(FormRulesTest)
#include "tst_formrules.moc"
