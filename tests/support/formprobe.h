#ifndef PELKO_FORMPROBE_H
#define PELKO_FORMPROBE_H

#include "report/errors.h"

#include <QPushButton>
#include <QString>
#include <QTextEdit>
#include <QWidget>

#include <QList>
#include <QMetaType>

// Finds the window's widgets by their object names and clicks them, so that a
// test reads as what a user sees and does.
class FormProbe
{
public:
    explicit FormProbe(QWidget &window) : m_window(window) {}

    template<class T = QPushButton>
    T *find(const char *name) const
    {
        return m_window.findChild<T *>(QLatin1String(name));
    }
    void click(const char *name) const { find<QPushButton>(name)->click(); }
    QString text(const char *name) const { return find<QPushButton>(name)->text(); }
    bool enabled(const char *name) const { return find<QWidget>(name)->isEnabled(); }
    QTextEdit *status() const { return find<QTextEdit>("leVersion"); }

    // The status box's text and its looks, as statusOf() spells them.
    QString statusShown() const;

private:
    QWidget &m_window;
};

Q_DECLARE_METATYPE(Error)

// The status box as an error leaves it: its text on red.
QString statusOf(Error error);

// The boxes of these errors, in DialogWatcher::summary()'s words.
QString boxesOf(const QList<Error> &errors);

#endif // PELKO_FORMPROBE_H
