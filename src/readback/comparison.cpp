#include "comparison.h"

#include "model/dumpkeytable.h"
#include "readback/dumpscan.h"
#include "readback/lorafields.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

#include <limits>

namespace Comparison {

namespace {

// The row that reads a setting back and says how it is shown: the first row
// of the catalogue with that command and key (the VIBE block's own
// "ALIVE modeRefresh 0" is read as ALIVE's box).
const Upload::Step &readingRow(const Upload::Step &sent)
{
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const Upload::Step &row = Upload::kCatalogue[i];
        if (row.isCommand() && !(row.flags & Upload::ReadBackOnly) && qstrcmp(row.cmd, sent.cmd) == 0 &&
            qstrcmp(row.key, sent.key) == 0)
            return row;
    }
    return sent;
}

// The value of every dump key that this dump carries. The dump is scanned
// over two different presets: a key whose value is the same both times was
// in the dump.
QVector<std::optional<int>> dumpValues(const QByteArray &dump)
{
    QList<QByteArray> lines;
    splitDumpLines(dump, 2, lines);
    DumpValues first, second;
    first.fill(0);
    second.fill(1);
    scanDumpLines(lines, 2, first);
    scanDumpLines(lines, 2, second);
    QVector<std::optional<int>> values(kDumpKeyCount);
    for (int i = 0; i < kDumpKeyCount; ++i)
        if (first.at(i) == second.at(i))
            values[i] = first.at(i);
    return values;
}

// The algorithms the dump says are enabled, as mask bits, whatever the form
// could tick of them: every "Algorithm ... enable." sentence counts, by the
// dump's own word for the algorithm, its name or its command word. A word
// that names none is an algorithm the device runs that nothing here knows.
// VIBRATION has no sentence of its own: the device does not say whether it
// runs.
struct Enabled
{
    int mask = 0;
    QStringList unknown;
};

Enabled enabledAlgorithms(const QByteArray &dump)
{
    static const QRegularExpression sentence(QStringLiteral("Algorithm ([A-Za-z_]{1,24}) enable\\."));
    Enabled out;
    // Every line of the dump ends in a NUL: the text is taken by its size.
    QRegularExpressionMatchIterator found =
        sentence.globalMatch(QString::fromLatin1(dump.constData(), int(dump.size())));
    while (found.hasNext()) {
        const QString word = found.next().captured(1);
        const QByteArray said = "Algorithm " + word.toLatin1() + " enable.";
        const auto names = [&](const Model::Algorithm &a) {
            return said == a.sentence || (a.otherSentence && said == a.otherSentence) ||
                   word.compare(QLatin1String(a.name), Qt::CaseInsensitive) == 0 ||
                   word.compare(QLatin1String(a.command), Qt::CaseInsensitive) == 0;
        };
        const auto known = std::find_if(std::begin(Model::kAlgorithms), std::end(Model::kAlgorithms), names);
        if (known != std::end(Model::kAlgorithms))
            out.mask |= known->bit;
        else if (!out.unknown.contains(word) && out.unknown.size() < 8)
            out.unknown << word;
    }
    return out;
}

QString algorithmNames(int mask)
{
    QStringList names;
    for (const Upload::AlgorithmBit &algorithm : Upload::kAlgorithmBits)
        if (mask & algorithm.bit)
            for (const Model::Algorithm &named : Model::kAlgorithms)
                if (qstrcmp(named.checkBox, algorithm.checkBox) == 0)
                    names << QLatin1String(named.name);
    return names.isEmpty() ? QStringLiteral("none") : names.join(QLatin1String(" "));
}

// A device value as the file gives it.
QString shown(const Upload::Step &row, int value)
{
    switch (row.kind) {
    case Upload::Kind::Checked:
    case Upload::Kind::FixedText:
        return value != 0 ? QStringLiteral("true") : QStringLiteral("false");
    case Upload::Kind::Seconds:
        return QString::number(value / 1000.0);
    case Upload::Kind::Hundredths:
        return QString::number(Upload::fromHundredths(value));
    case Upload::Kind::Range:
        return QStringLiteral("%1 g").arg(value);
    case Upload::Kind::Frequency:
        return value == 0 ? QStringLiteral("0.24") : QString::number(value);
    case Upload::Kind::Mask:
        return algorithmNames(value);
    default:
        return QString::number(value);
    }
}

// What the device reports of one setting, as a number (a choice 1 or 0) or a
// text; nothing when it does not report it.
struct Reported
{
    bool known = false;
    int value = 0;
    QString text;
};

Reported choice(bool yes, bool no)
{
    return yes != no ? Reported{true, yes ? 1 : 0, {}} : Reported{};
}

Reported reported(const Upload::Step &row, const DeviceState &device)
{
    const QByteArray key(row.key);
    const QByteArray &lora = device.loraAnswer;
    if (qstrcmp(row.cmd, "LORA SET") == 0) {
        const LoRaFields::Answer answer = LoRaFields::parse(lora);
        if (key == "OTAA")
            return choice(answer.modeOtaa, answer.modeAbp);
        if (key == "ACK")
            return choice(answer.ackEnabled, answer.ackDisabled);
        if (key == "ADR")
            return choice(answer.adrEnabled, answer.adrDisabled);
        if (key == "PUBLICNETWORK")
            return choice(answer.networkPublic, answer.networkPrivate);
        const std::optional<int> number =
            key == "DEFAULT_DR" ? LoRaFields::defaultDataRate(lora)
            : key == "JRERROR"
                ? LoRaFields::joinRequestTimeout(lora, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())
                : std::nullopt;
        if (number)
            return {true, *number, {}};
        const std::optional<QString> text = LoRaFields::reportedText(lora, key);
        return text ? Reported{true, 0, *text} : Reported{};
    }
    if (row.kind == Upload::Kind::Mask) {
        const Enabled enabled = enabledAlgorithms(device.dump);
        return {true, enabled.mask, enabled.unknown.join(QLatin1Char(' '))};
    }
    if (qstrcmp(row.cmd, "ALGO") == 0 && key == "poweroff")
        return {true, device.dump.contains("Poweroff : allowed") ? 1 : 0, {}};
    if (row.dump < 0 || row.dump >= device.dumpValues.size() || !device.dumpValues.at(row.dump))
        return {};
    const int value = *device.dumpValues.at(row.dump);
    if (row.kind == Upload::Kind::Checked)
        return {true, (row.bit ? value & row.bit : value) != 0 ? 1 : 0, {}};
    return {true, value, {}};
}

} // namespace

DeviceState deviceState(const QByteArray &dump, const QByteArray &loraAnswer)
{
    return {dump, loraAnswer, dumpValues(dump)};
}

QVector<Setting> compare(const QVector<Upload::SentLine> &lines, const DeviceState &device)
{
    // The last line of each setting is what the device should hold.
    QVector<const Upload::Step *> order;
    QHash<const Upload::Step *, Upload::SentLine> last;
    for (const Upload::SentLine &line : lines) {
        const Upload::Step &row = readingRow(*line.step);
        if (qstrcmp(row.cmd, "SAVEPARAM") == 0)
            continue;
        if (!last.contains(&row))
            order << &row;
        last.insert(&row, line);
    }
    QVector<Setting> out;
    for (const Upload::Step *row : order) {
        const Upload::SentLine &line = last.value(row);
        Setting setting;
        setting.row = row;
        setting.name = Upload::settingName(*row);
        const Reported reported = Comparison::reported(*row, device);
        setting.checked = reported.known;
        if (!reported.known) {
            out << setting;
            continue;
        }
        if (row->kind == Upload::Kind::Mask) {
            setting.sentMask = line.value & ~kUnreportedAlgorithmBit;
            setting.deviceMask = reported.value & ~kUnreportedAlgorithmBit;
            setting.differs = setting.sentMask != setting.deviceMask || !reported.text.isEmpty();
            setting.sent = algorithmNames(setting.sentMask);
            setting.device = algorithmNames(setting.deviceMask);
            if (!reported.text.isEmpty())
                setting.device += QStringLiteral(" and unknown %1").arg(reported.text);
        } else if (row->kind == Upload::Kind::Text) {
            setting.isText = true;
            setting.differs = line.text.compare(reported.text, Qt::CaseInsensitive) != 0;
            setting.sent = line.text;
            setting.device = reported.text;
        } else {
            const int sent = line.step->kind == Upload::Kind::FixedText ? (line.text == QLatin1String("1") ? 1 : 0)
                             : row->kind == Upload::Kind::Checked       ? (line.value != 0 ? 1 : 0)
                                                                        : line.value;
            setting.differs = sent != reported.value;
            setting.sent = shown(*row, sent);
            setting.device = shown(*row, reported.value);
        }
        out << setting;
    }
    return out;
}

QVector<Mark> marks(const QVector<Setting> &settings)
{
    QVector<Mark> out;
    for (const Setting &setting : settings) {
        if (!setting.checked || !setting.differs)
            continue;
        if (setting.row->kind == Upload::Kind::Mask) {
            for (const Upload::AlgorithmBit &box : Upload::kAlgorithmBits)
                if ((setting.sentMask ^ setting.deviceMask) & box.bit & ~kUnreportedAlgorithmBit)
                    out << Mark{box.checkBox,
                                setting.deviceMask & box.bit ? QStringLiteral("on") : QStringLiteral("off")};
            continue;
        }
        const Upload::Kind kind = setting.row->kind;
        const bool box = kind == Upload::Kind::Checked || kind == Upload::Kind::FixedText;
        const QString shown = !box                                      ? setting.device
                              : setting.device == QLatin1String("true") ? QStringLiteral("checked")
                                                                        : QStringLiteral("not checked");
        out << Mark{setting.row->widget, Upload::printable(shown)};
    }
    return out;
}

QVariantMap held(const DeviceState &device, QVariantMap form, QStringList *kept)
{
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const Upload::Step &row = Upload::kCatalogue[i];
        const Upload::Kind kind = row.kind;
        const bool shownAsIs = kind == Upload::Kind::Value || kind == Upload::Kind::Seconds ||
                               kind == Upload::Kind::Checked || kind == Upload::Kind::Frequency;
        const QString widget = QLatin1String(row.widget);
        if (!row.isCommand() || !row.widget || (row.flags & Upload::ReadBackOnly) || !shownAsIs ||
            !form.contains(widget))
            continue;
        const Reported r = reported(row, device);
        if (!r.known) {
            kept->append(widget);
            continue;
        }
        if (kind == Upload::Kind::Checked)
            form.insert(widget, r.value != 0);
        else if (kind == Upload::Kind::Frequency)
            form.insert(widget, r.value == 0 ? QStringLiteral("0,24") : QString::number(r.value));
        else
            form.insert(widget, int(Upload::formValue(row, r.value)));
    }
    const int mask = enabledAlgorithms(device.dump).mask;
    for (const Upload::AlgorithmBit &box : Upload::kAlgorithmBits) {
        if (box.bit == kUnreportedAlgorithmBit)
            kept->append(QLatin1String(box.checkBox));
        else
            form.insert(QLatin1String(box.checkBox), (mask & box.bit) != 0);
    }
    return form;
}

QString differenceCount(int marked)
{
    if (marked == 0)
        return QString();
    return marked == 1 ? QStringLiteral("1 setting differs from the Pelko")
                       : QStringLiteral("%1 settings differ from the Pelko").arg(marked);
}

} // namespace Comparison
