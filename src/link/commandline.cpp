#include "commandline.h"

namespace {
const QByteArray kCrLf("\r\n");
} // namespace

QByteArray CommandLine::withoutEnding() const
{
    if (endsWithCrLf && bytes.endsWith(kCrLf))
        return bytes.left(bytes.size() - kCrLf.size());
    return bytes;
}

CommandLine buildCommandLine(const QByteArray &cmd, const QByteArray &param, int value, const QString &text)
{
    CommandLine line;
    if (cmd == "READY" || cmd == "VERSION" || cmd == "DISCONNECTE" || cmd == "reset") {
        line.bytes = cmd;
    } else if (cmd == "ALGO" && param.isEmpty()) {
        line.bytes = "ALGO 0x" + QByteArray::number(value, 16);
    } else if (cmd == "LORA SET" && param != "JRERROR" && param != "DEFAULT_DR") {
        line.bytes = cmd + ' ' + param + ' ' + text.toUtf8();
        // The device takes these two values up to the end of what it receives.
        if (param == "NWKID" || param == "DEVADDR") {
            line.endsWithCrLf = false;
            return line;
        }
    } else if (cmd == "DEBUG") {
        line.bytes = cmd + ' ' + param;
    } else {
        line.bytes = cmd + ' ' + param + ' ' + QByteArray::number(value);
    }
    line.bytes += kCrLf;
    return line;
}

QByteArray trimAnswer(const QByteArray &answer)
{
    if (answer.size() >= 3)
        return answer.left(answer.size() - 3);
    return answer;
}

int judgeAnswer(const QByteArray &cmd, const QByteArray &trimmedAnswer)
{
    if (trimmedAnswer.contains("NOK") && cmd != "VERSION")
        return CommandRefused;
    if (trimmedAnswer.contains("OK"))
        return CommandAccepted;
    return CommandNoAnswer;
}

QString refusalNote(const QByteArray &cmd, const QByteArray &param)
{
    return QLatin1String(" : Command '") + QString::fromUtf8(cmd) + QLatin1Char(' ') + QString::fromUtf8(param) +
           QLatin1String("' failed");
}

QString unsentTextNote(const QByteArray &cmd, const QByteArray &param, const char *field)
{
    return QLatin1String("Command '") + QString::fromUtf8(cmd) + QLatin1Char(' ') + QString::fromUtf8(param) +
           QLatin1String("' not sent: the field ") + QLatin1String(field) +
           QLatin1String(" holds a control character\n");
}

QString consoleBannerFor(const QByteArray &cmd)
{
    if (cmd == "poweroff")
        return QStringLiteral("\n--------------------------> POWEROFF <--------------------------\n");
    if (cmd == "reset")
        return QStringLiteral("\n---------------------------> REBOOT <---------------------------\n");
    return QString();
}

bool isSaveLine(const QByteArray &line)
{
    return line.contains("SAVEPARAM");
}
