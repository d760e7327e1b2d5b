#ifndef PELKO_ANSWERTEXT_H
#define PELKO_ANSWERTEXT_H

#include "link/consoletext.h"

#include <QByteArray>

// The battery level from a "BATTERY GET LIFE" answer: what follows the last
// "Battery: " up to the first "%". The answer is shortened in place to what
// follows that label. Without the label the answer is left alone and the
// level is empty, which the battery tool reports as a failed reading.
QByteArray takeBatteryLevel(QByteArray &answer);

#endif // PELKO_ANSWERTEXT_H
