#ifndef PELKO_TYPEDLINE_H
#define PELKO_TYPEDLINE_H

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// A command line typed by the technician on the Tools tab, or given to
// pelko-provision: whether it may go out, whether it only reads the device,
// and the lines sent before it.
namespace TypedLine {

// The longest line the device takes, without its CR LF, in bytes.
constexpr int kMostBytes = 64;

// Why the line is not sent (empty, too long for the device, a control
// character that would end it early or be taken as a key), or nothing when
// it may go. Blanks around it do not count.
QString refusal(const QString &line);

// The line as it goes out: without the blanks around it, UTF-8.
QByteArray wireText(const QString &line);

// The reading commands the program itself sends, by their command word
// ("VERSION", "LORA GET", "DUMP RAM PARAM", "BATTERY GET LIFE", "READY"), or
// empty: a line that may change what the device holds.
QByteArray readingCommand(const QString &line);

// "reset" and "poweroff": the device goes away after them.
bool restarts(const QString &line);
bool powersOff(const QString &line);

// The console kept in a file: a first line with the UTC time of the
// connection's banner (without one, of `savedUtc`), then the text as shown,
// the keys masked.
QString consoleFile(const QString &console, const QDateTime &savedUtc);

// The lines sent in one window, the newest last, the oldest forgotten past
// `kMostLines`. A line holding a key is kept with the key masked and is
// never sent again from here.
class History
{
public:
    static constexpr int kMostLines = 100;

    void add(const QString &line);
    // One line older (Up) or newer (Down) than the one shown; past the newest
    // the line edit is empty again. Stays where it is at the oldest.
    QString older();
    QString newer();
    // True when `line` is a masked line of the history, which cannot go out.
    bool isMaskedEntry(const QString &line) const;
    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
    QVector<bool> m_keyed; // the line at the same index held a key
    int m_shown = 0;       // index into m_lines; m_lines.size() is the empty line past the newest
};

} // namespace TypedLine

#endif // PELKO_TYPEDLINE_H
