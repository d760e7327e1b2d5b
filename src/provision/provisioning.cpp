#include "provisioning.h"

#include <QCryptographicHash>

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

QStringList differences(const ConfigFile::FormValues &written, const ConfigFile::FormValues &readBack,
                        const QVector<const Upload::Step *> &rowsSent)
{
    QStringList found;
    for (const ConfigFile::Entry &entry : ConfigFile::entries()) {
        const QString widget = QLatin1String(entry.widget);
        const bool checked = std::any_of(rowsSent.begin(), rowsSent.end(), [&](const Upload::Step *step) {
            return step->dump >= 0 && step->widget && widget == QLatin1String(step->widget);
        });
        if (!checked)
            continue;
        const QVariant wrote = written.value(widget);
        const QVariant read = readBack.value(widget);
        if (wrote != read)
            found << QStringLiteral("%1.%2: wrote %3, read back %4")
                         .arg(entry.group, entry.key, wrote.toString(), read.toString());
    }
    return found;
}

} // namespace Provisioning
