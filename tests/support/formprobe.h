#ifndef PELKO_FORMPROBE_H
#define PELKO_FORMPROBE_H

#include "mainwindow.h"
#include "report/errors.h"

#include <QPushButton>
#include <QString>
#include <QTextEdit>
#include <QWidget>

#include <QByteArray>
#include <QList>
#include <QMetaType>

class DebugLog;

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
    // Clicks a box on its indicator: a stretched box takes no clicks beyond its text.
    void tick(const char *name) const;
    QString text(const char *name) const { return find<QPushButton>(name)->text(); }
    bool enabled(const char *name) const { return find<QWidget>(name)->isEnabled(); }
    bool checked(const char *name) const { return find<QAbstractButton>(name)->isChecked(); }
    QTextEdit *status() const { return find<QTextEdit>("leVersion"); }

    // The status box's text and its looks, as statusOf() spells them.
    QString statusShown() const;

    // Plays a click script on a MainWindow and returns the first step whose
    // expectation is not met (empty when all are). Steps, separated by
    // blanks: a name ticks that box; "+name" / "-name" expect it enabled /
    // disabled, "*name" / "!name" checked / unchecked; "=N" expects the
    // algorithm count; "%N" moves the range slider and "@N" expects its
    // position; "up" / "flat" expect the orientation shown; "#text" expects a
    // debug trace holding the text, "~" standing for a blank (needs a DebugLog).
    QByteArray play(const QByteArray &script, const DebugLog *log = nullptr) const;

private:
    QWidget &m_window;
};

// A shown window, as the connection leaves it for a device of `release`
// ("1.9.2", "2.2"; empty: never identified), and its probe.
struct ShownForm
{
    explicit ShownForm(const QByteArray &release = QByteArray());
    MainWindow window;
    FormProbe probe{window};
};

Q_DECLARE_METATYPE(Error)

// The status box as an error leaves it: its words on red.
QString statusOf(Error error);

// The boxes of these errors, word for word as DialogWatcher::summary() gives them.
QString boxesOf(const QList<Error> &errors);

#endif // PELKO_FORMPROBE_H
