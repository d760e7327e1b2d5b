#include "firmware/releases.h"

#include <QtTest>

#include <tuple>

class ReleasesTest : public QObject
{
    Q_OBJECT

private slots:
    void theLastNamedReleaseWins();
    void eachFeatureOpensWithItsReleaseAndStaysOpen();
};

void ReleasesTest::theLastNamedReleaseWins()
{
    // answer, release known before, release after
    const std::tuple<QByteArray, float, float> rows[] = {
        {"Firmware : v2.1.1\r\nOK", 0.0f, 2.11f}, // also holds "v2." and "v2.1"
        {"Firmware : v2.3", 0.0f, 2.0f},          // any other 2.x counts as 2.0
        {"Firmware : v1.9.1", 0.0f, 1.91f},
        {"\x1b[32mFirmware : v2.2\x1b[0m", 0.0f, 2.2f},
        {"garbage OK", 2.2f, 2.2f}, // nothing named keeps the previous release
        {"", 1.8f, 1.8f},
    };
    for (const auto &[answer, before, after] : rows)
        QCOMPARE(Firmware::identify(answer, before), after);
}

void ReleasesTest::eachFeatureOpensWithItsReleaseAndStaysOpen()
{
    using F = Firmware::Feature;
    // The first release with each feature. The single-precision releases sit
    // just below the decimals of the same digits, so 1.9 has no orientation,
    // 1.9.1 no alert boxes, 1.9.2 no signed measure, 2.1 no tracking and
    // 2.1.2 no logging.
    const std::tuple<const char *, F, float> firsts[] = {
        {"join-request time-out", F::JoinRequestTimeOutReadback, 1.9f},
        {"orientation", F::OrientationSetting, 1.91f},
        {"default data rate", F::DefaultDataRate, 1.91f},
        {"two-command reset", F::TwoCommandFactoryReset, 1.91f},
        {"shock beside tilt on move", F::ShockBesideTiltOnMove, 1.91f},
        {"common alert period", F::CommonAlertPeriod, 1.92f},
        {"orientation choice", F::OrientationChoice, 1.92f},
        {"tilt alert boxes", F::TiltAlertBoxes, 1.92f},
        {"signed measure", F::SignedTiltMeasure, 1.93f},
        {"frames share the wake-up", F::AliveFramesShareWakeUp, 1.93f},
        {"power-off box", F::PowerOffBox, 2.0f},
        {"frames uncounted", F::AliveFramesUncounted, 2.0f},
        {"motion tracking", F::MotionTracking, 2.11f},
        {"120 ms quiet time", F::ShortQuietTime, 2.11f},
        {"event log", F::EventLog, 2.2f},
        {"shock log", F::ShockLog, 2.2f},
    };
    // 0: no device identified yet, which has none of them.
    const float releases[] = {0.0f, 1.6f, 1.7f, 1.8f, 1.9f, 1.91f, 1.92f, 1.93f, 2.0f, 2.1f, 2.11f, 2.12f, 2.2f};
    for (const auto &[name, feature, first] : firsts) {
        for (const float release : releases) {
            const QByteArray what = QByteArray(name) + " on " + QByteArray::number(release);
            QVERIFY2(Firmware::opens(release, feature) == (release >= first), what.constData());
        }
    }
    QVERIFY(!Firmware::opens(2.2f, F::None));
}

QTEST_APPLESS_MAIN(ReleasesTest)
#include "tst_releases.moc"
