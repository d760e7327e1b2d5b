#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "link/commandline.h"
#include "link/consoletext.h"
#include "link/timing.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace {

// Writes a text at the end of the console and brings it into view.
void appendToConsole(QTextEdit *console, const QString &text)
{
    QTextCursor cursor = console->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    console->setTextCursor(cursor);
    console->ensureCursorVisible();
}

// A save line is read with the long quiet time of a flash write; the usual
// quiet time comes back however the read ends.
class SaveReadTimeout
{
public:
    explicit SaveReadTimeout(bool active) : m_active(active)
    {
        if (m_active) {
            savedReadTimeout = readTimeout;
            readTimeout = LinkLimits::saveReadTimeoutMs;
        }
    }
    ~SaveReadTimeout()
    {
        if (m_active)
            readTimeout = savedReadTimeout;
    }
    SaveReadTimeout(const SaveReadTimeout &) = delete;
    SaveReadTimeout &operator=(const SaveReadTimeout &) = delete;

private:
    bool m_active;
};

} // namespace

int MainWindow::sendOneCommand(const QByteArray &cmd, const QByteArray &param, int value, const QString &text)
{
    const CommandLine line = buildCommandLine(cmd, param, value, text);

    // Outside a click there is no sequence for a cut-off answer to stop.
    if (sequenceDepth == 0)
        answerCutOff = false;
    if (answerCutOff) {
        qDebug() << "Not sent :" << maskKeys(line.withoutEnding()) << "(the device did not stop talking)";
        return CommandRefused;
    }
    // The goodbye of a Disconnect goes whatever was asked meanwhile: taking
    // the link down is what a Stop leads to anyway.
    if (cmd != "DISCONNECTE" && haltAsked()) {
        qDebug() << "Not sent :" << maskKeys(line.withoutEnding()) << "(stopped)";
        return CommandRefused;
    }

    const QString banner = consoleBannerFor(cmd);
    if (!banner.isEmpty())
        appendToConsole(ui->consoleOutput, banner);

    takeStaleBytes();
    if (write(line.bytes) != 0)
        return CommandRefused;

    QByteArray answer;
    {
        const SaveReadTimeout saveTimeout(isSaveLine(line.bytes));
        read(answer);
    }

    answerReader(cmd, answer);
    if (cmd == "VERSION")
        settleQuietTime(firmwareVersion);

    const QByteArray trimmed = trimAnswer(answer);
    // The trace shows what went and came, the device's keys masked.
    qDebug() << "CMD sent :" << maskKeys(line.withoutEnding()) << "==> Pelko answers :" << maskKeys(trimmed);

    // An answer cut off by the read cap is not a whole answer, whatever it holds.
    const int result = answerCutOff ? CommandNoAnswer : judgeAnswer(cmd, trimmed);
    if (result == CommandRefused) {
        // The note goes just before the answer's closing line break, so it
        // reads as part of the refused answer.
        QTextEdit *console = ui->consoleOutput;
        QTextCursor cursor = console->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 2);
        cursor.insertText(refusalNote(cmd, param));
        console->setTextCursor(cursor);
        console->ensureCursorVisible();
    }
    return result;
}

void MainWindow::takeStaleBytes()
{
    // A late answer to an earlier line, or noise the device made while
    // nobody asked: the user sees it (one answer's worth at most), but it
    // answers nothing. All that is already there goes, so none of it can be
    // read as the coming line's answer.
    QByteArray stale;
    qint64 dropped = 0;
    QElapsedTimer clock;
    clock.start();
    while (serial.isOpen() && clock.elapsed() < LinkLimits::maxReadDurationMs) {
        if (serial.bytesAvailable() == 0 && !serial.waitForReadyRead(0))
            break;
        const QByteArray bytes = serial.readAll();
        const int room = qMax(0, LinkLimits::maxAnswerBytes - stale.size());
        stale.append(bytes.left(room));
        dropped += qMax(0, bytes.size() - room);
    }
    if (stale.isEmpty())
        return;
    qDebug() << "Before the line went out, the device had sent :" << maskKeys(stale);
    if (dropped > 0)
        qDebug() << "and" << dropped << "bytes more, not shown";
    appendToConsole(ui->consoleOutput, consoleEcho(stale));
}

void MainWindow::noteInConsole(const QString &text)
{
    appendToConsole(ui->consoleOutput, text);
}

int MainWindow::write(const QByteArray &writeData)
{
    const qint64 written = serial.isOpen() ? serial.write(writeData) : -1;
    if (written == -1) {
        qDebug() << QStringLiteral("Failed to write the data to port %1, error: %2")
                        .arg(serial.portName(), serial.errorString());
        return -1;
    }
    if (written != writeData.size()) {
        qDebug() << QStringLiteral("Failed to write all the data to port %1, error: %2")
                        .arg(serial.portName(), serial.errorString());
        return -1;
    }
    return 0;
}

int MainWindow::read(QByteArray &readData)
{
    // The answer ends when the device pauses for readTimeout. A device that
    // never pauses is cut off after a bounded time or size, so the window
    // cannot hang on it for good; the rest of the click is then not sent, so
    // one click meets the cap once.
    QElapsedTimer clock;
    clock.start();
    while (readData.size() < LinkLimits::maxAnswerBytes && clock.elapsed() < LinkLimits::maxReadDurationMs) {
        if (!waitForDevice(readTimeout))
            return 1;
        const qint64 room = LinkLimits::maxAnswerBytes - readData.size();
        readData.append(serial.read(room));
    }
    qDebug() << "Answer cut off after" << clock.elapsed() << "ms and" << readData.size()
             << "bytes: the device did not pause";
    answerCutOff = true;
    return 1;
}

bool MainWindow::waitForDevice(int quietMs)
{
    if (!serial.isOpen())
        return false;
    if (serial.bytesAvailable() > 0)
        return true;
    // The event loop turns while the device is quiet: the window repaints,
    // and of the user's input only the stop button and closing the window get
    // through (the sequence drops the rest). A port closed meanwhile (the
    // device went) ends the wait at once.
    QEventLoop loop;
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setTimerType(Qt::PreciseTimer);
    connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&serial, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    connect(&serial, &QIODevice::aboutToClose, &loop, &QEventLoop::quit);
    quiet.start(qMax(0, quietMs));
    turnEventLoop([&loop] { loop.exec(); });
    return serial.isOpen() && serial.bytesAvailable() > 0;
}

void MainWindow::pause(int ms, bool stoppable)
{
    // A pause of 0 only lets the window catch up between two slow steps.
    QElapsedTimer clock;
    clock.start();
    qint64 left = ms;
    do {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(qMin<qint64>(left, LinkLimits::stopCheckMs)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        turnEventLoop([&loop] { loop.exec(); });
        left = ms - clock.elapsed();
    } while (left > 0 && !(stoppable && haltAsked()));
}

void MainWindow::turnEventLoop(const std::function<void()> &turn)
{
    ++waitDepth;
    turn();
    --waitDepth;
}

bool MainWindow::haltAsked()
{
    if (sequenceDepth == 0)
        return false;
    if (stopRequested != 0)
        stopping = true;
    return stopping;
}
