#ifndef PELKO_ANSWERTEXT_H
#define PELKO_ANSWERTEXT_H

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

// The battery level from a "BATTERY GET LIFE" answer: what follows the last
// "Battery: " up to the first "%". The answer is shortened in place to what
// follows that label. Without the label the answer is left alone and the
// level is empty, which the battery tool reports as a failed reading.
QByteArray takeBatteryLevel(QByteArray &answer);

#endif // PELKO_ANSWERTEXT_H
