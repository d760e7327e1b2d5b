#include "provisioning.h"

#include "config/configfile.h"
#include "link/commandline.h"
#include "readback/comparison.h"

#include <QCryptographicHash>

namespace Provisioning {

QString outcomeWord(Outcome outcome, bool check)
{
    if (check && (outcome == Outcome::Done || outcome == Outcome::Differences))
        return outcome == Outcome::Done ? QStringLiteral("matches") : QStringLiteral("differs");
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
        return check ? QStringLiteral("read failed") : QStringLiteral("write failed");
    case Outcome::Differences:
        return QStringLiteral("differences");
    case Outcome::Interrupted:
        return QStringLiteral("interrupted");
    case Outcome::PortBusy:
        return QStringLiteral("port busy");
    case Outcome::LogFailed:
        return QStringLiteral("verified, log line lost");
    case Outcome::SavedNotVerified:
        return QStringLiteral("saved but not verified");
    case Outcome::PartlySaved:
        return QStringLiteral("interrupted after the algorithm save");
    }
    return QString();
}

// The command came last: a log begun before it reads the same, column by column.
const char kLogHeader[] = "time_utc,port,dev_eui,firmware,file,sha256,result,command\r\n";

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
        outcomeWord(entry.outcome, entry.check),
        entry.check ? QStringLiteral("check") : QStringLiteral("write"),
    };
    QByteArray line;
    for (const QString &field : fields)
        line += (line.isEmpty() ? QByteArray() : QByteArray(",")) + csvField(field);
    return line + "\r\n";
}

namespace {
Verification compared(const QVector<Upload::SentLine> &sent, const QByteArray &dump, const QByteArray &loraAnswer,
                      const QString &ours, const QString &theirs)
{
    Verification out;
    for (const Comparison::Setting &setting : Comparison::compare(sent, Comparison::deviceState(dump, loraAnswer))) {
        if (!setting.checked) {
            out.notChecked << setting.name;
            continue;
        }
        if (setting.row->kind == Upload::Kind::Mask)
            out.notChecked << QStringLiteral("algorithms (VIBRATION)");
        if (!setting.differs)
            continue;
        if (setting.isText)
            out.differences << QStringLiteral("%1: %2 \"%3\", %4 \"%5\"")
                                   .arg(setting.name, ours, ConfigFile::printable(setting.sent), theirs,
                                        ConfigFile::printable(setting.device));
        else
            out.differences
                << QStringLiteral("%1: %2 %3, %4 %5").arg(setting.name, ours, setting.sent, theirs, setting.device);
    }
    return out;
}
} // namespace

Verification verify(const QVector<Upload::SentLine> &sent, const QByteArray &dump, const QByteArray &loraAnswer)
{
    return compared(sent, dump, loraAnswer, QStringLiteral("wrote"), QStringLiteral("read back"));
}

Verification check(const QVector<Upload::SentLine> &planned, const QByteArray &dump, const QByteArray &loraAnswer)
{
    return compared(planned, dump, loraAnswer, QStringLiteral("file"), QStringLiteral("device"));
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
