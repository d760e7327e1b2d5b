#ifndef PELKO_DIALOGWATCHER_H
#define PELKO_DIALOGWATCHER_H

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// What a user was shown in one message box.
struct SeenDialog
{
    QString kind; // "information", "warning", "critical" or "question"
    QString title;
    QString text;
    qint64 shownAtMs = 0;     // on the watcher's clock
    qint64 dismissedAtMs = 0; // on the watcher's clock
};

// Watches for the program's modal message boxes, records what they say and
// presses OK after a chosen delay, so that tests can drive the window
// without a modal loop stalling them.
class DialogWatcher : public QObject
{
    Q_OBJECT

public:
    explicit DialogWatcher(int dismissAfterMs = 0, QObject *parent = nullptr);

    void setDismissDelay(int ms) { m_dismissAfterMs = ms; }
    QList<SeenDialog> seen() const { return m_seen; }
    QStringList titles() const;
    // "title: text" of every box, for readable failure messages.
    QString summary() const;
    bool sawTitle(const QString &title) const { return titles().contains(title); }
    void clear() { m_seen.clear(); }

private:
    void poll();

    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_dismissAfterMs;
    QList<SeenDialog> m_seen;
};

#endif // PELKO_DIALOGWATCHER_H
