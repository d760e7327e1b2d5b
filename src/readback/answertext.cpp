#include "answertext.h"

namespace {
const QChar kEscape(0x1b);
const QLatin1String kAppKeyLabel("AppKey : ");
const int kMaskedKeyLength = 26;

// Position of the first ESC "[3<digit>m" at or after `from`, or -1.
int findColourOpener(const QString &text, int from)
{
    for (int i = text.indexOf(kEscape, from); i >= 0; i = text.indexOf(kEscape, i + 1)) {
        if (i + 4 < text.size() && text.at(i + 1) == QLatin1Char('[') && text.at(i + 2) == QLatin1Char('3') &&
            text.at(i + 3).isDigit() && text.at(i + 4) == QLatin1Char('m'))
            return i;
    }
    return -1;
}
} // namespace

QString stripFirstColourPair(const QString &text)
{
    // Only answers coloured by the device's own red, green or yellow marks
    // are cleaned; other escape sequences are left as received.
    if (!text.contains(QLatin1String("[31m")) && !text.contains(QLatin1String("[32m")) &&
        !text.contains(QLatin1String("[33m")))
        return text;

    const int opener = findColourOpener(text, 0);
    if (opener < 0)
        return text;
    const QString closerMark = QString(kEscape) + QLatin1String("[0m");
    const int closer = text.indexOf(closerMark, opener + 5);
    if (closer < 0)
        return text;

    QString result = text;
    result.remove(closer, closerMark.size());
    result.remove(opener, 5);
    return result;
}

QString maskAppKey(const QString &text)
{
    if (!text.contains(kAppKeyLabel, Qt::CaseSensitive))
        return text;
    const int label = text.indexOf(kAppKeyLabel, 0, Qt::CaseInsensitive);
    const int keyStart = label + kAppKeyLabel.size();
    QString result = text;
    result.replace(keyStart, kMaskedKeyLength, QString(kMaskedKeyLength, QLatin1Char('X')));
    return result;
}

QString consoleEcho(const QByteArray &answer)
{
    // The dump separates its lines with NUL bytes; a NUL would end the text
    // there (and a text box shows nothing past it), so they are left out.
    QByteArray text = answer;
    text.replace('\0', QByteArray());
    return maskAppKey(stripFirstColourPair(QString::fromUtf8(text.constData(), text.size())));
}

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
