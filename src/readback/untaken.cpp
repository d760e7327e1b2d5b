#include "untaken.h"

#include "firmware/releases.h"
#include "logic/formrules.h"
#include "model/algorithms.h"
#include "model/dumpkeytable.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace Untaken {

namespace {

using Upload::Kind;
using Upload::Step;

// Algorithms the form holds together beside ALIVE.
constexpr int kMostBesideAlive = 2;

QString number(double value, const QString &unit)
{
    return QString::number(value, 'g', 12) + unit;
}

// A device value of this row as the form's field would show it, unit and all.
QString deviceText(const Step &step, int raw, const QString &unit)
{
    switch (step.kind) {
    case Kind::Seconds:
        return number(raw / 1000.0, unit);
    case Kind::Hundredths:
        return number(Upload::fromHundredths(raw), unit);
    case Kind::Frequency:
        return raw == 0 ? QStringLiteral("0.24 Hz") : number(raw, QStringLiteral(" Hz"));
    case Kind::Range:
        return number(raw, QStringLiteral(" g"));
    case Kind::FixedValue:
        return number(step.number, unit);
    case Kind::Checked: {
        const bool on = (step.bit ? raw & step.bit : raw) != 0;
        if (step.flags & Upload::UprightUnlessRotating)
            return on ? QStringLiteral("upright") : QStringLiteral("laid flat");
        return on ? QStringLiteral("on") : QStringLiteral("off");
    }
    default:
        return number(raw, unit);
    }
}

// What Start sends, from the comparison's words in the file's units.
QString formText(const Step &row, const QString &sent, const QString &unit)
{
    switch (row.kind) {
    case Kind::Checked:
    case Kind::FixedText:
        if (row.flags & Upload::UprightUnlessRotating)
            return sent == QLatin1String("true") ? QStringLiteral("upright") : QStringLiteral("laid flat");
        return sent == QLatin1String("true") ? QStringLiteral("on") : QStringLiteral("off");
    case Kind::Frequency:
        return sent + QStringLiteral(" Hz");
    case Kind::Range:
        return sent;
    default:
        return sent + unit;
    }
}

bool sends(const QVector<Upload::SentLine> &planned, const char *widget)
{
    bool on = false;
    for (const Upload::SentLine &line : planned)
        if (line.step->widget && qstrcmp(line.step->widget, widget) == 0)
            on = line.value != 0;
    return on;
}

int plannedMask(const QVector<Upload::SentLine> &planned)
{
    for (const Upload::SentLine &line : planned)
        if (line.step->kind == Kind::Mask)
            return line.value;
    return 0;
}

bool inMask(int mask, Model::AlgorithmIndex algorithm)
{
    return (mask & Model::kAlgorithms[algorithm].bit) != 0;
}

// Why one value the device reports for a field does not fit it as it is.
QStringList misfits(const Step &step, int raw, const QString &shown, const Field *field, const QString &sent)
{
    QStringList why;
    const QString unit = field ? field->unit : QString();
    const auto rate = [field](int index) {
        return field && index >= 0 && index < field->items.size() ? Upload::itemValue(field->items.at(index)) : -1;
    };
    switch (step.kind) {
    case Kind::Range:
        if (std::find(std::begin(Upload::kRangesG), std::end(Upload::kRangesG), raw) == std::end(Upload::kRangesG))
            why << QStringLiteral("%1 is not one of the ranges 2, 4, 8 and 16 g").arg(shown);
        return why;
    case Kind::Frequency:
        if (rate(frequencyIndexForHz(raw)) != raw)
            why << QStringLiteral("%1 is not one of the field's rates").arg(shown);
        return why;
    case Kind::BurstCount:
        if (rate(burstNumberIndex(raw)) != raw)
            why << QStringLiteral("%1 is not one of the field's choices (%2)")
                       .arg(shown, field ? field->items.join(QLatin1String(", ")) : QString());
        return why;
    case Kind::Item:
        if (field && (raw < 0 || raw >= field->items.size()))
            why << QStringLiteral("%1 is not one of the field's choices, 0 to %2")
                       .arg(shown)
                       .arg(field->items.size() - 1);
        return why;
    case Kind::Seconds:
        if (raw % 1000 != 0)
            why << QStringLiteral("%1 has a fraction of a second, which the field drops").arg(shown);
        break;
    case Kind::Value:
    case Kind::Hundredths:
        break;
    default:
        return why;
    }
    if (!field)
        return why;
    const double value = Upload::formValue(step, raw);
    if (value < field->minimum)
        why << QStringLiteral("%1 is below the field's minimum of %2").arg(shown, number(field->minimum, unit));
    else if (value > field->maximum)
        why << QStringLiteral("%1 is above the field's maximum of %2").arg(shown, number(field->maximum, unit));
    else if (qstrcmp(step.widget, "xChocInhibition") == 0 && FormRules::snappedInhibition(int(value)) != int(value))
        why << QStringLiteral("%1 is neither 0 (no inhibition) nor 50 ms or more, as the field takes it").arg(shown);
    else if ((qstrcmp(step.widget, "xTiltThresholdPitch") == 0 || qstrcmp(step.widget, "xTiltThresholdRoll") == 0) &&
             value < 0 && sent == QLatin1String("0"))
        why << QStringLiteral("%1 is negative, which TILT takes only with its signed measure").arg(shown);
    return why;
}

Row valueRow(const Comparison::Setting &setting, const Comparison::DeviceState &device, const Fields &fields, int mask)
{
    const Step &row = *setting.row;
    const auto found = fields.constFind(QLatin1String(row.widget));
    const Field *field = found == fields.constEnd() ? nullptr : &*found;
    const QString unit = field ? field->unit : QString();
    const auto reported = [&device](const Step &step) {
        return step.dump >= 0 && step.dump < device.dumpValues.size() && device.dumpValues.at(step.dump);
    };

    Row out{setting.name, setting.name, formText(row, setting.device, unit), formText(row, setting.sent, unit), {}};
    if (reported(row))
        out.device = deviceText(row, *device.dumpValues.at(row.dump), unit);

    // Every dump key that fills this field, in the dump's order, as the field
    // would show it.
    QVector<const Step *> keys;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const Step &step = Upload::kCatalogue[i];
        if (step.widget && qstrcmp(step.widget, row.widget) == 0 && reported(step))
            keys << &step;
    }
    std::sort(keys.begin(), keys.end(), [](const Step *a, const Step *b) { return a->dump < b->dump; });
    QStringList values;
    QStringList why;
    for (const Step *key : keys) {
        const Step &step = *key;
        const int raw = *device.dumpValues.at(step.dump);
        const QString shown = deviceText(step, raw, unit);
        if (!values.contains(shown))
            values << shown;
        why << misfits(step, raw, shown, field, setting.sent);
    }
    if (values.size() > 1)
        why.prepend(QStringLiteral("%1 values reported (%2), the form keeps one")
                        .arg(values.size() == 2 ? QStringLiteral("two") : QString::number(values.size()),
                             values.join(QLatin1String(", "))));
    if (reported(row)) {
        const int raw = *device.dumpValues.at(row.dump);
        if (row.kind == Kind::Range && inMask(mask, Model::Orientation) && raw != Upload::kRangesG[0])
            why.prepend(QStringLiteral("ORIENTATION runs only at 2 g"));
        if ((row.flags & Upload::UprightUnlessRotating) && inMask(mask, Model::Rotation) && raw == 0)
            why.prepend(QStringLiteral("ROTATION runs only upright"));
        if (qstrcmp(row.widget, "cbAliveRefreshMode") == 0 && inMask(mask, Model::Vibration) && raw != 0)
            why.prepend(QStringLiteral("VIBRATION runs only without ALIVE's automatic frames"));
    }
    why.removeDuplicates();
    out.reason = why.isEmpty() ? QStringLiteral("the form could not show it as the device holds it")
                               : why.join(QLatin1String("; "));
    return out;
}

// Why the form left unticked an algorithm the device runs.
QString whyLeftOut(Model::AlgorithmIndex algorithm, int mask, const QVector<Upload::SentLine> &planned, float version)
{
    using namespace Model;
    const auto name = [](AlgorithmIndex a) {
        return QLatin1String(kAlgorithms[a].name);
    };
    const std::pair<AlgorithmIndex, AlgorithmIndex> rivals[] = {{Motion, Orientation}, {Tilt, Rotation}};
    for (const auto &[one, other] : rivals) {
        if ((algorithm == one && inMask(mask, other)) || (algorithm == other && inMask(mask, one)))
            return QStringLiteral("%1 and %2 never run together").arg(name(one), name(other));
    }
    if ((algorithm == Tilt || algorithm == Rotation) && inMask(mask, Orientation) &&
        sends(planned, "cbOrientModeRefresh") && sends(planned, "cbOrientModeOnMove"))
        return QStringLiteral("ORIENTATION with both its modes keeps TILT and ROTATION out");
    if (inMask(mask, Vibration))
        return QStringLiteral("VIBRATION runs only alone");
    FormRules::AlgoChecks on;
    on.shock = inMask(mask, Shock);
    on.motion = inMask(mask, Motion);
    on.temperature = inMask(mask, Temperature);
    on.tilt = inMask(mask, Tilt);
    on.rotation = inMask(mask, Rotation);
    on.orientation = inMask(mask, Orientation);
    on.aliveFrames = sends(planned, "cbAliveRefreshMode");
    const bool framesCount = on.aliveFrames && !Firmware::opens(version, Firmware::Feature::AliveFramesShareWakeUp);
    if (FormRules::countOf(on, version, kMostBesideAlive) >= kMostBesideAlive)
        return framesCount ? QStringLiteral("the form runs two algorithms at most beside ALIVE, and up to release "
                                            "1.9.2 ALIVE's automatic frames count as one")
                           : QStringLiteral("the form runs two algorithms at most beside ALIVE");
    if (algorithm == Temperature && framesCount)
        return QStringLiteral("up to release 1.9.2, ALIVE's automatic frames keep TEMPERATURE out");
    return QStringLiteral("the form could not tick it beside the algorithms it ticked");
}

QVector<Row> algorithmRows(const Comparison::Setting &setting, const QVector<Upload::SentLine> &planned, float version)
{
    QVector<Row> out;
    for (int a = 0; a < Model::kAlgorithmCount; ++a) {
        const int bit = Model::kAlgorithms[a].bit;
        const bool onDevice = setting.deviceMask & bit;
        if (bit == Comparison::kUnreportedAlgorithmBit || onDevice == bool(setting.sentMask & bit))
            continue;
        const auto algorithm = Model::AlgorithmIndex(a);
        out << Row{setting.name, QLatin1String(Model::kAlgorithms[a].name),
                   onDevice ? QStringLiteral("on") : QStringLiteral("off"),
                   onDevice ? QStringLiteral("off") : QStringLiteral("on"),
                   !onDevice                   ? QStringLiteral("the form always runs ALIVE")
                   : algorithm == Model::Alive ? QStringLiteral("the form could not tick it")
                                               : whyLeftOut(algorithm, plannedMask(planned), planned, version)};
    }
    return out;
}

} // namespace

QVector<Row> rows(const Comparison::DeviceState &device, const QVector<Upload::SentLine> &planned, const Fields &fields,
                  float firmwareVersion)
{
    QVector<Row> out;
    const int mask = plannedMask(planned);
    for (const Comparison::Setting &setting : Comparison::compare(planned, device)) {
        if (!setting.checked || !setting.differs || qstrcmp(setting.row->cmd, "LORA SET") == 0)
            continue;
        if (setting.row->kind == Kind::Mask)
            out << algorithmRows(setting, planned, firmwareVersion);
        else
            out << valueRow(setting, device, fields, mask);
    }
    return out;
}

QString line(const Row &row)
{
    if (row.name == QLatin1String("algorithms"))
        return QStringLiteral("%1: the device %2, Start switches it %3 (%4)")
            .arg(row.setting,
                 row.device == QLatin1String("on") ? QStringLiteral("runs it") : QStringLiteral("does not run it"),
                 row.form, row.reason);
    return QStringLiteral("%1: device %2, Start sends %3 (%4)").arg(row.setting, row.device, row.form, row.reason);
}

QString warning(const QVector<Row> &rows)
{
    if (rows.isEmpty())
        return QString();
    QStringList lines{QStringLiteral("The form cannot hold these settings as the device holds them; Start would "
                                     "send the form's values instead:")};
    for (const Row &row : rows)
        lines << line(row);
    return lines.join(QLatin1Char('\n'));
}

QStringList withReasons(const QStringList &differences, const QVector<Row> &rows)
{
    QStringList out;
    for (const QString &difference : differences) {
        QStringList why;
        for (const Row &row : rows) {
            if (!difference.startsWith(row.name + QLatin1String(": ")))
                continue;
            why << (row.setting == row.name ? row.reason : row.setting + QLatin1String(": ") + row.reason);
        }
        out << (why.isEmpty() ? difference
                              : difference + QStringLiteral(" (the form cannot hold the device's value: %1)")
                                                 .arg(why.join(QLatin1String("; "))));
    }
    return out;
}

} // namespace Untaken
