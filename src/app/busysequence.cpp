#include "busysequence.h"

#include "mainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

// Eats the input meant for the busy window; boxes shown during the sequence
// (a window of their own) still get theirs.
class InputDropper : public QObject
{
public:
    explicit InputDropper(QWidget *window) : m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::Wheel:
            break;
        default:
            return false;
        }
        const auto *widget = qobject_cast<const QWidget *>(watched);
        return widget && widget->window() == m_window;
    }

private:
    QWidget *m_window;
};

} // namespace

BusySequence::BusySequence(MainWindow *window) : m_window(window)
{
    if (m_window->sequenceDepth++ > 0)
        return;
    m_window->answerCutOff = false;
    m_dropper = new InputDropper(m_window);
    qApp->installEventFilter(m_dropper);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Let the cursor and the pressed button be drawn before the window blocks.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

BusySequence::~BusySequence()
{
    if (--m_window->sequenceDepth > 0)
        return;
    if (m_window->lossPending)
        m_window->lossReporter();
    // What the user clicked or typed while the window waited is taken from
    // the queue now, with the dropper still in place.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(m_dropper);
    delete m_dropper;
    QApplication::restoreOverrideCursor();
}

OperationResult MainWindow::operation(const std::function<bool()> &work)
{
    // The record outlives the sequence: a device lost meanwhile is told when
    // the sequence ends, and that is part of the operation's outcome.
    const OperationRecord record;
    bool done = false;
    {
        const BusySequence busy(this);
        done = work();
    }
    return record.result(done);
}
