#include "devicesession.h"

#include "firmware/releases.h"
#include "link/commandline.h"
#include "link/consoletext.h"
#include "link/serialports.h"
#include "link/timing.h"
#include "readback/answertext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

DeviceSession::DeviceSession(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceSession::portFailed);
}

DeviceSession::~DeviceSession()
{
    // Closing the port as it is destroyed must not reach a session half gone.
    disconnect(&m_port, nullptr, this, nullptr);
}

DeviceSession::State DeviceSession::state() const
{
    if (m_operating)
        return m_stopping ? State::Stopping : State::Busy;
    if (!m_port.isOpen())
        return m_notFound ? State::NotFound : State::Idle;
    if (!m_connected)
        return State::Stalled;
    return m_configured ? State::Configured : State::Connected;
}

int DeviceSession::quietMs() const
{
    return m_promptSeen ? m_limits.fastReadTimeoutMs : m_limits.quietMs;
}

void DeviceSession::noteState()
{
    const State now = state();
    if (now == m_shown)
        return;
    m_shown = now;
    emit stateChanged(now);
}

void DeviceSession::setLinkReady(bool ready)
{
    m_linkReady = ready;
    noteState();
}

void DeviceSession::setConnected(bool connected, bool configured)
{
    m_connected = connected;
    m_configured = connected && configured;
    noteState();
}

QList<SerialPortEntry> DeviceSession::listedPorts() const
{
    return availableSerialPorts(m_onlyPort);
}

DeviceSession::Opening DeviceSession::openDevicePort()
{
    m_notFound = false;
    m_openError.clear();
    m_heldElsewhere = false;
    // Listing the ports takes the system some milliseconds: the window
    // catches up before and after.
    pause(0, false);
    const QList<SerialPortEntry> ports = m_knownPort ? QList<SerialPortEntry>{*m_knownPort} : listedPorts();
    pause(0, false);
    bool found = false;
    for (const SerialPortEntry &entry : ports) {
        qDebug().noquote() << "Port name : " + entry.portName;
        qDebug().noquote() << "Port manufacturer: " + entry.manufacturer;
        if (!isPelkoManufacturer(entry.manufacturer))
            continue;
        qDebug().noquote() << "Pelko detected ! (" + entry.portName + ":" + entry.manufacturer + ")";
        found = true;
        m_foundPort = entry;
        // A port left open by a stalled handshake is let go before the new one opens.
        if (m_port.isOpen())
            m_port.close();
        m_port.setPortName(entry.systemLocation);
        m_port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        break;
    }
    if (!found) {
        m_notFound = true;
        noteState();
        return Opening::NotFound;
    }

    m_lossPending = false;
    if (m_port.open(QIODevice::ReadWrite)) {
        qDebug() << "Serial opened";
        noteState();
        return Opening::Opened;
    }
    // Taken before the port is closed, which would replace them. The port's
    // own words tell "permission denied" from "device busy".
    m_openError = m_port.errorString();
    m_heldElsewhere = heldByAnotherProgram(m_port.error(), m_openError);
    m_linkReady = false;
    if (m_port.isOpen())
        m_port.close();
    noteState();
    return Opening::Failed;
}

void DeviceSession::close()
{
    m_linkReady = false;
    m_notFound = false;
    if (m_port.isOpen()) {
        m_port.flush();
        m_port.close();
    }
    noteState();
}

namespace {
void traceFailed(const QByteArray &cmd, const QByteArray &param)
{
    const QByteArray named = param.isEmpty() ? cmd : cmd + ' ' + param;
    qDebug().noquote() << "ERROR when sending command '" + QString::fromUtf8(named) + "'";
}
} // namespace

DeviceSession::Handshake DeviceSession::handshake()
{
    if (sendOneCommand("READY", QByteArray(), 0, QString()) != 0) {
        qDebug() << "Product is not connected";
        setLinkReady(false);
        return Handshake::NoAnswerToReady;
    }
    qDebug() << "==> Product is successfully connected.";
    static const char *const steps[][2] = {{"DEBUG", "1"}, {"VERSION", ""}, {"LORA GET", ""}, {"DEBUG", "0"}};
    for (const auto &step : steps) {
        if (sendOneCommand(step[0], step[1], 0, QString()) != 0) {
            traceFailed(step[0], step[1]);
            return Handshake::Failed;
        }
    }
    return Handshake::Done;
}

DeviceSession::Handshake DeviceSession::connectDevice()
{
    if (openDevicePort() != Opening::Opened)
        return Handshake::NoAnswerToReady;
    qDebug() << "Port is Ready";
    setLinkReady(true);
    const Handshake done = handshake();
    setConnected(done == Handshake::Done && !m_stopping);
    return done;
}

bool DeviceSession::readDump()
{
    bool failed = false;
    static const char *const steps[][2] = {{"DEBUG", "1"}, {"DUMP RAM PARAM", ""}, {"DEBUG", "0"}};
    for (const auto &step : steps) {
        if (sendOneCommand(step[0], step[1], 0, QString()) != 0) {
            traceFailed(step[0], step[1]);
            failed = true;
        }
    }
    return !failed;
}

void DeviceSession::sayGoodbye()
{
    sendOneCommand("DISCONNECTE", QByteArray(), 0, QString());
    pause(m_limits.disconnectWaitMs, false);
    setConnected(false);
    // A device that went away on being disconnected, switched off or
    // restarted did what it was asked.
    m_lossPending = false;
    qDebug() << "*--------------- PELKO DISCONNECTED! ---------------*";
    close();
}

int DeviceSession::sendOneCommand(const QByteArray &cmd, const QByteArray &param, int value, const QString &text)
{
    return exchange(cmd, param, buildCommandLine(cmd, param, value, text));
}

int DeviceSession::sendTypedLine(const QByteArray &line)
{
    CommandLine typed;
    typed.bytes = line + "\r\n";
    return exchange(line, QByteArray(), typed);
}

int DeviceSession::exchange(const QByteArray &cmd, const QByteArray &param, const CommandLine &line)
{
    // Outside an operation there is no sequence for a cut-off answer to stop.
    if (!m_operating)
        m_cutOff = false;
    if (m_cutOff) {
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
        emit consoleText(banner);

    takeStaleBytes();
    if (write(line.bytes) != 0)
        return CommandRefused;

    QByteArray answer;
    // A save line is read with the long quiet time of a flash write.
    m_savingRead = isSaveLine(line.bytes);
    read(answer);
    m_savingRead = false;

    if (m_answerReader)
        m_answerReader(cmd, answer);
    if (cmd == "VERSION") {
        m_release = Firmware::identify(answer, m_release);
        // A release that answers promptly keeps the shorter quiet time for
        // the rest of the session, later connections included.
        m_promptSeen = m_promptSeen || Firmware::opens(m_release, Firmware::Feature::ShortQuietTime);
    }

    const QByteArray trimmed = trimAnswer(answer);
    // The trace shows what went and came, the device's keys masked.
    qDebug() << "CMD sent :" << maskKeys(line.withoutEnding()) << "==> Pelko answers :" << maskKeys(trimmed);

    // An answer cut off by the read cap is not a whole answer, whatever it holds.
    const int result = m_cutOff ? CommandNoAnswer : judgeAnswer(cmd, trimmed);
    if (result == CommandAccepted && cmd == "LORA GET")
        m_loraAnswer = answer;
    if (result == CommandAccepted && cmd == "DUMP RAM PARAM")
        m_dump = answer;
    if (cmd == "BATTERY GET LIFE") {
        QByteArray level = answer;
        m_batteryLevel = takeBatteryLevel(level);
    }
    if (result == CommandRefused)
        emit refusalNoted(refusalNote(cmd, param));
    return result;
}

void DeviceSession::takeStaleBytes()
{
    // A late answer to an earlier line, or noise the device made while
    // nobody asked: the user sees it (one answer's worth at most), but it
    // answers nothing. All that is already there goes, so none of it can be
    // read as the coming line's answer.
    QByteArray stale;
    qint64 dropped = 0;
    QElapsedTimer clock;
    clock.start();
    while (m_port.isOpen() && clock.elapsed() < m_limits.maxReadDurationMs) {
        if (m_port.bytesAvailable() == 0 && !m_port.waitForReadyRead(0))
            break;
        const QByteArray bytes = m_port.readAll();
        const int room = qMax(0, m_limits.maxAnswerBytes - stale.size());
        stale.append(bytes.left(room));
        dropped += qMax(0, bytes.size() - room);
    }
    if (stale.isEmpty())
        return;
    qDebug() << "Before the line went out, the device had sent :" << maskKeys(stale);
    if (dropped > 0)
        qDebug() << "and" << dropped << "bytes more, not shown";
    emit consoleText(consoleEcho(stale));
}

int DeviceSession::write(const QByteArray &writeData)
{
    const qint64 written = m_port.isOpen() ? m_port.write(writeData) : -1;
    if (written == -1) {
        qDebug() << QStringLiteral("Failed to write the data to port %1, error: %2")
                        .arg(m_port.portName(), m_port.errorString());
        return -1;
    }
    if (written != writeData.size()) {
        qDebug() << QStringLiteral("Failed to write all the data to port %1, error: %2")
                        .arg(m_port.portName(), m_port.errorString());
        return -1;
    }
    return 0;
}

int DeviceSession::read(QByteArray &readData)
{
    // The answer ends when the device pauses for the quiet time. A device
    // that never pauses is cut off after a bounded time or size, so that
    // nothing hangs on it for good; the rest of the operation is then not
    // sent, so one operation meets the cap once.
    if (!m_port.isOpen())
        return 1;
    const int quietMs = qMax(0, m_savingRead ? m_limits.saveReadTimeoutMs : this->quietMs());
    QElapsedTimer clock;
    clock.start();
    // One wait for the whole answer, its quiet time started again after each
    // piece: a device sends an answer in many small pieces, and each should
    // cost no more than taking it. The event loop turns while the device is
    // quiet: a window repaints and its stop button answers. A port closed
    // meanwhile (the device went) ends the wait at once.
    QEventLoop loop;
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setTimerType(Qt::PreciseTimer);
    bool cut = false;
    const auto take = [&] {
        const qint64 room = m_limits.maxAnswerBytes - readData.size();
        readData.append(m_port.read(qMin(room, m_port.bytesAvailable())));
        cut = readData.size() >= m_limits.maxAnswerBytes || clock.elapsed() >= m_limits.maxReadDurationMs;
        if (cut)
            loop.quit();
        else
            quiet.start(quietMs);
    };
    connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_port, &QIODevice::readyRead, &loop, take);
    connect(&m_port, &QIODevice::aboutToClose, &loop, &QEventLoop::quit);
    if (m_port.bytesAvailable() > 0)
        take();
    else
        quiet.start(quietMs);
    if (!cut) {
        ++m_waitDepth;
        loop.exec();
        --m_waitDepth;
        if (!cut)
            return 1;
    }
    qDebug() << "Answer cut off after" << clock.elapsed() << "ms and" << readData.size()
             << "bytes: the device did not pause";
    m_cutOff = true;
    return 1;
}

void DeviceSession::pause(int ms, bool stoppable)
{
    // A pause of 0 only lets a window catch up between two slow steps.
    QElapsedTimer clock;
    clock.start();
    qint64 left = ms;
    do {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(qMin<qint64>(left, m_limits.stopCheckMs)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        ++m_waitDepth;
        loop.exec();
        --m_waitDepth;
        left = ms - clock.elapsed();
    } while (left > 0 && !(stoppable && haltAsked()));
}

void DeviceSession::catchUp(QEventLoop::ProcessEventsFlags flags)
{
    ++m_waitDepth;
    QCoreApplication::processEvents(flags);
    --m_waitDepth;
}

bool DeviceSession::beginOperation()
{
    if (m_operating)
        return false;
    m_operating = true;
    m_stopping = false;
    m_stopAsked = false;
    m_cutOff = false;
    noteState();
    return true;
}

void DeviceSession::endOperation()
{
    m_operating = false;
    m_stopping = false;
    m_stopAsked = false;
    // A flag a signal raised counts for the operation it came during, or
    // the next one: the goodbye after it goes out.
    if (m_stopFlag && *m_stopFlag != 0)
        m_flagSeen = true;
    noteState();
    if (m_lossPending)
        emit deviceLost();
}

void DeviceSession::requestStop()
{
    m_stopAsked = true;
}

bool DeviceSession::haltAsked()
{
    if (!m_operating)
        return false;
    const bool raised = m_stopFlag && *m_stopFlag != 0;
    if (!raised)
        m_flagSeen = false;
    if (m_stopAsked || (raised && !m_flagSeen)) {
        m_stopping = true;
        noteState();
    }
    return m_stopping;
}

void DeviceSession::clearStop()
{
    m_stopping = false;
    m_stopAsked = false;
    noteState();
}

void DeviceSession::portFailed(QSerialPort::SerialPortError error)
{
    // A read or resource error on an open port: the device's end hung up
    // (cable pulled, battery dead). The port is closed at once, or it keeps
    // signalling the hang-up and the event loop spins on it.
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !m_port.isOpen())
        return;
    qDebug().noquote() << "Serial port lost : " + m_port.errorString();
    m_lossPending = true;
    m_port.close();
    noteState();
    // During an operation the loss is told once it is over, after its own outcome.
    if (!m_operating)
        emit deviceLost();
}
