#include "configfile.h"

#include "firmware/releases.h"
#include "logic/formrules.h"
#include "readback/lorafields.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace ConfigFile {

const char *const kFormatName = "Pelko configuration";
const char *const kProgramVersion = "2.4.4";

namespace {

// The device's identity and keys belong to one device, never to a file
// meant for many.
const char *const kPrivateLoRaKeys[] = {"DEVEUI", "APPKEY", "APPSKEY", "NWKSKEY", "DEVADDR"};

QString groupOf(const char *command)
{
    return QLatin1String(Model::groupOfCommand(command));
}

bool isGroup(const QString &name)
{
    return Model::isGroupName(name.toLatin1().constData());
}

bool isPrivate(const Upload::Step &step)
{
    if (qstrcmp(step.cmd, "LORA SET") != 0)
        return false;
    for (const char *key : kPrivateLoRaKeys)
        if (qstrcmp(step.key, key) == 0)
            return true;
    return false;
}

QVector<Entry> entriesOfCatalogue()
{
    QVector<Entry> all;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const Upload::Step &step = Upload::kCatalogue[i];
        if (!step.isCommand() || !step.cmd || !step.widget || (step.flags & Upload::ReadBackOnly) || isPrivate(step))
            continue;
        const QString group = groupOf(step.cmd);
        const QString key = QLatin1String(step.key);
        // The second button of a LoRa pair sends the same key: one setting.
        if (!all.isEmpty() && all.last().group == group && all.last().key == key) {
            all.last().partner = step.widget;
            continue;
        }
        all.append({group, key, step.widget, nullptr, step.kind, step.gate});
    }
    return all;
}

bool isNumber(Upload::Kind kind)
{
    return kind != Upload::Kind::Checked && kind != Upload::Kind::FixedText && kind != Upload::Kind::Text;
}

bool isWhole(Upload::Kind kind)
{
    return kind != Upload::Kind::Hundredths && kind != Upload::Kind::Frequency;
}

// "0,24" and 0.24 are the same item.
double itemNumber(const QString &item)
{
    QString text = item;
    return text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

// The file's value for what the form shows.
QJsonValue fileValue(const Entry &entry, const QVariant &shown)
{
    switch (entry.kind) {
    case Upload::Kind::Checked:
    case Upload::Kind::FixedText:
        return shown.toBool();
    case Upload::Kind::Text:
        return shown.toString();
    case Upload::Kind::Hundredths:
        return std::round(shown.toDouble() * 100.0) / 100.0;
    case Upload::Kind::Range:
        return Upload::rangeFromSlider(shown.toInt());
    case Upload::Kind::Item:
    case Upload::Kind::BurstCount:
    case Upload::Kind::Frequency: {
        const double number = itemNumber(shown.toString());
        return number == std::floor(number) ? QJsonValue(int(number)) : QJsonValue(number);
    }
    default:
        return shown.toInt();
    }
}

bool isHex(const QString &text)
{
    for (const QChar c : text)
        if (!(c.isDigit() && c.unicode() < 0x80) && !QStringLiteral("abcdefABCDEF").contains(c))
            return false;
    return true;
}

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

// Fields the form keeps closed until a release opens them: a file may set
// them, but Start sends them only to that release and the later ones.
struct ClosedField
{
    const char *widget;
    Firmware::Feature opensWith;
};
const ClosedField kClosedUntilRelease[] = {
    {"cbTiltModeAlertMultiple", Firmware::Feature::TiltAlertBoxes},
    {"cbTiltModeAlertZone", Firmware::Feature::TiltAlertBoxes},
    {"cbTiltModeSignedMeasure", Firmware::Feature::SignedTiltMeasure},
    {"cbAllowPowerOFF", Firmware::Feature::PowerOffBox},
    {"xAlgoPeriod", Firmware::Feature::CommonAlertPeriod},
};

bool closedFor(const Entry &entry, float version)
{
    for (const ClosedField &field : kClosedUntilRelease)
        if (qstrcmp(field.widget, entry.widget) == 0)
            return !Firmware::opens(version, field.opensWith);
    return false;
}

// What follows a number of the file: the field's own unit, or the g and Hz
// its range and frequency lists mean.
QString unitOf(const Entry &entry, const Limits &limits)
{
    if (entry.kind == Upload::Kind::Range)
        return QStringLiteral(" g");
    if (entry.kind == Upload::Kind::Frequency)
        return QStringLiteral(" Hz");
    const auto found = limits.constFind(QLatin1String(entry.widget));
    return found != limits.constEnd() ? found.value().unit : QString();
}

// A value as the file holds it, with its unit: what a reader compares.
QString fileText(const Entry &entry, const QJsonValue &value, const Limits &limits)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isString())
        return QLatin1Char('"') + printable(value.toString()) + QLatin1Char('"');
    const double v =
        entry.kind == Upload::Kind::Hundredths ? std::round(value.toDouble() * 100.0) / 100.0 : value.toDouble();
    return number(v) + unitOf(entry, limits);
}

class Checker
{
public:
    Checker(const Limits &limits, float version, Reading &out) : m_limits(limits), m_version(version), m_out(out) {}

    void setting(const Entry &entry, const QJsonValue &value)
    {
        const QString name = entry.group + QLatin1Char('.') + entry.key;
        // A setting the release lacks is left out, not a fault of the file.
        if (!Upload::gatePasses(entry.gate, m_version)) {
            m_out.leftOut << name;
            return;
        }
        const auto found = m_limits.constFind(QLatin1String(entry.widget));
        const Limit *limit = found != m_limits.constEnd() ? &found.value() : nullptr;
        QVariant shown;
        if (entry.kind == Upload::Kind::Text) {
            if (!value.isString())
                return problem(QStringLiteral("%1: a text is expected.").arg(name));
            // An identifier the device reports back is hexadecimal, of the
            // length it reports: nothing else is of use to it. An empty one
            // is not sent.
            const QString text = value.toString();
            const int length = LoRaFields::reportedLength(QByteArray(entry.key.toLatin1()));
            if (!isHex(text) || (!text.isEmpty() && text.size() != length))
                return problem(
                    QStringLiteral("%1: \"%2\" is not %3 hexadecimal digits.").arg(name, printable(text)).arg(length));
            shown = text;
        } else if (!isNumber(entry.kind)) {
            if (!value.isBool())
                return problem(QStringLiteral("%1: true or false is expected.").arg(name));
            shown = value.toBool();
        } else {
            if (!value.isDouble())
                return problem(QStringLiteral("%1: a number is expected.").arg(name));
            const double v = value.toDouble();
            // Nothing a field holds comes near the device's 32-bit range.
            if (std::abs(v) > std::numeric_limits<int>::max() / 2.0)
                return problem(QStringLiteral("%1: %2 is out of range.").arg(name, number(v)));
            if (isWhole(entry.kind) && v != std::floor(v))
                return problem(QStringLiteral("%1: %2 is not a whole number.").arg(name, number(v)));
            shown = shownValue(entry, name, v, limit);
            if (!shown.isValid())
                return;
        }
        m_out.values.insert(QLatin1String(entry.widget), shown);
        if (entry.partner)
            m_out.values.insert(QLatin1String(entry.partner), !shown.toBool());
        if (closedFor(entry, m_version))
            m_closed.append({name, QLatin1String(entry.widget), fileText(entry, value, m_limits)});
    }

    void problem(const QString &text) { m_out.problems << text; }

    // The settings the form would show as the file holds them, but Start
    // would not send: those that change what the form shows.
    void closedFields(const FormValues &base)
    {
        for (const Closed &closed : m_closed)
            if (m_out.values.value(closed.widget) != base.value(closed.widget))
                m_out.takenDifferently << QStringLiteral("%1: Start does not send the file's %2 to firmware %3, "
                                                         "the device keeps its own")
                                              .arg(closed.name, closed.text, Firmware::releaseName(m_version));
    }

private:
    // What the widget is to show for the file's number, or nothing (a problem) when it cannot.
    QVariant shownValue(const Entry &entry, const QString &name, double v, const Limit *limit)
    {
        if (entry.kind == Upload::Kind::Range) {
            QStringList allowed;
            for (int p = limit ? int(limit->minimum) : 1; p <= (limit ? int(limit->maximum) : 4); ++p) {
                allowed << QString::number(Upload::rangeFromSlider(p));
                if (Upload::rangeFromSlider(p) == v)
                    return p;
            }
            problem(QStringLiteral("%1: %2 is not one of %3.").arg(name, number(v), allowed.join(QLatin1String(", "))));
            return QVariant();
        }
        if (entry.kind == Upload::Kind::Item || entry.kind == Upload::Kind::BurstCount ||
            entry.kind == Upload::Kind::Frequency) {
            if (!limit)
                return number(v);
            QStringList allowed;
            for (const QString &item : limit->items) {
                allowed << number(itemNumber(item));
                if (itemNumber(item) == v)
                    return item;
            }
            problem(QStringLiteral("%1: %2 is not one of %3.").arg(name, number(v), allowed.join(QLatin1String(", "))));
            return QVariant();
        }
        if (limit && (v < limit->minimum || v > limit->maximum)) {
            problem(QStringLiteral("%1: %2 is out of range (%3 to %4).")
                        .arg(name, number(v), number(limit->minimum), number(limit->maximum)));
            return QVariant();
        }
        if (entry.kind == Upload::Kind::Hundredths)
            return std::round(v * 100.0) / 100.0;
        return int(v);
    }

    struct Closed
    {
        QString name;
        QString widget;
        QString text;
    };
    const Limits &m_limits;
    float m_version;
    Reading &m_out;
    QVector<Closed> m_closed;
};

bool on(const FormValues &values, const char *widget)
{
    return values.value(QLatin1String(widget)).toBool();
}

bool on(const FormValues &values, Model::AlgorithmIndex algorithm)
{
    return on(values, Model::kAlgorithms[algorithm].checkBox);
}

QLatin1String nameOf(Model::AlgorithmIndex algorithm)
{
    return QLatin1String(Model::kAlgorithms[algorithm].name);
}

// The rules between settings that the form would enforce by refusing a box
// or changing a value: a file that breaks one cannot be applied whole.
void checkRules(const FormValues &v, float version, Checker &checker)
{
    QStringList running;
    for (const Model::Algorithm &a : Model::kAlgorithms)
        if (&a != &Model::kAlgorithms[Model::Alive] && on(v, a.checkBox))
            running << QLatin1String(a.name);

    const FormRules::AlgoChecks checks = FormRules::algoChecks([&v](const char *box) { return on(v, box); });
    if (checks.vibration && running.size() > 1) {
        running.removeAll(nameOf(Model::Vibration));
        checker.problem(
            QStringLiteral("VIBRATION runs alone beside ALIVE, not with %1.").arg(running.join(QLatin1String(", "))));
    } else if (FormRules::countOf(checks, version, kMostAlgorithms) > kMostAlgorithms) {
        if (running.size() <= kMostAlgorithms)
            running << QStringLiteral("ALIVE's automatic frames (ALIVE.modeRefresh)");
        checker.problem(QStringLiteral("More than two algorithms: %1.").arg(running.join(QLatin1String(", "))));
    }
    const Model::AlgorithmIndex pairs[][2] = {{Model::Motion, Model::Orientation}, {Model::Tilt, Model::Rotation}};
    for (const auto &pair : pairs)
        if (on(v, pair[0]) && on(v, pair[1]))
            checker.problem(QStringLiteral("%1 and %2 cannot run together.").arg(nameOf(pair[0]), nameOf(pair[1])));
    if (checks.aliveFrames && !Firmware::opens(version, Firmware::Feature::AliveFramesShareWakeUp))
        for (const Model::AlgorithmIndex algorithm : {Model::Temperature, Model::Vibration})
            if (on(v, algorithm))
                checker.problem(QStringLiteral("%1 needs ALIVE's automatic frames off (ALIVE.modeRefresh) with "
                                               "firmware %2.")
                                    .arg(nameOf(algorithm), Firmware::releaseName(version)));

    // Thresholds above the acceleration range would be cut to it.
    const int range = FormRules::rangeMaxMilliG(v.value(QStringLiteral("MPUmaxRange")).toInt());
    for (const Entry &e : entries()) {
        const int value = v.value(QLatin1String(e.widget)).toInt();
        if ((e.group == nameOf(Model::Shock) || e.group == nameOf(Model::Motion)) &&
            e.key.startsWith(QLatin1Char('g')) && range > 0 && value > range)
            checker.problem(QStringLiteral("%1.%2: %3 is above the %4 g range of MPU.maxRange.")
                                .arg(e.group, e.key)
                                .arg(value)
                                .arg(range / 1000));
    }
    const int inhibition = v.value(QStringLiteral("xChocInhibition")).toInt();
    if (FormRules::snappedInhibition(inhibition) != inhibition)
        checker.problem(QStringLiteral("SHOCK.inhibition: %1 is neither 0 (off) nor 50 or more.").arg(inhibition));
    for (const char *widget : {"xTiltThresholdPitch", "xTiltThresholdRoll"})
        if (v.value(QLatin1String(widget)).toInt() < 0 && !on(v, "cbTiltModeSignedMeasure"))
            checker.problem(QStringLiteral("TILT.%1: a negative threshold needs TILT.signedMeasure.")
                                .arg(QLatin1String(widget) == QLatin1String("xTiltThresholdPitch")
                                         ? QStringLiteral("pitch")
                                         : QStringLiteral("roll")));
}

} // namespace

QString settingName(const Upload::Step &step)
{
    return Upload::settingName(step);
}

QString printable(const QString &text)
{
    // A file may hold megabytes in one value: a long one is named by its
    // start and its length.
    const int shown = text.size() > 48 && text.at(39).isHighSurrogate() ? 39 : 40;
    if (text.size() <= 48)
        return Upload::printable(text);
    return QStringLiteral("%1\u2026 (%2 characters)").arg(Upload::printable(text.left(shown))).arg(text.size());
}

QString whyNotWritable(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return info.isDir() ? QStringLiteral("it is a folder") : QStringLiteral("it is not a regular file");
    if (!info.exists() && !info.absoluteDir().exists())
        return QStringLiteral("its folder does not exist");
    return QString();
}

const QVector<Entry> &entries()
{
    static const QVector<Entry> all = entriesOfCatalogue();
    return all;
}

QByteArray write(const FormValues &form, float firmwareVersion)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(kFormatName));
    root.insert(QStringLiteral("version"), kFormatVersion);
    // What the file was made for and by: the settings a release lacks are
    // not in it, so whoever applies it elsewhere knows what to expect.
    if (Firmware::isRelease(firmwareVersion))
        root.insert(QStringLiteral("release"), Firmware::releaseName(firmwareVersion));
    root.insert(QStringLiteral("program"), QStringLiteral("Pelko Configurator %1").arg(QLatin1String(kProgramVersion)));
    QJsonArray algorithms;
    for (const Model::Algorithm &a : Model::kAlgorithms)
        if (on(form, a.checkBox))
            algorithms.append(QLatin1String(a.name));
    root.insert(QStringLiteral("algorithms"), algorithms);
    for (const Entry &e : entries()) {
        if (!Upload::gatePasses(e.gate, firmwareVersion) || !form.contains(QLatin1String(e.widget)))
            continue;
        // A LoRa choice or identifier no device filled in (a form prepared
        // without one) is no setting: Start would not send it, and a device
        // the file is loaded onto keeps its own.
        if ((e.partner && !on(form, e.widget) && !on(form, e.partner)) ||
            (e.kind == Upload::Kind::Text && form.value(QLatin1String(e.widget)).toString().isEmpty()))
            continue;
        QJsonObject group = root.value(e.group).toObject();
        group.insert(e.key, fileValue(e, form.value(QLatin1String(e.widget))));
        root.insert(e.group, group);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Reading read(const QByteArray &file, const Limits &limits, float firmwareVersion, const FormValues &base)
{
    Reading out;
    out.values = base;
    Checker checker(limits, firmwareVersion, out);

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file, &error);
    if (error.error != QJsonParseError::NoError) {
        checker.problem(
            QStringLiteral("The file is not JSON: %1 at character %2.").arg(error.errorString()).arg(error.offset));
        return out;
    }
    if (!document.isObject()) {
        checker.problem(QStringLiteral("The file is not a Pelko configuration: it holds no JSON object."));
        return out;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName))
        checker.problem(QStringLiteral("The file is not a Pelko configuration: \"format\" is not \"%1\".")
                            .arg(QLatin1String(kFormatName)));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (version.toDouble(-1) != kFormatVersion) {
        checker.problem(QStringLiteral("The file has format version %1; this program reads version %2.")
                            .arg(version.isDouble() ? number(version.toDouble()) : QStringLiteral("(none)"))
                            .arg(kFormatVersion));
        return out; // another version's settings mean something else
    }

    for (auto it = root.begin(); it != root.end(); ++it) {
        const QString &name = it.key();
        if (name == QLatin1String("format") || name == QLatin1String("version"))
            continue;
        // Files made before these were written lack them; they describe the
        // file and set nothing.
        if (name == QLatin1String("release") || name == QLatin1String("program")) {
            if (!it.value().isString())
                checker.problem(QStringLiteral("%1: a text is expected.").arg(name));
            continue;
        }
        if (name == QLatin1String("algorithms")) {
            if (!it.value().isArray()) {
                checker.problem(QStringLiteral("algorithms: a list of algorithm names is expected."));
                continue;
            }
            QStringList names;
            for (const auto &n : it.value().toArray())
                names << (n.isString() ? n.toString() : QStringLiteral("(not a name)"));
            for (const Model::Algorithm &a : Model::kAlgorithms)
                out.values.insert(QLatin1String(a.checkBox), names.removeAll(QLatin1String(a.name)) > 0 ||
                                                                 &a == &Model::kAlgorithms[Model::Alive]);
            for (const QString &unknown : names)
                checker.problem(QStringLiteral("algorithms: unknown algorithm \"%1\".").arg(printable(unknown)));
            continue;
        }
        if (!isGroup(name)) {
            checker.problem(QStringLiteral("Unknown key \"%1\".").arg(printable(name)));
            continue;
        }
        if (!it.value().isObject()) {
            checker.problem(QStringLiteral("%1: a group of settings is expected.").arg(printable(name)));
            continue;
        }
        const QJsonObject group = it.value().toObject();
        for (auto setting = group.begin(); setting != group.end(); ++setting) {
            const Entry *found = nullptr;
            for (const Entry &e : entries())
                if (e.group == name && e.key == setting.key())
                    found = &e;
            if (found)
                checker.setting(*found, setting.value());
            else
                checker.problem(
                    QStringLiteral("Unknown key \"%1.%2\".").arg(printable(name), printable(setting.key())));
        }
    }
    checkRules(out.values, firmwareVersion, checker);
    checker.closedFields(base);
    return out;
}

QStringList refusal(const Reading &reading, float firmwareVersion)
{
    QStringList lines = reading.problems;
    for (const QString &name : reading.leftOut)
        lines << QStringLiteral("%1: not offered by firmware %2.").arg(name, Firmware::releaseName(firmwareVersion));
    for (const QString &line : reading.takenDifferently)
        lines << QStringLiteral("taken differently: %1").arg(line);
    return lines;
}

QStringList releaseGaps(const Reading &reading, float firmwareVersion)
{
    QStringList lines;
    for (const QString &name : reading.leftOut)
        lines << QStringLiteral("left out: %1 (not offered by firmware %2)")
                     .arg(name, Firmware::releaseName(firmwareVersion));
    for (const QString &line : reading.takenDifferently)
        lines << QStringLiteral("taken differently: %1").arg(line);
    return lines;
}

QString releaseGapsQuestion(const QString &path, const Reading &reading, float firmwareVersion)
{
    return QStringLiteral("Firmware %1 takes some settings of %2 otherwise than the file holds them:\n\n- %3\n\n"
                          "Load the other settings into the form? No leaves the form unchanged.")
        .arg(Firmware::releaseName(firmwareVersion), path,
             releaseGaps(reading, firmwareVersion).join(QLatin1String("\n- ")));
}

QStringList differences(const QByteArray &first, const QByteArray &second, const Limits &limits)
{
    const QJsonObject a = QJsonDocument::fromJson(first).object(), b = QJsonDocument::fromJson(second).object();
    const auto algorithms = [](const QJsonObject &root) {
        if (!root.contains(QStringLiteral("algorithms")))
            return QStringLiteral("missing");
        const QJsonArray names = root.value(QStringLiteral("algorithms")).toArray();
        QStringList chosen;
        for (const Model::Algorithm &algorithm : Model::kAlgorithms)
            if (&algorithm == &Model::kAlgorithms[Model::Alive] || names.contains(QLatin1String(algorithm.name)))
                chosen << QLatin1String(algorithm.name);
        return chosen.join(QLatin1Char(' '));
    };
    QStringList out;
    if (algorithms(a) != algorithms(b))
        out << QStringLiteral("algorithms: %1, %2").arg(algorithms(a), algorithms(b));
    for (const Entry &e : entries()) {
        const auto text = [&](const QJsonObject &root) {
            const QJsonValue value = root.value(e.group).toObject().value(e.key);
            return value.isUndefined() ? QStringLiteral("missing") : fileText(e, value, limits);
        };
        if (text(a) != text(b))
            out << QStringLiteral("%1.%2: %3, %4").arg(e.group, e.key, text(a), text(b));
    }
    return out;
}

} // namespace ConfigFile
