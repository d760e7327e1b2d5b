#include "calc/configurationday.h"

#include <QtTest>

namespace {

// A configuration as the lines of an upload carry it: "CMD key" -> the value
// of its last line, in the device's units; the ALIVE block's own modeRefresh
// (before VIBRATION's block sends its 0) as "ALIVE box".
using Wire = QMap<QString, int>;

QVector<Wire> goldenStates()
{
    QFile file(QStringLiteral(PELKO_TEST_DATA_DIR "/../upload/upload_transcripts.txt"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no upload transcripts");
    QVector<Wire> states;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith("### ")) {
            states << Wire();
        } else if (line.startsWith("> ")) {
            const QString key = line.mid(2).section(' ', 0, -2);
            const int value = line.section(' ', -1).toInt(nullptr, 0); // the mask in hexadecimal
            if (key == "ALIVE modeRefresh" && !states.last().contains("ALIVE box"))
                states.last()["ALIVE box"] = value;
            states.last()[key] = value;
        }
    }
    return states;
}

// The form's values for it, in the units the form shows them.
QVariantMap formOf(const Wire &w)
{
    using Pairs = std::initializer_list<std::pair<const char *, const char *>>;
    QVariantMap form{{"xAlivePeriod", w["ALIVE period"] / 1000}};
    for (const auto &[box, bit] : std::initializer_list<std::pair<const char *, int>>{
             {"cbChoc", 4}, {"cbMvt", 32}, {"cbTilt", 8}, {"cbVibe", 256}})
        form[box] = (w["ALGO"] & bit) != 0;
    for (const auto &[box, key] : Pairs{{"cbAliveRefreshMode", "ALIVE box"},
                                        {"cbTiltModeRefresh", "TILT modeRefresh"},
                                        {"cbVibeOnX", "VIBE onX"},
                                        {"cbVibeOnY", "VIBE onY"},
                                        {"cbVibeOnZ", "VIBE onZ"}})
        form[box] = w[key] == 1;
    for (const auto &[combo, key] : Pairs{{"cboChocFreq", "CHOC freq"}, {"cboMvtFreq", "MVT freq"}})
        form[combo] = w[key] == 0 ? QString("0,24") : QString::number(w[key]);
    for (const auto &[field, key] : Pairs{{"xTiltPeriod", "TILT period"},
                                          {"xVibrationPeriod", "VIBE period"},
                                          {"xLoRaDefaultDR", "LORA SET DEFAULT_DR"}})
        if (w.contains(key))
            form[field] = w[key];
    return form;
}

} // namespace

class ConfigurationDayTest : public QObject
{
    Q_OBJECT

private slots:
    void theFormFillsWhatItDecidesInTheCalculatorsUnitsAndLeavesTheRestToTheUser();
};

void ConfigurationDayTest::theFormFillsWhatItDecidesInTheCalculatorsUnitsAndLeavesTheRestToTheUser()
{
    const QVector<Wire> golden = goldenStates();
    QCOMPARE(golden.size(), 20);
    const quint32 seed =
        qEnvironmentVariableIsSet("PELKO_CALCDAY_SEED") ? qEnvironmentVariableIntValue("PELKO_CALCDAY_SEED") : 37;
    QRandomGenerator random(seed);
    const int rates[] = {0, 1, 2, 4, 8, 16, 31, 63, 125, 250, 500};
    for (int n = 0; n < 36; ++n) {
        // A golden state, half of whose settings are drawn again within their ranges.
        Wire w = golden[random.bounded(golden.size())];
        // Drawn in the form's units (`scale` of them to the device's), kept within the form's range.
        const auto redraw = [&](const char *key, int low, int high, int scale = 1) {
            const int drawn = low + int(random.bounded(quint32(high - low + 1)));
            w[key] = (random.bounded(2) ? drawn : qBound(low, w[key] / scale, high)) * scale;
        };
        for (const char *key : {"ALIVE box", "TILT modeRefresh", "VIBE onX", "VIBE onY", "VIBE onZ"})
            redraw(key, 0, 1);
        redraw("ALGO", 0, 511);
        redraw("ALIVE period", 60, 2147483, 1000); // what the upload's milliseconds hold
        redraw("TILT period", 500, 21600000);
        redraw("VIBE period", 10, 65535);
        for (const char *key : {"CHOC freq", "MVT freq"})
            w[key] = random.bounded(2) ? rates[random.bounded(11)] : w[key];
        ConsumptionInputs user;
        for (int ConsumptionInputs::*input :
             {&ConsumptionInputs::aliveManual, &ConsumptionInputs::shocks, &ConsumptionInputs::fastMotions,
              &ConsumptionInputs::slowMotions, &ConsumptionInputs::summaries, &ConsumptionInputs::vibrationSends})
            user.*input = random.bounded(100);
        user.capacity = 1600 + 100 * random.bounded(17), user.vibrationPeriod = 10 + random.bounded(100);
        user.spreadingFactor = 7 + random.bounded(6);

        const ConsumptionInputs in = ConfigurationDay::fromForm(formOf(w), user).inputs;
        ConsumptionInputs expected = user;
        const int mask = w["ALGO"];
        // The device ends with the last "ALIVE modeRefresh" of the upload.
        expected.aliveAuto = w["ALIVE box"] == 1 && !(mask & 256) ? qRound(86400000.0 / w["ALIVE period"]) : 0;
        const auto hz = [&](int bit, const char *key, int eight) {
            return mask & bit && w[key] ? QString::number(w[key] == 8 ? eight : w[key]) : QString("0,24");
        };
        expected.shockFrequency = hz(4, "CHOC freq", 7); // the calculator's SHOCK list names its 8 Hz item "7"
        expected.motionFrequency = hz(32, "MVT freq", 8);
        expected.tiltPeriodMs = mask & 8 && w["TILT modeRefresh"] == 1 ? qMin(w["TILT period"], 360000) : 0;
        expected.threeAxes = mask & 256 && (w["VIBE onX"] || w["VIBE onY"] || w["VIBE onZ"]);
        if (expected.threeAxes)
            expected.vibrationPeriod = w["VIBE period"];
        if (w.contains("LORA SET DEFAULT_DR"))
            expected.spreadingFactor = 12 - w["LORA SET DEFAULT_DR"];
        QVERIFY2(in == expected, qPrintable(QString("case %1 of seed %2 (PELKO_CALCDAY_SEED)").arg(n).arg(seed)));
    }
}

QTEST_APPLESS_MAIN(ConfigurationDayTest)
#include "tst_configurationday.moc"
