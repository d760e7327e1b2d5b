#ifndef PELKO_PROVISIONING_H
#define PELKO_PROVISIONING_H

#include "config/configfile.h"
#include "upload/catalogue.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// What the provisioning tool decides without a device or a window: its exit
// codes, its log line and the check of a device read back after a write.
namespace Provisioning {

// The tool's exit codes, one per outcome a script provisioning many devices
// must tell apart.
enum class Outcome {
    Done = 0,           // written and verified (write), saved (read), listed (list)
    Usage = 1,          // the command line was not understood
    RefusedFile = 2,    // the file cannot be applied whole: nothing was written
    DeviceNotFound = 3, // no device on that port, or it did not answer
    WriteFailed = 4,    // the device refused or lost part of the write (or the read)
    Differences = 5,    // written, but the device read back holds other values
};
// The word the log and the last line on standard error give an outcome.
QString outcomeWord(Outcome outcome);

// One line of the provisioning log, a CSV file (RFC 4180) that grows by one
// line per write.
struct LogEntry
{
    QDateTime time;
    QString port;
    QString devEui;
    QString firmware;
    QString fileName;
    QByteArray fileContent;
    Outcome outcome;
};
extern const char kLogHeader[];
QByteArray logLine(const LogEntry &entry);

// The settings of a written form that the dump carries and the write sent,
// whose value read back differs: "group.key: wrote A, read back B".
QStringList differences(const ConfigFile::FormValues &written, const ConfigFile::FormValues &readBack,
                        const QVector<const Upload::Step *> &rowsSent);

} // namespace Provisioning

#endif // PELKO_PROVISIONING_H
