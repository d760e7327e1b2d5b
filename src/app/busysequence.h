#ifndef PELKO_BUSYSEQUENCE_H
#define PELKO_BUSYSEQUENCE_H

class MainWindow;
class QObject;

// One click's run of exchanges with the device. The window cannot answer the
// user while it waits for the device, so for as long as the sequence runs the
// cursor says so, and the mouse clicks and key presses made on the window
// meanwhile are dropped: carried out afterwards, they would start commands
// the user never saw being accepted. Sequences nest (a tool that reconnects
// runs the connection inside its own click); only the outermost one counts.
class BusySequence
{
public:
    explicit BusySequence(MainWindow *window);
    ~BusySequence();
    BusySequence(const BusySequence &) = delete;
    BusySequence &operator=(const BusySequence &) = delete;

private:
    MainWindow *m_window;
    QObject *m_dropper = nullptr; // the outermost sequence's
};

#endif // PELKO_BUSYSEQUENCE_H
