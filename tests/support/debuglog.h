#ifndef PELKO_DEBUGLOG_H
#define PELKO_DEBUGLOG_H

#include <QString>
#include <QStringList>

// Collects the program's debug-log records while it lives. Set
// PELKO_TEST_VERBOSE=1 to also print them.
class DebugLog
{
public:
    DebugLog();
    ~DebugLog();
    DebugLog(const DebugLog &) = delete;
    DebugLog &operator=(const DebugLog &) = delete;

    QStringList lines() const;
    // True when some record contains the text.
    bool contains(const QString &text) const { return count(text) > 0; }
    int count(const QString &text) const { return int(lines().filter(text).size()); }
    void clear();
};

#endif // PELKO_DEBUGLOG_H
