#include "consoletext.h"

namespace {
const QChar kEscape(0x1b);
const int kMaskedKeyLength = 26;
const char *const kKeyLabels[] = {
    "AppKey : ", "NwkSKey : ", "AppSKey : ", "LORA SET APPKEY ", "LORA SET NWKSKEY ", "LORA SET APPSKEY "};

// Every label is looked for in the text as received, so that a key's mask
// cannot hide the label of the next key and leave that key readable.
template<typename Text, typename Char>
Text masked(const Text &text, Char x)
{
    Text out = text;
    for (const char *label : kKeyLabels) {
        const Text labelText(label);
        for (auto at = text.indexOf(labelText); at >= 0; at = text.indexOf(labelText, at + 1)) {
            const auto keyStart = at + labelText.size();
            if (out.size() < keyStart + kMaskedKeyLength)
                out.resize(keyStart + kMaskedKeyLength);
            for (auto i = keyStart; i < keyStart + kMaskedKeyLength; ++i)
                out[i] = x;
        }
    }
    return out;
}

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

QString maskKeys(const QString &text)
{
    return masked(text, QLatin1Char('X'));
}

QByteArray maskKeys(const QByteArray &text)
{
    return masked(text, 'X');
}

QString consoleEcho(const QByteArray &answer)
{
    // The dump separates its lines with NUL bytes; a NUL would end the text
    // there (and a text box shows nothing past it), so they are left out.
    QByteArray text = answer;
    text.replace('\0', QByteArray());
    return maskKeys(stripFirstColourPair(QString::fromUtf8(text.constData(), text.size())));
}
