#include "firmware/releases.h"

#include <QtTest>

#include <utility>

class ReleasesTest : public QObject
{
    Q_OBJECT

private slots:
    void theLastNamedReleaseWins();
    void eachFeatureOpensWithItsReleaseAndStaysOpen();
};

void ReleasesTest::theLastNamedReleaseWins()
{
    // answer, release after
    const std::pair<QByteArray, float> rows[] = {
        {"Firmware : v2.1.1\r\nOK", 2.11f}, // also holds "v2." and "v2.1"
        {"Firmware : v2.3", 2.0f},          // any other 2.x counts as 2.0
        {"Firmware : v1.9.1", 1.91f},
    };
    for (const auto &[answer, after] : rows)
        QCOMPARE(Firmware::identify(answer, 0.0f), after);
}

void ReleasesTest::eachFeatureOpensWithItsReleaseAndStaysOpen()
{
    using F = Firmware::Feature;
    // Each release and the last feature it has; the features are declared in
    // release order, so it has every one before. The single-precision releases
    // sit just below the decimals of the same digits: 1.9 has no orientation,
    // 1.9.1 no alert boxes, 1.9.2 no signed measure, 2.1 no tracking and 2.1.2
    // no logging. 0 is a device not yet identified.
    // clang-format off
    const std::pair<float, F> rows[] = {
        {0.0f,  F::None},                       {1.8f,  F::None},
        {1.9f,  F::JoinRequestTimeOutReadback}, {1.91f, F::ShockBesideTiltOnMove},
        {1.92f, F::TiltAlertBoxes},             {1.93f, F::AliveFramesShareWakeUp},
        {2.0f,  F::AliveFramesUncounted},       {2.1f,  F::AliveFramesUncounted},
        {2.11f, F::ShortQuietTime},             {2.12f, F::ShortQuietTime},
        {2.2f,  F::ShockLog}};
    // clang-format on
    for (const auto &[release, last] : rows) {
        for (int f = int(F::None); f <= int(F::ShockLog); ++f) {
            const QByteArray what = "feature " + QByteArray::number(f) + " on " + QByteArray::number(release);
            QVERIFY2(Firmware::opens(release, F(f)) == (f != int(F::None) && f <= int(last)), what.constData());
        }
    }
}

QTEST_APPLESS_MAIN(ReleasesTest)
#include "tst_releases.moc"
