#ifndef PELKO_CONSOLETEXT_H
#define PELKO_CONSOLETEXT_H

#include <QByteArray>
#include <QString>

// The text of a device answer as the console shows it: decoded as UTF-8, the
// first colour pair (ESC "[3<d>m" ... ESC "[0m") taken out when the answer is
// coloured in red, green or yellow, and the keys masked. Anything that is
// not a well-formed pair is shown as received.
QString consoleEcho(const QByteArray &answer);

// Removes the first well-formed colour pair from the text. Returns the text
// unchanged when there is none.
QString stripFirstColourPair(const QString &text);

// The device's keys (AppKey and the two session keys), as its answers and
// the command lines that set them carry them, never reach the console, the
// debug log or anything printed: the 26 characters after each label become X
// (the key's last six digits stay readable for checking which key it is).
// The wire alone carries them whole.
QString maskKeys(const QString &text);
QByteArray maskKeys(const QByteArray &text);

#endif // PELKO_CONSOLETEXT_H
