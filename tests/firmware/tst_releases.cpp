#include "firmware/releases.h"

#include <QtTest>

#include <utility>

class ReleasesTest : public QObject
{
    Q_OBJECT

private slots:
    void theReleaseNamedLastOpensItsFeaturesAndAllEarlierOnes();
};

void ReleasesTest::theReleaseNamedLastOpensItsFeaturesAndAllEarlierOnes()
{
    using F = Firmware::Feature;
    // A VERSION answer and the last feature its release has; the features are
    // declared in release order, so it has every one before. The releases held
    // as 1.9, 1.91, 1.92, 2.1 and 2.12 sit just below the decimals of the same
    // digits: 1.9 has no orientation, 1.9.1 no alert boxes, 1.9.2 no signed
    // measure, 2.1 no tracking and 2.1.2 no logging. An answer that names no
    // release leaves a device not yet identified with none.
    // clang-format off
    const std::pair<QByteArray, F> rows[] = {
        {"garbage OK",          F::None},                       {"1.8",                 F::None},
        {"1.9",                 F::JoinRequestTimeOutReadback}, {"1.9.1",               F::ShockBesideTiltOnMove},
        {"1.9.2",               F::TiltAlertBoxes},             {"1.9.3",               F::AliveFramesShareWakeUp},
        {"Firmware : v2.3",     F::AliveFramesUncounted},       {"Firmware : v2.1",     F::AliveFramesUncounted},
        {"Firmware : v2.1.1",   F::ShortQuietTime},             {"Firmware : v2.1.2",   F::ShortQuietTime},
        {"\x1b[32mFirmware : v2.2\x1b[0m\r\nOK", F::ShockLog}};
    // clang-format on
    for (const auto &[answer, last] : rows) {
        const float release = Firmware::identify(answer, 0.0f);
        for (int f = int(F::None); f <= int(F::ShockLog); ++f) {
            const QByteArray what = answer + ": feature " + QByteArray::number(f);
            QVERIFY2(Firmware::opens(release, F(f)) == (f != int(F::None) && f <= int(last)), what.constData());
        }
    }
}

QTEST_APPLESS_MAIN(ReleasesTest)
#include "tst_releases.moc"
