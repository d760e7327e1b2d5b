#ifndef PELKO_BUSYSEQUENCE_H
#define PELKO_BUSYSEQUENCE_H

#include <QPair>
#include <QString>

class MainWindow;

// One click's run of exchanges with the device. The window keeps repainting
// while it waits for the device, but for as long as the sequence runs the
// cursor says it is busy, the stop button offers a Stop, and the rest of the
// form is locked: input of any kind would start a second operation, or
// change the form, in the middle of the first. The sequence is the session's
// operation: one begun inside another (a tool that reconnects runs the
// connection inside its own click) belongs to the outer one and changes
// nothing.
class BusySequence
{
public:
    explicit BusySequence(MainWindow *window);
    ~BusySequence();
    BusySequence(const BusySequence &) = delete;
    BusySequence &operator=(const BusySequence &) = delete;

    // The click's own sequence, not one inside another.
    bool outermost() const { return m_outermost; }

private:
    MainWindow *m_window;
    bool m_outermost;
    QPair<bool, QString> m_stopWas; // the stop button before the sequence
};

#endif // PELKO_BUSYSEQUENCE_H
