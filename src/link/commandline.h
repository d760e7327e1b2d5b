#ifndef PELKO_COMMANDLINE_H
#define PELKO_COMMANDLINE_H

#include <QByteArray>
#include <QString>

// Result codes of one exchange with the device.
enum CommandResult {
    CommandAccepted = 0,  // the answer holds "OK"
    CommandRefused = -1,  // not written, or the answer holds "NOK"
    CommandNoAnswer = -2, // written, but the answer holds no "OK"
};

// One request line as it goes over the wire.
struct CommandLine
{
    QByteArray bytes;         // what is written to the port
    bool endsWithCrLf = true; // the NWKID and DEVADDR lines are sent bare

    // The line without its CR LF, as it is logged.
    QByteArray withoutEnding() const;
};

// Builds the request line from the command word, the parameter word, the
// value and the text, in the first of these forms that fits:
//   READY / VERSION / DISCONNECTE / reset   the word alone
//   ALGO with no parameter                  "ALGO 0x<mask in lower-case hex>"
//   LORA SET (but JRERROR, DEFAULT_DR)      "LORA SET <param> <text>"
//   DEBUG                                   "DEBUG <param>"
//   anything else                           "<cmd> <param> <decimal value>"
CommandLine buildCommandLine(const QByteArray &cmd, const QByteArray &param, int value, const QString &text);

// The answer as it is logged and judged: its last three bytes are the
// device's prompt trailer and carry no verdict. Answers shorter than the
// trailer are kept whole.
QByteArray trimAnswer(const QByteArray &answer);

// Verdict on a trimmed answer. "NOK" refuses any command but VERSION (whose
// answer may hold "NOK" in its text and still count as accepted, since "NOK"
// contains "OK"); otherwise "OK" accepts. The search is case-sensitive.
int judgeAnswer(const QByteArray &cmd, const QByteArray &trimmedAnswer);

// Note left in the console, just before the echoed answer's last two
// characters, when the device refuses a command.
QString refusalNote(const QByteArray &cmd, const QByteArray &param);

// Note left in the console when a text is not sent at all because it holds
// a control character (a CR or LF would end the line early and make the rest
// a command of its own); it names the command and the form field.
QString unsentTextNote(const QByteArray &cmd, const QByteArray &param, const char *field);

// Console banner written before "poweroff" and "reset" are sent; empty for
// every other command.
QString consoleBannerFor(const QByteArray &cmd);

// Lines holding "SAVEPARAM" make the device write its flash: their answer is
// awaited with a longer quiet time.
bool isSaveLine(const QByteArray &line);

#endif // PELKO_COMMANDLINE_H
