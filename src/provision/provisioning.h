#ifndef PELKO_PROVISIONING_H
#define PELKO_PROVISIONING_H

#include "model/catalogue.h"

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
    Done = 0,             // written and verified (write), saved (read), listed (list)
    Usage = 1,            // the command line was not understood, or the log or read's file cannot be written
    RefusedFile = 2,      // the file cannot be applied whole: nothing was written
    DeviceNotFound = 3,   // no device on that port, or it did not answer
    WriteFailed = 4,      // the device refused or lost part of the write (or the read)
    Differences = 5,      // written, but the device read back holds other values
    Interrupted = 6,      // stopped by a signal before any save of the write (or during a read or check)
    PortBusy = 7,         // another program holds the port
    LogFailed = 8,        // written and verified, but its log line could not be written
    SavedNotVerified = 9, // written and saved whole, then stopped by a signal before the read-back ended
    PartlySaved = 10,     // stopped by a signal between the saves: the algorithm settings saved, LoRa not
};
// The word the log and the last line on standard error give an outcome.
// A check's outcome is "matches" or "differs"; its others are a write's.
QString outcomeWord(Outcome outcome, bool check = false);

// One line of the provisioning log, a CSV file (RFC 4180) that grows by one
// line per write or check, which its last column names.
struct LogEntry
{
    QDateTime time;
    QString port;
    QString devEui;
    QString firmware;
    QString fileName;
    QByteArray fileContent;
    Outcome outcome;
    bool check = false; // a check, which writes nothing: its words are its own
};
extern const char kLogHeader[];
QByteArray logLine(const LogEntry &entry);

// What the device reports, in a fresh session, of the settings a write sent
// (the last line of each setting counts): the parameter dump and the answer
// to "LORA GET". A setting sent that neither reports is not checked.
struct Verification
{
    QStringList differences; // "group.key: wrote A, read back B", in the file's units
    QStringList notChecked;  // "group.key"
};
Verification verify(const QVector<Upload::SentLine> &sent, const QByteArray &dump, const QByteArray &loraAnswer);
// The same for the lines a write of a file would send, before any is sent:
// "group.key: file A, device B".
Verification check(const QVector<Upload::SentLine> &planned, const QByteArray &dump, const QByteArray &loraAnswer);

// The first line of a write the device did not accept, as the technician
// would read it ("the device refused \"CHOC gxSup 5000\""); empty when every
// line sent was accepted. Texts are not shown: they may be keys.
QString failedLine(const QVector<Upload::SentLine> &sent);

} // namespace Provisioning

#endif // PELKO_PROVISIONING_H
