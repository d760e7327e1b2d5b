#include "busysequence.h"

#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QDebug>
#include <QPushButton>
#include <QWidget>

BusySequence::BusySequence(MainWindow *window) : m_window(window), m_outermost(window->m_session.beginOperation())
{
    if (!m_outermost)
        return;
    m_window->stopTold.reset();
    m_window->stopButtonKept = false;
    QPushButton *stop = m_window->ui->stopButton;
    m_stopWas = {stop->isEnabled(), stop->text()};
    stop->setEnabled(true);
    stop->setText(MainWindow::tr("Stop"));
    m_window->formLock.setLocked(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Let the cursor and the pressed button be drawn before the first line goes.
    m_window->m_session.catchUp(QEventLoop::ExcludeUserInputEvents);
}

BusySequence::~BusySequence()
{
    if (!m_outermost)
        return;
    // A click that left the stop button alone gives it back as it was.
    QPushButton *stop = m_window->ui->stopButton;
    if (!m_window->stopButtonKept) {
        stop->setEnabled(m_stopWas.first);
        stop->setText(m_stopWas.second);
    }
    m_window->stopButtonKept = false;
    // What the user clicked or typed meanwhile is taken from the queue while
    // the operation still runs and the form is still locked: a Stop among
    // it finds nothing left to stop, and nothing else gets through.
    m_window->m_session.catchUp(QEventLoop::AllEvents);
    m_window->formLock.setLocked(false);
    QApplication::restoreOverrideCursor();
    // A device lost meanwhile is told now, after the operation's own outcome.
    m_window->m_session.endOperation();
    if (m_window->closeWhenIdle)
        QTimer::singleShot(0, m_window, &QWidget::close);
}

OperationResult MainWindow::operation(const std::function<bool()> &work, Error stoppedAs)
{
    // One operation at a time: what reaches the window while it waits on the
    // device (a timer, a program calling the window) starts nothing.
    if (m_session.waiting()) {
        qDebug() << "Refused: another operation is under way";
        return {};
    }
    // The record outlives the sequence: a device lost meanwhile is told when
    // the sequence ends, and that is part of the operation's outcome.
    const OperationRecord record;
    bool done = false;
    bool stopped = false;
    bool outermost = false;
    {
        const BusySequence busy(this);
        done = work();
        outermost = busy.outermost();
        stopped = m_session.stopping();
        // The innermost operation the Stop cut short knows what it left.
        if (stopped && !stopTold)
            stopTold = stoppedAs;
        if (stopped && outermost) {
            qDebug() << "*--------------- STOPPED ---------------*";
            reportError(this, ui->leVersion, *stopTold);
        }
    }
    OperationResult result = record.result(done && !stopped);
    result.stopped = stopped;
    return result;
}

void MainWindow::fail(Error error)
{
    if (!m_session.haltAsked())
        reportError(this, ui->leVersion, error);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_session.operating()) {
        // Stopped first: the line in flight finishes, then the window closes.
        m_session.requestStop();
        closeWhenIdle = true;
        event->ignore();
        return;
    }
    closeWhenIdle = false;
    m_session.close();
    QMainWindow::closeEvent(event);
}
