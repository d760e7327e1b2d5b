#include "simfirmware.h"

#include <QList>
#include <QStringList>

namespace {

const QStringList &releases()
{
    static const QStringList list = {
        QStringLiteral("1.6"),   QStringLiteral("1.7"),   QStringLiteral("1.8"),   QStringLiteral("1.9"),
        QStringLiteral("1.9.1"), QStringLiteral("1.9.2"), QStringLiteral("1.9.3"), QStringLiteral("2.0"),
        QStringLiteral("2.1"),   QStringLiteral("2.1.1"), QStringLiteral("2.1.2"), QStringLiteral("2.2"),
    };
    return list;
}

int rankOf(const QString &release)
{
    const int index = releases().indexOf(release);
    return index < 0 ? releases().size() : index;
}

const QByteArray kLoraPrefix = QByteArrayLiteral("LORA SET ");

// Every parameter the device takes, with the values it accepts in the units
// of the wire: a value from `min` to `max`, or only one of `choices` (the
// accelerometer's sampling rates and ranges, on/off switches), or for a LoRa
// text 1 to `max` characters. A key newer than the oldest release names the
// release that introduced it. Anything else the device refuses with "NOK".
struct Setting
{
    const char *word;
    const char *key;
    qint64 min;
    qint64 max;
    const char *choices = nullptr; // blank-separated
    const char *since = nullptr;
    bool text = false;
};

constexpr const char *kSwitch = "0 1";
constexpr const char *kRates = "0 1 2 4 8 16 31 63 125 250 500"; // 0: 0.24 Hz

const Setting kSettings[] = {
    {"MPU", "maxRange", 2, 16, "2 4 8 16"},
    {"MPU", "orientation", 0, 1, kSwitch, "1.9.1"},
    {"ALGO", "enableEventLog", 0, 1, kSwitch, "2.2"},
    {"ALGO", "nbAliveFrameBeforeLog", 0, 255, nullptr, "2.2"},
    {"ALGO", "nbSecondBeforeStart", 0, 254, nullptr, "2.2"},
    {"ALGO", "buttonDelay", 0, 255, nullptr, "2.2"},
    {"ALGO", "alertPeriod", 60, 65535},
    {"ALGO", "poweroff", 0, 1, kSwitch},
    {"ALIVE", "modeRefresh", 0, 1, kSwitch},
    {"ALIVE", "period", 60000, 3600000000LL}, // ms
    {"ALIVE", "nbSavedValue", 1, 48},
    {"CHOC", "freq", 0, 500, kRates},
    {"CHOC", "gxSup", 50, 15999}, // mG
    {"CHOC", "gxInf", 50, 15999},
    {"CHOC", "gySup", 50, 15999},
    {"CHOC", "gyInf", 50, 15999},
    {"CHOC", "gzSup", 50, 15999},
    {"CHOC", "gzInf", 50, 15999},
    {"CHOC", "inhibition", 0, 65535},
    {"CHOC", "removeGravity", 0, 1, kSwitch},
    {"CHOC", "enableShockLog", 0, 1, kSwitch, "2.2"},
    {"CHOC", "nbAliveFrameBeforeShockLog", 0, 255, nullptr, "2.2"},
    {"MVT", "freq", 0, 500, kRates},
    {"MVT", "gxSup", 25, 15999},
    {"MVT", "gxInf", 25, 15999},
    {"MVT", "gySup", 25, 15999},
    {"MVT", "gyInf", 25, 15999},
    {"MVT", "gzSup", 25, 15999},
    {"MVT", "gzInf", 25, 15999},
    {"MVT", "timerX", 500, 86400000},
    {"MVT", "timerY", 500, 86400000},
    {"MVT", "sensitivity", 0, 32767},
    {"MVT", "loraAtStartMvt", 0, 1, kSwitch},
    {"MVT", "loraAtStopMvt", 0, 1, kSwitch},
    {"MVT", "activity", 0, 1, kSwitch},
    {"MVT", "additionateActivity", 0, 1, kSwitch},
    {"MVT", "periodicActivity", 0, 1, kSwitch},
    {"MVT", "activityResumePeriod", 1, 360},
    {"MVT", "tracking", 0, 1, kSwitch, "2.1.1"},
    {"MVT", "burstMode", 0, 4, nullptr, "2.1.1"},
    {"MVT", "motionNbBurst", 2, 4, nullptr, "2.1.1"},
    {"MVT", "stillnessNbBurst", 2, 4, nullptr, "2.1.1"},
    {"MVT", "frameNbBeforeNextBurst", 0, 255, nullptr, "2.1.1"},
    {"MVT", "motionPeriod", 10, 65535, nullptr, "2.1.1"},
    {"MVT", "stillnessPeriod", 10, 65535, nullptr, "2.1.1"},
    {"TEMP", "nbSavedValue", 1, 48},
    {"TEMP", "modeThreshold", 0, 1, kSwitch},
    {"TEMP", "max", -9999, 9999}, // hundredths of a degree
    {"TEMP", "min", -9999, 9999},
    {"TEMP", "delta", 0, 255},
    {"TEMP", "period", 1000, 21600000}, // ms
    {"TEMP", "fastPeriod", 250, 65535},
    {"TEMP", "ultraFastPeriod", 150, 65535},
    {"TEMP", "inhibition", 0, 255},
    {"TILT", "modeRefresh", 0, 1, kSwitch},
    {"TILT", "modeOnMove", 0, 1, kSwitch},
    {"TILT", "zoneDetection", 0, 1, kSwitch},
    {"TILT", "signedMeasure", 0, 1, kSwitch},
    {"TILT", "alertMultiple", 0, 1, kSwitch},
    {"TILT", "period", 500, 21600000},
    {"TILT", "threshold", 50, 1020},
    {"TILT", "inhibition", 1, 255},
    {"TILT", "pitch", 1, 90},
    {"TILT", "roll", 1, 180},
    {"ROTATION", "modeRefresh", 0, 1, kSwitch},
    {"ROTATION", "modeOnMove", 0, 1, kSwitch},
    {"ROTATION", "period", 5000, 65535},
    {"ROTATION", "threshold", 50, 15999},
    {"ROTATION", "lap", 1, 32767},
    {"ROTATION", "resetLap", 0, 1, kSwitch},
    {"ORIENT", "modeRefresh", 0, 1, kSwitch},
    {"ORIENT", "modeOnMove", 0, 1, kSwitch},
    {"ORIENT", "period", 1, 65535},
    {"ORIENT", "threshold", 50, 2000},
    {"ORIENT", "mesureLength", 3, 255},
    {"ORIENT", "pitch", -180, 180},
    {"ORIENT", "roll", -90, 90},
    {"ORIENT", "yaw", -180, 180},
    {"VIBE", "onX", 0, 1, kSwitch},
    {"VIBE", "onY", 0, 1, kSwitch},
    {"VIBE", "onZ", 0, 1, kSwitch},
    {"VIBE", "period", 10, 65535},
    {"VIBE", "amplitudeX", 100, 16000},
    {"VIBE", "amplitudeY", 100, 16000},
    {"VIBE", "amplitudeZ", 100, 16000},
    {"VIBE", "freqMin", 0, 400},
    {"VIBE", "freqMax", 100, 500},
    {"LORA SET", "OTAA", 0, 1, kSwitch},
    {"LORA SET", "ACK", 0, 1, kSwitch},
    {"LORA SET", "ADR", 0, 1, kSwitch},
    {"LORA SET", "PUBLICNETWORK", 0, 1, kSwitch},
    {"LORA SET", "DEFAULT_DR", 0, 5, nullptr, "1.9.1"},
    {"LORA SET", "JRERROR", 0, 240}, // hours
    {"LORA SET", "DEVEUI", 1, 16, nullptr, nullptr, true},
    {"LORA SET", "APPEUI", 1, 16, nullptr, nullptr, true},
    {"LORA SET", "APPKEY", 1, 32, nullptr, nullptr, true},
    {"LORA SET", "APPSKEY", 1, 32, nullptr, nullptr, true},
    {"LORA SET", "NWKSKEY", 1, 32, nullptr, nullptr, true},
    {"LORA SET", "NWKID", 1, 16, nullptr, nullptr, true},
    {"LORA SET", "DEVADDR", 1, 16, nullptr, nullptr, true},
};

bool isInteger(const QByteArray &text)
{
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

SimReply reply(const char *status, const QByteArray &content = QByteArray())
{
    SimReply r;
    r.status = status;
    r.content = content;
    return r;
}

} // namespace

QByteArray SimReply::wire() const
{
    if (status.isEmpty() && content.isEmpty())
        return QByteArray();
    return content + status + SimFirmware::trailer();
}

const QByteArray &SimFirmware::trailer()
{
    static const QByteArray bytes = QByteArrayLiteral("\r\n>");
    return bytes;
}

QMap<QByteArray, QByteArray> SimFirmware::factoryParameters()
{
    // The values a device leaves the factory with, in the units of the wire:
    // the same figures the configurator's form starts with.
    return {
        {"MPU maxRange", "16"},
        {"MPU orientation", "0"},
        {"ALGO", "0x1"},
        {"ALGO enableEventLog", "1"},
        {"ALGO nbAliveFrameBeforeLog", "120"},
        {"ALGO nbSecondBeforeStart", "0"},
        {"ALGO buttonDelay", "0"},
        {"ALGO alertPeriod", "600"},
        {"ALGO poweroff", "1"},
        {"ALIVE modeRefresh", "1"},
        {"ALIVE period", "7200000"},
        {"ALIVE nbSavedValue", "1"},
        {"CHOC freq", "16"},
        {"CHOC gxSup", "5000"},
        {"CHOC gxInf", "5000"},
        {"CHOC gySup", "5000"},
        {"CHOC gyInf", "5000"},
        {"CHOC gzSup", "5000"},
        {"CHOC gzInf", "5000"},
        {"CHOC inhibition", "150"},
        {"CHOC removeGravity", "0"},
        {"CHOC enableShockLog", "1"},
        {"CHOC nbAliveFrameBeforeShockLog", "36"},
        {"MVT freq", "16"},
        {"MVT gxSup", "300"},
        {"MVT gxInf", "300"},
        {"MVT gySup", "300"},
        {"MVT gyInf", "300"},
        {"MVT gzSup", "300"},
        {"MVT gzInf", "300"},
        {"MVT timerX", "2000"},
        {"MVT timerY", "3000"},
        {"MVT sensitivity", "10"},
        {"MVT loraAtStartMvt", "0"},
        {"MVT loraAtStopMvt", "0"},
        {"MVT activity", "0"},
        {"MVT additionateActivity", "0"},
        {"MVT periodicActivity", "0"},
        {"MVT activityResumePeriod", "1"},
        {"MVT tracking", "0"},
        {"MVT burstMode", "2"},
        {"MVT motionNbBurst", "2"},
        {"MVT stillnessNbBurst", "3"},
        {"MVT frameNbBeforeNextBurst", "10"},
        {"MVT motionPeriod", "600"},
        {"MVT stillnessPeriod", "7200"},
        {"TEMP nbSavedValue", "12"},
        {"TEMP modeThreshold", "1"},
        {"TEMP max", "2500"},
        {"TEMP min", "2000"},
        {"TEMP delta", "100"},
        {"TEMP period", "30000"},
        {"TEMP fastPeriod", "5000"},
        {"TEMP ultraFastPeriod", "2000"},
        {"TEMP inhibition", "5"},
        {"TILT modeRefresh", "1"},
        {"TILT modeOnMove", "1"},
        {"TILT zoneDetection", "0"},
        {"TILT signedMeasure", "0"},
        {"TILT alertMultiple", "0"},
        {"TILT period", "2000"},
        {"TILT threshold", "200"},
        {"TILT inhibition", "5"},
        {"TILT pitch", "45"},
        {"TILT roll", "90"},
        {"ROTATION modeRefresh", "1"},
        {"ROTATION modeOnMove", "1"},
        {"ROTATION period", "5000"},
        {"ROTATION threshold", "200"},
        {"ROTATION lap", "5"},
        {"ROTATION resetLap", "1"},
        {"ORIENT modeRefresh", "1"},
        {"ORIENT modeOnMove", "1"},
        {"ORIENT period", "30"},
        {"ORIENT threshold", "800"},
        {"ORIENT mesureLength", "5"},
        {"ORIENT pitch", "90"},
        {"ORIENT roll", "-45"},
        {"ORIENT yaw", "90"},
        {"VIBE onX", "1"},
        {"VIBE onY", "1"},
        {"VIBE onZ", "1"},
        {"VIBE period", "60"},
        {"VIBE amplitudeX", "1000"},
        {"VIBE amplitudeY", "1000"},
        {"VIBE amplitudeZ", "1000"},
        {"VIBE freqMin", "0"},
        {"VIBE freqMax", "500"},
        // The DevEUI is the device's identity and the AppKey its own secret:
        // neither is ever zero on a device out of the factory.
        {"LORA SET DEVEUI", "70B3D57ED005A1C4"},
        {"LORA SET APPEUI", "0000000000000000"},
        {"LORA SET APPKEY", "2B7E151628AED2A6ABF7158809CF4F3C"},
        {"LORA SET NWKSKEY", "00000000000000000000000000000000"},
        {"LORA SET APPSKEY", "00000000000000000000000000000000"},
        {"LORA SET DEVADDR", "00000000"},
        {"LORA SET NWKID", "000000"},
        {"LORA SET OTAA", "1"},
        {"LORA SET ACK", "0"},
        {"LORA SET ADR", "0"},
        {"LORA SET PUBLICNETWORK", "1"},
        {"LORA SET DEFAULT_DR", "0"},
        {"LORA SET JRERROR", "12"},
    };
}

SimFirmware::SimFirmware() : saved(factoryParameters())
{
    setRelease(QStringLiteral("2.2"));
}

void SimFirmware::setRelease(const QString &release)
{
    m_release = release;
    m_rank = rankOf(release);
}

bool SimFirmware::isKnownRelease(const QString &release)
{
    return releases().contains(release);
}

bool SimFirmware::atLeast(const char *release) const
{
    return m_rank >= rankOf(QString::fromLatin1(release));
}

bool SimFirmware::accepts(const QByteArray &word, const QByteArray &key, const QByteArray &value) const
{
    for (const Setting &setting : kSettings) {
        if (word != setting.word || key != setting.key)
            continue;
        if (setting.since && !atLeast(setting.since))
            return false;
        if (setting.text)
            return value.size() >= setting.min && value.size() <= setting.max;
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (!ok || number < setting.min || number > setting.max)
            return false;
        return !setting.choices || QByteArray(setting.choices).split(' ').contains(QByteArray::number(number));
    }
    return false;
}

qint64 SimFirmware::savedNumber(const char *key) const
{
    const QByteArray text = saved.value(key).trimmed();
    bool ok = false;
    const qint64 number = text.startsWith("0x") ? text.mid(2).toLongLong(&ok, 16) : text.toLongLong(&ok);
    return ok ? number : 0;
}

void SimFirmware::restart()
{
    pending.clear();
    debugOn = false;
    ledOn = false;
}

void SimFirmware::resetGroup(bool lora, bool algo)
{
    const QMap<QByteArray, QByteArray> factory = factoryParameters();
    for (auto it = factory.cbegin(); it != factory.cend(); ++it) {
        const bool isLora = it.key().startsWith(kLoraPrefix);
        if ((isLora && lora) || (!isLora && algo))
            saved.insert(it.key(), it.value());
    }
    for (auto it = pending.begin(); it != pending.end();) {
        const bool isLora = it.key().startsWith(kLoraPrefix);
        it = ((isLora && lora) || (!isLora && algo)) ? pending.erase(it) : std::next(it);
    }
}

void SimFirmware::commit(bool lora, bool algo)
{
    for (auto it = pending.begin(); it != pending.end();) {
        const bool isLora = it.key().startsWith(kLoraPrefix);
        if ((isLora && lora) || (!isLora && algo)) {
            saved.insert(it.key(), it.value());
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
}

SimReply SimFirmware::handle(const QByteArray &line, bool apply)
{
    if (line == "READY" || line == "DISCONNECTE")
        return reply("OK");
    if (line == "VERSION")
        return reply("OK", versionContent());
    if (line == "reset") {
        SimReply r = reply("OK");
        r.action = SimReply::Action::Restart;
        return r;
    }

    // "LORA SET KEY text": the text runs to the end of the line, blanks included.
    if (line.startsWith(kLoraPrefix)) {
        const QByteArray rest = line.mid(kLoraPrefix.size());
        const int blank = rest.indexOf(' ');
        const QByteArray key = rest.left(blank);
        const QByteArray value = blank < 0 ? QByteArray() : rest.mid(blank + 1);
        if (blank <= 0 || !accepts("LORA SET", key, value))
            return reply("NOK");
        if (apply)
            pending.insert(kLoraPrefix + key, value);
        return reply("OK");
    }

    const QList<QByteArray> words = line.simplified().split(' ');
    const QByteArray first = words.value(0);
    const auto startsWith = [&words](std::initializer_list<const char *> expected) {
        int i = 0;
        for (const char *word : expected)
            if (words.value(i++) != word)
                return false;
        return true;
    };

    if (first == "DEBUG" && words.size() == 2) {
        const QByteArray what = words.at(1);
        if (what != "1" && what != "0" && what != "LEDON" && what != "LEDOFF")
            return reply("NOK");
        if (apply) {
            if (what == "1" || what == "0")
                debugOn = what == "1";
            else
                ledOn = what == "LEDON";
        }
        return reply("OK");
    }
    if (startsWith({"LORA", "GET"}))
        return reply("OK", loraContent());
    if (startsWith({"DUMP", "RAM", "PARAM"})) {
        // The dump is part of the debug output: without it the device refuses.
        if (!debugOn)
            return reply("NOK");
        return reply("OK", dumpContent());
    }
    if (startsWith({"BATTERY", "GET", "LIFE"}))
        return reply("OK", "Battery: " + QByteArray::number(batteryPercent) + "%\r\n");
    if (first == "RESETPARAM") {
        const QByteArray what = words.value(1);
        const bool both = what == "1";
        const bool split = (what == "LORA" || what == "ALGO") && atLeast("1.9.1");
        if (!both && !split)
            return reply("NOK");
        if (apply)
            resetGroup(both || what == "LORA", both || what == "ALGO");
        return reply("OK");
    }
    if (first == "SAVEPARAM") {
        const QByteArray what = words.value(1);
        const bool both = what.isEmpty() || isInteger(what);
        if (!both && what != "ALGO" && what != "LORA")
            return reply("NOK");
        if (apply)
            commit(both || what == "LORA", both || what == "ALGO");
        return reply("OK");
    }
    if (first == "poweroff") {
        SimReply r; // switches off before it could answer
        r.action = SimReply::Action::PowerOff;
        return r;
    }
    if (first == "ALGO" && words.size() == 2 && words.at(1).startsWith("0x")) {
        bool ok = false;
        const uint mask = words.at(1).mid(2).toUInt(&ok, 16);
        if (!ok || mask > 0x1ff)
            return reply("NOK");
        if (apply)
            pending.insert("ALGO", words.at(1));
        return reply("OK");
    }
    if (words.size() == 3 && accepts(first, words.at(1), words.at(2))) {
        if (apply)
            pending.insert(first + ' ' + words.at(1), words.at(2));
        return reply("OK");
    }
    return reply("NOK");
}

QByteArray SimFirmware::versionContent() const
{
    // Green, as the firmware prints it; the text holds no other figure that
    // could be taken for a release.
    return "\x1b[32mFirmware : v" + m_release.toUtf8() + "\x1b[0m\r\n";
}

QByteArray SimFirmware::loraContent() const
{
    const auto value = [this](const char *key) {
        return saved.value(QByteArray("LORA SET ") + key);
    };
    const auto flag = [&value](const char *key) {
        return value(key).trimmed() == "1";
    };
    QByteArray out;
    out += QByteArray("ACK is ") + (flag("ACK") ? "enabled" : "disabled") + "\r\n";
    out += QByteArray("ADR is ") + (flag("ADR") ? "enabled" : "disabled") + "\r\n";
    out += QByteArray("Network is ") + (value("PUBLICNETWORK").trimmed() == "0" ? "PRIVATE" : "PUBLIC") + "\r\n";
    out += QByteArray("Mode : ") + (value("OTAA").trimmed() == "0" ? "ABP" : "OTAA") + "\r\n";
    out += "DevEui : " + value("DEVEUI") + "\r\n";
    out += "AppEui : " + value("APPEUI") + "\r\n";
    out += "AppKey : " + value("APPKEY") + "\r\n";
    out += "NwkSKey : " + value("NWKSKEY") + "\r\n";
    out += "AppSKey : " + value("APPSKEY") + "\r\n";
    out += "DevAddr : " + value("DEVADDR") + "\r\n";
    out += "NwkID : " + value("NWKID") + "\r\n";
    if (atLeast("1.9.1"))
        out += "Default_DR : " + value("DEFAULT_DR") + "\r\n";
    if (atLeast("1.9"))
        out += "JoinRequestError Timeout : " + value("JRERROR") + "h\r\n";
    return out;
}

QByteArray SimFirmware::dumpContent() const
{
    QByteArray out;
    const auto line = [&out](const QByteArray &text) {
        out += text + "\r\n" + '\0';
    };
    const auto item = [this, &line](const char *label, const char *key) {
        line(QByteArray(label) + " : " + QByteArray::number(savedNumber(key)));
    };
    const auto on = [this](const char *key) {
        return savedNumber(key) != 0;
    };
    const qint64 mask = savedNumber("ALGO");
    const auto enabled = [&line, mask](qint64 bit, const char *name) {
        if (mask & bit)
            line(QByteArray("Algorithm ") + name + " enable.");
    };

    line("------- COMMON -------");
    if (atLeast("1.9.1"))
        item("pelko_orientation", "MPU orientation");
    item("alert_repeat_period_s", "ALGO alertPeriod");
    if (atLeast("2.2")) {
        item("enableEventLog", "ALGO enableEventLog");
        item("nbAliveFrameBeforeLog", "ALGO nbAliveFrameBeforeLog");
        item("nbSecondBeforeStart", "ALGO nbSecondBeforeStart");
        item("buttonDelay", "ALGO buttonDelay");
    }
    if (atLeast("2.0") && on("ALGO poweroff"))
        line("Poweroff : allowed");

    line("------- MPU -------");
    item("maxRange", "MPU maxRange");

    line("------- ALIVE -------");
    enabled(1, "ALIVE");
    item("modeRefresh", "ALIVE modeRefresh");
    item("nbSavedValue", "ALIVE nbSavedValue");
    item("period", "ALIVE period");

    line("------- CHOC -------");
    enabled(4, "CHOC");
    item("freq", "CHOC freq");
    item("gxSup", "CHOC gxSup");
    item("gxInf", "CHOC gxInf");
    item("gySup", "CHOC gySup");
    item("gyInf", "CHOC gyInf");
    item("gzSup", "CHOC gzSup");
    item("gzInf", "CHOC gzInf");
    item("removeGravity", "CHOC removeGravity");
    item("inhibition", "CHOC inhibition");
    // Devices configured by other programs may say so beside a duration.
    if (on("CHOC inhibitionDisabled"))
        line("inhibition disabled");
    if (atLeast("2.2")) {
        item("enableShockLog", "CHOC enableShockLog");
        item("nbAliveFrameBeforeShockLog", "CHOC nbAliveFrameBeforeShockLog");
    }

    line("------- MVT -------");
    enabled(32, "MOVEMENT");
    item("freq", "MVT freq");
    item("sensitivity", "MVT sensitivity");
    item("timerX", "MVT timerX");
    item("timerY", "MVT timerY");
    item("gxSup", "MVT gxSup");
    item("gxInf", "MVT gxInf");
    item("gySup", "MVT gySup");
    item("gyInf", "MVT gyInf");
    item("gzSup", "MVT gzSup");
    item("gzInf", "MVT gzInf");
    item("activity", "MVT activity");
    item("additionateActivity", "MVT additionateActivity");
    item("periodicActivity", "MVT periodicActivity");
    item("activityResumePeriod", "MVT activityResumePeriod");
    if (atLeast("2.1.1")) {
        item("tracking", "MVT tracking");
        item("burstMode", "MVT burstMode");
        item("motionNbBurst", "MVT motionNbBurst");
        item("stillnessNbBurst", "MVT stillnessNbBurst");
        item("frameNbBeforeNextBurst", "MVT frameNbBeforeNextBurst");
        item("motionPeriod", "MVT motionPeriod");
        item("stillnessPeriod", "MVT stillnessPeriod");
    }
    item("loraAtStartMvt", "MVT loraAtStartMvt");
    item("loraAtStopMvt", "MVT loraAtStopMvt");

    line("------- TEMP -------");
    enabled(2, "TEMPERATURE");
    item("nbSavedValue", "TEMP nbSavedValue");
    // Bit value 2 is the threshold mode; bit value 1 (measures kept) is always on.
    line("modeThreshold : " + QByteArray::number(on("TEMP modeThreshold") ? 3 : 1));
    item("max", "TEMP max");
    item("min", "TEMP min");
    item("delta", "TEMP delta");
    item("period", "TEMP period");
    item("fastPeriod", "TEMP fastPeriod");
    item("ultraFastPeriod", "TEMP ultraFastPeriod");
    item("inhibition", "TEMP inhibition");

    line("------- TILT -------");
    enabled(8, "TILT");
    const qint64 tiltMode = (on("TILT modeRefresh") ? 1 : 0) | (on("TILT modeOnMove") ? 2 : 0) |
                            (on("TILT alertMultiple") ? 8 : 0) | (on("TILT zoneDetection") ? 16 : 0) |
                            (on("TILT signedMeasure") ? 32 : 0);
    line("mode : " + QByteArray::number(tiltMode));
    item("pitch", "TILT pitch");
    item("roll", "TILT roll");
    item("threshold", "TILT threshold");
    item("inhibition", "TILT inhibition");
    // Earlier programs could leave TILT a repeat period of its own; no
    // command of this release sets one.
    const char *tiltPeriod = saved.contains("TILT alertPeriod") ? "TILT alertPeriod" : "ALGO alertPeriod";
    if (on("TILT alertMultiple"))
        line("alert : multiple (period : " + QByteArray::number(savedNumber(tiltPeriod)) + "s)");
    item("period", "TILT period");

    line("------- ROTATION -------");
    enabled(128, "ROTATION");
    item("lap", "ROTATION lap");
    line("mode : " + QByteArray::number((on("ROTATION modeRefresh") ? 1 : 0) | (on("ROTATION modeOnMove") ? 2 : 0)));
    item("threshold", "ROTATION threshold");
    item("period", "ROTATION period");
    item("resetLap", "ROTATION resetLap");

    line("------- ORIENTATION -------");
    enabled(16, "ORIENT");
    line("mode : " + QByteArray::number((on("ORIENT modeRefresh") ? 1 : 0) | (on("ORIENT modeOnMove") ? 2 : 0)));
    item("period", "ORIENT period");
    item("threshold", "ORIENT threshold");
    item("mesureLenght", "ORIENT mesureLength");
    item("pitch", "ORIENT pitch");
    item("roll", "ORIENT roll");
    item("yaw", "ORIENT yaw");

    line("------- VIBRATION -------");
    item("Axe X", "VIBE onX");
    item("Axe Y", "VIBE onY");
    item("Axe Z", "VIBE onZ");
    item("period", "VIBE period");
    item("amplitude_threshold_x", "VIBE amplitudeX");
    item("amplitude_threshold_y", "VIBE amplitudeY");
    item("amplitude_threshold_z", "VIBE amplitudeZ");
    item("freq_max", "VIBE freqMax");
    item("freq_min", "VIBE freqMin");

    line("------- -------- -------");
    return out;
}
