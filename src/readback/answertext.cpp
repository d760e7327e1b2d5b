#include "answertext.h"

QByteArray takeBatteryLevel(QByteArray &answer)
{
    static const QByteArray label("Battery: ");
    const int at = answer.lastIndexOf(label);
    if (at < 0)
        return QByteArray();
    answer.remove(0, at + label.size());
    const int percent = answer.indexOf('%');
    if (percent < 0)
        return QByteArray();
    return answer.left(percent);
}
