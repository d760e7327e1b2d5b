#include "provisioning.h"

#include "config/configfile.h"
#include "link/commandline.h"
#include "model/dumpkeytable.h"
#include "readback/dumpscan.h"
#include "readback/lorafields.h"

#include <QCryptographicHash>
#include <QHash>

#include <limits>
#include <optional>

namespace Provisioning {

QString outcomeWord(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return QStringLiteral("verified");
    case Outcome::Usage:
        return QStringLiteral("usage");
    case Outcome::RefusedFile:
        return QStringLiteral("refused file");
    case Outcome::DeviceNotFound:
        return QStringLiteral("device not found");
    case Outcome::WriteFailed:
        return QStringLiteral("write failed");
    case Outcome::Differences:
        return QStringLiteral("differences");
    case Outcome::Interrupted:
        return QStringLiteral("interrupted");
    case Outcome::PortBusy:
        return QStringLiteral("port busy");
    case Outcome::LogFailed:
        return QStringLiteral("verified, log line lost");
    }
    return QString();
}

const char kLogHeader[] = "time_utc,port,dev_eui,firmware,file,sha256,result\r\n";

namespace {
// A field is quoted when it holds a separator, a quote or a line break.
QByteArray csvField(const QString &text)
{
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r'))
        field = '"' + field.replace('"', "\"\"") + '"';
    return field;
}
} // namespace

QByteArray logLine(const LogEntry &entry)
{
    const QStringList fields = {
        entry.time.toUTC().toString(Qt::ISODate),
        entry.port,
        entry.devEui,
        entry.firmware,
        entry.fileName,
        QString::fromLatin1(QCryptographicHash::hash(entry.fileContent, QCryptographicHash::Sha256).toHex()),
        outcomeWord(entry.outcome),
    };
    QByteArray line;
    for (const QString &field : fields)
        line += (line.isEmpty() ? QByteArray() : QByteArray(",")) + csvField(field);
    return line + "\r\n";
}

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

// The value of every dump key that this dump carries. The key table keeps
// values of earlier reads, so the dump is scanned twice over two different
// presets: a key whose value is the same both times was in the dump.
QVector<std::optional<int>> dumpValues(const QByteArray &dump)
{
    QVector<int> kept, first;
    for (const DumpKey &key : dumpKeyTable)
        kept << key.decodedValue;
    const QList<QByteArray> lines = dumpLines;
    QVector<std::optional<int>> values(kDumpKeyCount);
    for (int preset : {0, 1}) {
        for (DumpKey &key : dumpKeyTable)
            key.decodedValue = preset;
        splitDumpLines(dump, 2);
        scanDumpLines(2);
        for (int i = 0; i < kDumpKeyCount; ++i) {
            if (preset == 0)
                first << dumpKeyTable[i].decodedValue;
            else if (first.at(i) == dumpKeyTable[i].decodedValue)
                values[i] = first.at(i);
        }
    }
    for (int i = 0; i < kDumpKeyCount; ++i)
        dumpKeyTable[i].decodedValue = kept.at(i);
    dumpLines = lines;
    return values;
}

// The algorithms the dump says are enabled, as mask bits: ALIVE's sentence
// and those the readback ticks boxes for. VIBRATION has no sentence: the
// device does not say whether it runs.
int enabledMask(const QByteArray &dump)
{
    int mask = dump.contains("Algorithm ALIVE enable.") ? 1 : 0;
    for (const DumpAlgorithm &algorithm : kDumpAlgorithms)
        if (dumpEnables(dump, algorithm))
            for (const Upload::AlgorithmBit &bit : Upload::kAlgorithmBits)
                if (qstrcmp(bit.checkBox, algorithm.box) == 0)
                    mask |= bit.bit;
    return mask;
}

constexpr int kVibrationBit = 256;

QString algorithmNames(int mask)
{
    QStringList names;
    for (const Upload::AlgorithmBit &algorithm : Upload::kAlgorithmBits)
        if (mask & algorithm.bit)
            for (const ConfigFile::Algorithm &named : ConfigFile::kAlgorithms)
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

Reported reported(const Upload::Step &row, const QVector<std::optional<int>> &dump, const QByteArray &rawDump,
                  const QByteArray &lora)
{
    const QByteArray key(row.key);
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
    if (row.kind == Upload::Kind::Mask)
        return {true, enabledMask(rawDump), {}};
    if (qstrcmp(row.cmd, "ALGO") == 0 && key == "poweroff")
        return {true, rawDump.contains("Poweroff : allowed") ? 1 : 0, {}};
    if (row.dump < 0 || !dump.at(row.dump))
        return {};
    const int value = *dump.at(row.dump);
    if (row.kind == Upload::Kind::Checked)
        return {true, (row.bit ? value & row.bit : value) != 0 ? 1 : 0, {}};
    return {true, value, {}};
}

} // namespace

Verification verify(const QVector<Upload::SentLine> &sent, const QByteArray &dump, const QByteArray &loraAnswer)
{
    // The last line of each setting is what the device should hold.
    QVector<const Upload::Step *> order;
    QHash<const Upload::Step *, Upload::SentLine> last;
    for (const Upload::SentLine &line : sent) {
        const Upload::Step &row = readingRow(*line.step);
        if (qstrcmp(row.cmd, "SAVEPARAM") == 0)
            continue;
        if (!last.contains(&row))
            order << &row;
        last.insert(&row, line);
    }
    const QVector<std::optional<int>> dumped = dumpValues(dump);
    Verification out;
    for (const Upload::Step *row : order) {
        const Upload::SentLine &line = last.value(row);
        const QString name = ConfigFile::settingName(*row);
        const Reported device = reported(*row, dumped, dump, loraAnswer);
        if (!device.known) {
            out.notChecked << name;
            continue;
        }
        if (row->kind == Upload::Kind::Mask) {
            out.notChecked << QStringLiteral("algorithms (VIBRATION)");
            const int wrote = line.value & ~kVibrationBit;
            if (wrote != device.value)
                out.differences << QStringLiteral("%1: wrote %2, read back %3")
                                       .arg(name, algorithmNames(wrote), algorithmNames(device.value));
            continue;
        }
        if (row->kind == Upload::Kind::Text) {
            if (line.text.compare(device.text, Qt::CaseInsensitive) != 0)
                out.differences << QStringLiteral("%1: wrote \"%2\", read back \"%3\"")
                                       .arg(name, ConfigFile::printable(line.text), ConfigFile::printable(device.text));
            continue;
        }
        const int wrote = line.step->kind == Upload::Kind::FixedText ? (line.text == QLatin1String("1") ? 1 : 0)
                          : row->kind == Upload::Kind::Checked       ? (line.value != 0 ? 1 : 0)
                                                                     : line.value;
        if (wrote != device.value)
            out.differences << QStringLiteral("%1: wrote %2, read back %3")
                                   .arg(name, shown(*row, wrote), shown(*row, device.value));
    }
    return out;
}

QString failedLine(const QVector<Upload::SentLine> &sent)
{
    for (const Upload::SentLine &line : sent) {
        if (line.result == 0)
            continue;
        const Upload::Step &step = *line.step;
        const QByteArray words = step.kind == Upload::Kind::Text
                                     ? QByteArray(step.cmd) + ' ' + step.key
                                     : buildCommandLine(step.cmd, step.key, line.value, line.text).withoutEnding();
        return QStringLiteral("the device %1 \"%2\"")
            .arg(line.result == CommandRefused ? QStringLiteral("refused") : QStringLiteral("did not acknowledge"),
                 QString::fromLatin1(words));
    }
    return QString();
}

} // namespace Provisioning
