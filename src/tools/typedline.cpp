#include "typedline.h"

#include "link/consoletext.h"

namespace TypedLine {

namespace {
const char *const kReadingCommands[] = {"VERSION", "LORA GET", "DUMP RAM PARAM", "BATTERY GET LIFE", "READY"};
} // namespace

QString refusal(const QString &line)
{
    for (const QChar c : line) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("the line holds a control character");
    }
    const QByteArray text = wireText(line);
    if (text.isEmpty())
        return QStringLiteral("the line is empty");
    if (text.size() > kMostBytes)
        return QStringLiteral("the line is longer than the %1 characters the Pelko takes").arg(kMostBytes);
    return QString();
}

QByteArray wireText(const QString &line)
{
    return line.trimmed().toUtf8();
}

QByteArray readingCommand(const QString &line)
{
    QByteArray text = wireText(line);
    for (const char *command : kReadingCommands) {
        if (text == command)
            return text;
    }
    return QByteArray();
}

bool restarts(const QString &line)
{
    return wireText(line) == "reset";
}

bool powersOff(const QString &line)
{
    return wireText(line) == "poweroff";
}

QString consoleFile(const QString &console, const QDateTime &savedUtc)
{
    static const QString opener = QStringLiteral("----------------------> ");
    static const QString closer = QStringLiteral(" <----------------------");
    const int end = int(console.indexOf(closer));
    const bool banner =
        console.startsWith(opener) && end > opener.size() && !console.left(end).contains(QLatin1Char('\n'));
    const QString time = banner ? console.mid(opener.size(), end - opener.size()) : savedUtc.toString(Qt::TextDate);
    return QStringLiteral("Pelko Configurator console, %1 %2 UTC\n")
               .arg(banner ? QStringLiteral("connected") : QStringLiteral("saved"), time) +
           maskKeys(console);
}

void History::add(const QString &line)
{
    const QString shown = maskKeys(line.trimmed());
    // The same line twice in a row is walked past once.
    if (m_lines.isEmpty() || m_lines.constLast() != shown) {
        m_lines << shown;
        m_keyed << (shown != line.trimmed());
    }
    while (m_lines.size() > kMostLines) {
        m_lines.removeFirst();
        m_keyed.removeFirst();
    }
    m_shown = int(m_lines.size());
}

QString History::older()
{
    if (m_shown > 0)
        --m_shown;
    return m_lines.value(m_shown);
}

QString History::newer()
{
    if (m_shown < m_lines.size())
        ++m_shown;
    return m_lines.value(m_shown);
}

bool History::isMaskedEntry(const QString &line) const
{
    const int at = int(m_lines.indexOf(line.trimmed()));
    return at >= 0 && m_keyed.at(at);
}

} // namespace TypedLine
