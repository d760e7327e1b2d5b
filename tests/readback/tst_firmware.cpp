#include "readback/firmware.h"

#include <QtTest>

#include <tuple>

class FirmwareTest : public QObject
{
    Q_OBJECT

private slots:
    void theLastNamedReleaseWins();
    void gatesLetThroughTheReleasesTheyName();
};

void FirmwareTest::theLastNamedReleaseWins()
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

void FirmwareTest::gatesLetThroughTheReleasesTheyName()
{
    using namespace Firmware;
    // The single-precision releases sit just below the decimals of the same
    // digits: 1.9 fails "above 1.9", 2.1 fails "above 2.1", 2.12 fails "above 2.12".
    // Each gate: the last release it holds back, the first it lets through;
    // 0 (not yet identified) passes none.
    const std::tuple<const char *, bool (*)(float), float, float> rows[] = {
        {"1.9", from1_9, 1.8f, 1.9f},       {"1.9.1", from1_9_1, 1.9f, 1.91f}, {"1.9.2", from1_9_2, 1.91f, 1.92f},
        {"1.9.3", from1_9_3, 1.92f, 1.93f}, {"2.0", from2_0, 1.93f, 2.0f},     {"2.1.1", from2_1_1, 2.1f, 2.11f},
        {"2.2", from2_2, 2.12f, 2.2f}};
    for (const auto &[gate, opens, below, from] : rows)
        QVERIFY2(!opens(0.0f) && !opens(below) && opens(from), gate);
    QVERIFY(!from2_2(2.11f));
}

QTEST_APPLESS_MAIN(FirmwareTest)
#include "tst_firmware.moc"
